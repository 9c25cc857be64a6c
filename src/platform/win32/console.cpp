// Standard output and error through the console's wide API, or as bytes to a file or pipe:
// GetConsoleMode tells the two apart, and the virtual terminal mode makes a console read the
// summary's ANSI colours.
#include "platform/win32/console.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>

#include "base/text.h"
#include "platform/win32/windows_api.h"

namespace quorvane::win32 {
namespace {

constexpr size_t kBufferBytes = 4096;

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode);
}

// How many bytes at the end of `bytes` begin a UTF-8 sequence that is not complete yet: they
// wait for the rest, so a character split between two writes is not shown as two wrong ones.
size_t UnfinishedTail(const std::string& bytes) {
  const size_t look = std::min<size_t>(bytes.size(), 3);
  for (size_t back = 1; back <= look; ++back) {
    const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
    if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
    const size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    return length > back ? back : 0;
  }
  return 0;
}

}  // namespace

// A stream buffer over one standard handle.
class ConsoleOutput::Stream : public std::streambuf {
 public:
  explicit Stream(DWORD which) : handle_(::GetStdHandle(which)), console_(IsConsole(handle_)) {}
  ~Stream() override { Flush(true); }

  HANDLE handle() const { return handle_; }
  bool console() const { return console_; }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    pending_ += traits_type::to_char_type(c);
    if (pending_.size() >= kBufferBytes && !Flush(false)) return traits_type::eof();
    return c;
  }

  std::streamsize xsputn(const char* text, std::streamsize count) override {
    pending_.append(text, static_cast<size_t>(count));
    if (pending_.size() >= kBufferBytes && !Flush(false)) return 0;
    return count;
  }

  int sync() override { return Flush(false) ? 0 : -1; }

 private:
  // Writes what is pending; `all` also what waits for the rest of a character (at the end).
  bool Flush(bool all) {
    const size_t keep = all || !console_ ? 0 : UnfinishedTail(pending_);
    const std::string bytes = pending_.substr(0, pending_.size() - keep);
    pending_.erase(0, bytes.size());
    if (bytes.empty() || handle_ == nullptr || handle_ == INVALID_HANDLE_VALUE) return true;
    if (console_) {
      const std::wstring text = FromUtf8(bytes);
      for (size_t at = 0; at < text.size();) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - at, 8192));
        if (!::WriteConsoleW(handle_, text.data() + at, chunk, &written, nullptr) || written == 0)
          return false;
        at += written;
      }
      return true;
    }
    for (size_t at = 0; at < bytes.size();) {
      DWORD written = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - at, 1 << 20));
      if (!::WriteFile(handle_, bytes.data() + at, chunk, &written, nullptr) || written == 0)
        return false;
      at += written;
    }
    return true;
  }

  HANDLE handle_;
  bool console_;
  std::string pending_;
};

ConsoleOutput::ConsoleOutput()
    : out_(std::make_unique<Stream>(STD_OUTPUT_HANDLE)),
      err_(std::make_unique<Stream>(STD_ERROR_HANDLE)) {
  std::cout.flush();
  std::cerr.flush();
  previousOut_ = std::cout.rdbuf(out_.get());
  previousErr_ = std::cerr.rdbuf(err_.get());
  if (!out_->console() || _wgetenv(L"NO_COLOR") != nullptr) return;
  DWORD mode = 0;
  if (!::GetConsoleMode(out_->handle(), &mode)) return;
  // Colour only where the console says it reads the sequences: a console that refuses the
  // mode, or takes it without keeping it, would show them as text.
  DWORD kept = 0;
  if (!::SetConsoleMode(out_->handle(), mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) ||
      !::GetConsoleMode(out_->handle(), &kept) || !(kept & ENABLE_VIRTUAL_TERMINAL_PROCESSING)) {
    ::SetConsoleMode(out_->handle(), mode);
    return;
  }
  restoreConsole_ = out_->handle();
  restoreMode_ = mode;
  colour_ = true;
}

ConsoleOutput::~ConsoleOutput() {
  std::cout.flush();
  std::cerr.flush();
  std::cout.rdbuf(previousOut_);
  std::cerr.rdbuf(previousErr_);
  out_.reset();
  err_.reset();
  if (restoreConsole_ != nullptr)
    ::SetConsoleMode(static_cast<HANDLE>(restoreConsole_), restoreMode_);
}

bool ConsoleOutput::errorIsConsole() const { return err_->console(); }

}  // namespace quorvane::win32
