// The console's colours: GetConsoleMode tells a console from a file or pipe, and the virtual
// terminal mode makes it read the summary's ANSI sequences.
#include "platform/win32/console.h"

#include <cstdlib>

#include "platform/win32/windows_api.h"

namespace quorvane::win32 {

ConsoleColours::ConsoleColours() {
  if (_wgetenv(L"NO_COLOR") != nullptr) return;
  HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  if (out == nullptr || out == INVALID_HANDLE_VALUE || !::GetConsoleMode(out, &mode)) return;
  if (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) {
    on_ = true;
    return;
  }
  if (!::SetConsoleMode(out, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) return;
  console_ = out;
  mode_ = mode;
  restore_ = true;
  on_ = true;
}

ConsoleColours::~ConsoleColours() {
  if (restore_) ::SetConsoleMode(static_cast<HANDLE>(console_), mode_);
}

}  // namespace quorvane::win32
