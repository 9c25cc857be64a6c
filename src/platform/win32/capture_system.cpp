// The capture's raw reads on Windows. Every handle is opened for reading (or for no access at
// all) and shared, so nothing on the machine changes.
#include "platform/win32/capture_system.h"

#include <cstddef>
#include <vector>

#include "platform/host_files.h"
#include "platform/win32/handles.h"
#include "platform/win32/windows_api.h"

namespace quorvane::win32 {
namespace {

using capture::DeviceNumber;
using capture::DriveLayout;
using capture::LayoutPartition;
using capture::Outcome;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Room for 128 entries first (a GPT disk's usual table); grown while the driver asks for more.
constexpr DWORD kFirstLayoutBytes =
    sizeof(DRIVE_LAYOUT_INFORMATION_EX) + 127 * sizeof(PARTITION_INFORMATION_EX);
constexpr DWORD kMaxLayoutBytes = 1u << 20;

HANDLE OpenDevice(const std::wstring& path, DWORD access) {
  return ::CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, 0, nullptr);
}

// `digits` lower-case hex digits of `value`.
std::wstring Hex(uint32_t value, int digits) {
  std::wstring text(static_cast<size_t>(digits), L'0');
  for (int i = digits - 1; i >= 0; --i, value >>= 4) text[i] = L"0123456789abcdef"[value & 0xF];
  return text;
}

// "c12a7328-f81f-11d2-ba4b-00a0c93ec93b"
std::wstring GuidText(const GUID& g) {
  std::wstring text = Hex(g.Data1, 8) + L"-" + Hex(g.Data2, 4) + L"-" + Hex(g.Data3, 4) + L"-";
  for (int i = 0; i < 8; ++i) text += (i == 2 ? L"-" : L"") + Hex(g.Data4[i], 2);
  return text;
}

DriveLayout ConvertLayout(const DRIVE_LAYOUT_INFORMATION_EX& info, DWORD bytes) {
  DriveLayout layout;
  layout.style = info.PartitionStyle == PARTITION_STYLE_MBR   ? DriveLayout::Style::Mbr
                 : info.PartitionStyle == PARTITION_STYLE_GPT ? DriveLayout::Style::Gpt
                                                              : DriveLayout::Style::Raw;
  if (layout.style == DriveLayout::Style::Mbr) layout.mbrSignature = info.Mbr.Signature;
  const size_t room = (bytes - offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionEntry)) /
                      sizeof(PARTITION_INFORMATION_EX);
  const size_t count = info.PartitionCount < room ? info.PartitionCount : room;
  for (size_t i = 0; i < count; ++i) {
    const PARTITION_INFORMATION_EX& e = info.PartitionEntry[i];
    LayoutPartition p;
    p.number = e.PartitionNumber;
    p.offset = e.StartingOffset.QuadPart;
    p.length = e.PartitionLength.QuadPart;
    if (e.PartitionStyle == PARTITION_STYLE_MBR) {
      p.mbrType = e.Mbr.PartitionType;
      p.active = e.Mbr.BootIndicator != FALSE;
    } else if (e.PartitionStyle == PARTITION_STYLE_GPT) {
      p.gptType = GuidText(e.Gpt.PartitionType);
    }
    layout.partitions.push_back(std::move(p));
  }
  return layout;
}

}  // namespace

Win32CaptureSystem::Win32CaptureSystem() {
  ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

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
  std::vector<unsigned char> buffer(kFirstLayoutBytes);
  DWORD returned = 0;
  while (!::DeviceIoControl(device.get(), IOCTL_DISK_GET_DRIVE_LAYOUT_EX, nullptr, 0, buffer.data(),
                            static_cast<DWORD>(buffer.size()), &returned, nullptr)) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_INSUFFICIENT_BUFFER || buffer.size() >= kMaxLayoutBytes) {
      out.error = error;
      return out;
    }
    buffer.resize(buffer.size() * 2);
  }
  if (returned < offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionEntry)) {
    out.error = ERROR_INVALID_DATA;
    return out;
  }
  DriveLayout layout =
      ConvertLayout(*reinterpret_cast<const DRIVE_LAYOUT_INFORMATION_EX*>(buffer.data()), returned);
  GET_LENGTH_INFORMATION length;
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
