// The capture's raw reads on Windows: disk layouts and device numbers through DeviceIoControl, file
// look-ups and reads, and the one file a capture writes (whole, through the host's files).
#pragma once

#include "capture/capture_system.h"

namespace quorvane::win32 {

class Win32CaptureSystem : public capture::CaptureSystem {
 public:
  // Turns off the system's "no disk in the drive" boxes for this process: an empty card reader
  // must not stop an unattended capture.
  Win32CaptureSystem();

  capture::Outcome<capture::DriveLayout> ReadDriveLayout(int disk) override;
  capture::Outcome<capture::DeviceNumber> VolumeDeviceNumber(const std::wstring& letter) override;
  capture::PathEntry LookUp(const std::wstring& path) override;
  capture::Outcome<std::string> ReadFileRange(const std::wstring& path, uint64_t offset,
                                              uint32_t length) override;
  std::string WriteNewFile(const std::wstring& path, std::string_view bytes) override;
};

}  // namespace quorvane::win32
