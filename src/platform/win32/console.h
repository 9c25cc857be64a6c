// Whether the summary on standard output may use colour on Windows.
#pragma once

namespace quorvane::win32 {

// Colour only for a console, never when NO_COLOR is set, and only when the console reads ANSI
// sequences: switched on for this program when it can be, and the console's own mode given back
// when this goes, so the prompt after the program is as it was.
class ConsoleColours {
 public:
  ConsoleColours();
  ~ConsoleColours();
  ConsoleColours(const ConsoleColours&) = delete;
  ConsoleColours& operator=(const ConsoleColours&) = delete;
  bool on() const { return on_; }

 private:
  void* console_ = nullptr;
  unsigned long mode_ = 0;
  bool restore_ = false;
  bool on_ = false;
};

}  // namespace quorvane::win32
