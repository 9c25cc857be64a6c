// The capture's raw reads on Windows: disk layouts and device numbers through DeviceIoControl, file
// look-ups and reads, and the one file a capture writes (whole, through the host's files).
#pragma once

#include "capture/capture_system.h"

namespace quorvane::win32 {

class Win32CaptureSystem : public capture::CaptureSystem {
 public:
  // Made beside a Win32Platform, which has turned the system's "no disk in the drive" boxes off:
  // an empty card reader must not stop an unattended capture.
  capture::Outcome<capture::DriveLayout> ReadDriveLayout(int disk) override;
  capture::Outcome<capture::DeviceNumber> VolumeDeviceNumber(const std::wstring& letter) override;
  bool VolumeReadOnly(const std::wstring& root) override;
  capture::PathEntry LookUp(const std::wstring& path) override;
  capture::Outcome<std::string> ReadFileRange(const std::wstring& path, uint64_t offset,
                                              uint32_t length) override;
  std::string WriteNewFile(const std::wstring& path, std::string_view bytes) override;
};

}  // namespace quorvane::win32
