// The Win32 platform: clock, INI writer, message box, DOS devices, drives, firmware and COM.
#include "platform/win32/win32_platform.h"

#include <vector>

#include "platform/win32/windows_api.h"
#include "platform/win32/wmi.h"

namespace quorvane::win32 {
namespace {
// GetVolumeInformationW is given 255 characters of a 256-character buffer for each name.
constexpr DWORD kVolumeNameChars = 256;
// A null target stands for "no target" in DefineDosDeviceW.
const wchar_t* OptionalText(const std::wstring& text) {
  return text.empty() ? nullptr : text.c_str();
}
}  // namespace

Win32Platform::Win32Platform() {
  // RunProcess starts children without CREATE_DEFAULT_ERROR_MODE, so they inherit it.
  ::SetErrorMode(::GetErrorMode() | SEM_FAILCRITICALERRORS);
}

LocalTime Win32Platform::GetLocalTime() {
  SYSTEMTIME st;
  ::GetLocalTime(&st);
  return LocalTime{st.wYear,   st.wMonth,  st.wDay,         st.wHour,
                   st.wMinute, st.wSecond, st.wMilliseconds};
}

void Win32Platform::Sleep(uint32_t ms) { ::Sleep(ms); }

bool Win32Platform::WritePrivateProfileString(const std::wstring& section, const std::wstring& key,
                                              const std::wstring& value, const std::wstring& file) {
  const bool written = ::WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(),
                                                    file.c_str()) != FALSE;
  const DWORD error = written ? 0 : ::GetLastError();
  if (iniWriteWatch_) iniWriteWatch_(file, written, error);
  return written;
}

int Win32Platform::MessageBox(const std::wstring& text, const std::wstring& caption,
                              uint32_t flags) {
  // The program has no window of its own, so the box has no owner.
  return ::MessageBoxW(nullptr, text.c_str(), caption.c_str(), flags);
}

bool Win32Platform::DefineDosDevice(uint32_t flags, const std::wstring& deviceName,
                                    const std::wstring& targetPath) {
  return ::DefineDosDeviceW(flags, deviceName.c_str(), OptionalText(targetPath)) != FALSE;
}

std::optional<std::wstring> Win32Platform::QueryDosDevice(const std::wstring& deviceName,
                                                          uint32_t bufferChars) {
  std::vector<wchar_t> buffer(bufferChars + 1, L'\0');
  DWORD n = ::QueryDosDeviceW(deviceName.c_str(), buffer.data(), bufferChars);
  if (n == 0) return std::nullopt;
  // The buffer holds a list of targets; the first is the one in force.
  return std::wstring(buffer.data());
}

uint32_t Win32Platform::GetLogicalDrives() { return ::GetLogicalDrives(); }

std::vector<std::wstring> Win32Platform::GetLogicalDriveStrings(uint32_t bufferChars) {
  std::vector<std::wstring> roots;
  std::vector<wchar_t> buffer(bufferChars + 1, L'\0');
  DWORD n = ::GetLogicalDriveStringsW(bufferChars, buffer.data());
  // 0 is a failure; a result above the buffer size is the size needed, nothing was written.
  if (n == 0 || n > bufferChars) return roots;
  for (const wchar_t* p = buffer.data(); *p != L'\0' && p < buffer.data() + n;) {
    std::wstring root(p);
    p += root.size() + 1;
    roots.push_back(std::move(root));
  }
  return roots;
}

std::optional<std::wstring> Win32Platform::GetVolumeLabel(const std::wstring& rootPath) {
  wchar_t label[kVolumeNameChars] = {};
  wchar_t fileSystem[kVolumeNameChars] = {};
  DWORD serial = 0;
  DWORD maxComponent = 0;
  DWORD fileSystemFlags = 0;
  if (!::GetVolumeInformationW(rootPath.c_str(), label, kVolumeNameChars - 1, &serial,
                               &maxComponent, &fileSystemFlags, fileSystem, kVolumeNameChars - 1)) {
    return std::nullopt;
  }
  return std::wstring(label);
}

FirmwareProbe Win32Platform::GetFirmwareEnvironmentVariable(const std::wstring& name,
                                                            const std::wstring& guid,
                                                            uint32_t bufferBytes) {
  std::vector<uint8_t> buffer(bufferBytes == 0 ? 1 : bufferBytes, 0);
  FirmwareProbe probe;
  probe.returned =
      ::GetFirmwareEnvironmentVariableW(name.c_str(), guid.c_str(), buffer.data(), bufferBytes);
  probe.lastError = ::GetLastError();
  return probe;
}

int32_t Win32Platform::CoInitializeMultithreaded() {
  return ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
}

void Win32Platform::CoUninitialize() { ::CoUninitialize(); }

int32_t Win32Platform::CoInitializeSecurity() {
  return ::CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT,
                                RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE, nullptr);
}

int32_t Win32Platform::CreateWmiLocator(uint32_t classContext, std::unique_ptr<WmiLocator>& out) {
  return win32::CreateWmiLocator(classContext, out);
}

}  // namespace quorvane::win32
