// Child processes of the Win32 platform: a hidden start and a wait on the process handle.
#include <vector>

#include "platform/win32/handles.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"

namespace quorvane::win32 {

ProcessOutcome Win32Platform::RunProcess(const std::wstring& commandLine) {
  ProcessOutcome outcome;
  // CreateProcessW may write into its command line, so it gets a buffer of its own. The
  // engine has already refused a command line too long for the buffer it describes.
  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(L'\0');

  STARTUPINFOW startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  ::GetStartupInfoW(&startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;

  PROCESS_INFORMATION info;
  ZeroMemory(&info, sizeof info);
  if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
    outcome.lastError = ::GetLastError();
    return outcome;
  }
  Handle process(info.hProcess);
  Handle thread(info.hThread);
  outcome.started = true;

  // Waiting on the handle, rather than polling for STILL_ACTIVE, tells a child that ended
  // with code 259 from one that still runs.
  ::WaitForSingleObject(process.get(), INFINITE);
  DWORD code = STILL_ACTIVE;
  if (!::GetExitCodeProcess(process.get(), &code)) code = STILL_ACTIVE;
  outcome.exitCode = code;
  return outcome;
}

}  // namespace quorvane::win32
