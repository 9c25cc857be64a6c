// A disk's partition table as IOCTL_DISK_GET_DRIVE_LAYOUT_EX hands it out, turned into the
// capture's form, and the buffer that call needs.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "capture/capture_system.h"
#include "platform/win32/windows_api.h"

namespace quorvane::win32 {

// "c12a7328-f81f-11d2-ba4b-00a0c93ec93b": lower case, without braces.
std::wstring GuidText(const GUID& guid);

// The table in `bytes` bytes of a buffer that the call filled; entries past the buffer's end are
// left out whatever PartitionCount says. `bytes` holds at least the fixed part of the structure.
capture::DriveLayout ConvertLayout(const DRIVE_LAYOUT_INFORMATION_EX& info, DWORD bytes);

// Calls `ioctl(buffer, size, &returned)` with a buffer that grows while the answer is one of the
// "too small" errors; the filled buffer and the bytes returned, or the error that stopped it.
struct LayoutBuffer {
  std::vector<unsigned char> bytes;
  DWORD returned = 0;
  const DRIVE_LAYOUT_INFORMATION_EX& info() const {
    return *reinterpret_cast<const DRIVE_LAYOUT_INFORMATION_EX*>(bytes.data());
  }
};
using LayoutIoctl = std::function<bool(void* buffer, DWORD size, DWORD* returned)>;
capture::Outcome<LayoutBuffer> ReadLayoutBuffer(const LayoutIoctl& ioctl);

}  // namespace quorvane::win32
