// The capture's raw reads on Windows. Every handle is opened for reading (or for no access at
// all) and shared, so nothing on the machine changes.
#include "platform/win32/capture_system.h"

#include <cstddef>
#include <vector>

#include "platform/host_files.h"
#include "platform/win32/drive_layout.h"
#include "platform/win32/handles.h"
#include "platform/win32/windows_api.h"

namespace quorvane::win32 {
namespace {

using capture::DeviceNumber;
using capture::DriveLayout;
using capture::Outcome;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

HANDLE OpenDevice(const std::wstring& path, DWORD access) {
  return ::CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
}

}  // namespace

Outcome<DriveLayout> Win32CaptureSystem::ReadDriveLayout(int disk) {
  Outcome<DriveLayout> out;
  const std::wstring path = L"\\\\.\\PhysicalDrive" + std::to_wstring(disk);
  // The disk's length needs read access; the table alone needs none.
  HANDLE h = OpenDevice(path, GENERIC_READ);
  if (h == INVALID_HANDLE_VALUE) h = OpenDevice(path, 0);
  Handle device(h);
  if (h == INVALID_HANDLE_VALUE) {
    out.error = ::GetLastError();
    return out;
  }
  auto buffer = ReadLayoutBuffer([&device](void* bytes, DWORD size, DWORD* returned) {
    return ::DeviceIoControl(device.get(), IOCTL_DISK_GET_DRIVE_LAYOUT_EX, nullptr, 0, bytes, size,
                             returned, nullptr) != FALSE;
  });
  if (!buffer.value) {
    out.error = buffer.error;
    return out;
  }
  DriveLayout layout = ConvertLayout(buffer.value->info(), buffer.value->returned);
  GET_LENGTH_INFORMATION length;
  DWORD returned = 0;
  if (::DeviceIoControl(device.get(), IOCTL_DISK_GET_LENGTH_INFO, nullptr, 0, &length,
                        sizeof length, &returned, nullptr)) {
    layout.diskBytes = length.Length.QuadPart;
  }
  out.value = std::move(layout);
  return out;
}

Outcome<DeviceNumber> Win32CaptureSystem::VolumeDeviceNumber(const std::wstring& letter) {
  Outcome<DeviceNumber> out;
  Handle volume(OpenDevice(L"\\\\.\\" + letter, 0));
  if (volume.get() == INVALID_HANDLE_VALUE) {
    out.error = ::GetLastError();
    return out;
  }
  STORAGE_DEVICE_NUMBER number;
  DWORD returned = 0;
  if (!::DeviceIoControl(volume.get(), IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number,
                         sizeof number, &returned, nullptr)) {
    out.error = ::GetLastError();
    return out;
  }
  out.value = DeviceNumber{number.DeviceType, number.DeviceNumber, number.PartitionNumber};
  return out;
}

bool Win32CaptureSystem::VolumeReadOnly(const std::wstring& root) {
  DWORD flags = 0;
  return ::GetVolumeInformationW(root.c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
         (flags & FILE_READ_ONLY_VOLUME) != 0;
}

capture::PathEntry Win32CaptureSystem::LookUp(const std::wstring& path) {
  capture::PathEntry entry;
  WIN32_FIND_DATAW data;
  HANDLE h = ::FindFirstFileW(path.c_str(), &data);
  FindHandle find(h);
  if (!find.valid()) return entry;
  entry.kind = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                   ? capture::PathEntry::Kind::Folder
                   : capture::PathEntry::Kind::File;
  entry.name = data.cFileName;
  return entry;
}

Outcome<std::string> Win32CaptureSystem::ReadFileRange(const std::wstring& path, uint64_t offset,
                                                       uint32_t length) {
  Outcome<std::string> out;
  Handle file(::CreateFileW(path.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    out.error = ::GetLastError();
    return out;
  }
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  if (!::SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN)) {
    out.error = ::GetLastError();
    return out;
  }
  std::string bytes(length, '\0');
  size_t filled = 0;
  while (filled < bytes.size()) {
    DWORD got = 0;
    if (!::ReadFile(file.get(), bytes.data() + filled, static_cast<DWORD>(bytes.size() - filled),
                    &got, nullptr)) {
      out.error = ::GetLastError();
      return out;
    }
    if (got == 0) break;  // the end of the file
    filled += got;
  }
  bytes.resize(filled);
  out.value = std::move(bytes);
  return out;
}

std::string Win32CaptureSystem::WriteNewFile(const std::wstring& path, std::string_view bytes) {
  return host::WriteWhole(path, bytes);
}

}  // namespace quorvane::win32
