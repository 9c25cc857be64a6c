// Standard output and error of both Windows programs: wide text to a console, UTF-8 to a file.
#pragma once

#include <memory>
#include <streambuf>

namespace quorvane::win32 {

// While it lives, std::cout and std::cerr write through it: text the programs hold as UTF-8
// reaches a console as wide text (WriteConsoleW, so every label shows whatever the console's
// code page) and a file or pipe as the same UTF-8 bytes, LF line ends and all, that quorvane-sim
// writes on Linux. Colour only for a console, never when NO_COLOR is set, and only when the
// console takes the virtual terminal mode (Windows Terminal, the console of Windows 10 and
// later); the console's own mode is given back when this goes, so the prompt after the program
// is as it was. Create one, first thing in wmain.
class ConsoleOutput {
 public:
  ConsoleOutput();
  ~ConsoleOutput();
  ConsoleOutput(const ConsoleOutput&) = delete;
  ConsoleOutput& operator=(const ConsoleOutput&) = delete;

  bool colour() const { return colour_; }
  // Whether standard error is a console, where a progress line may be redrawn.
  bool errorIsConsole() const;

  class Stream;

 private:
  std::unique_ptr<Stream> out_;
  std::unique_ptr<Stream> err_;
  std::streambuf* previousOut_ = nullptr;
  std::streambuf* previousErr_ = nullptr;
  void* restoreConsole_ = nullptr;  // the console whose mode this changed
  unsigned long restoreMode_ = 0;
  bool colour_ = false;
};

}  // namespace quorvane::win32
