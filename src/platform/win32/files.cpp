// Files of the Win32 platform: script files as C text streams, raw reads, existence, deletion.
#include <cstdio>

#include "platform/win32/handles.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"

namespace quorvane::win32 {
namespace {

struct FileCloser {
  void operator()(FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// A text-mode stream: the C runtime turns "\n" into CR LF and each character into the
// byte the C locale gives it, which is how the system tools expect their scripts.
class Win32ScriptFile final : public ScriptFile {
 public:
  explicit Win32ScriptFile(FilePtr file) : m_file(std::move(file)) {}

  void Write(const std::wstring& text) override {
    if (!m_file) return;
    for (wchar_t c : text) std::fputwc(c, m_file.get());
  }

  void Close() override {
    if (!m_file) return;
    std::fflush(m_file.get());
    m_file.reset();
  }

 private:
  FilePtr m_file;
};

}  // namespace

std::unique_ptr<ScriptFile> Win32Platform::CreateScriptFile(const std::wstring& path) {
  FilePtr file(::_wfopen(path.c_str(), L"w"));
  if (!file) return nullptr;
  return std::make_unique<Win32ScriptFile>(std::move(file));
}

std::optional<std::string> Win32Platform::ReadFileBytes(const std::wstring& path) {
  FilePtr file(::_wfopen(path.c_str(), L"rb"));
  if (!file) return std::nullopt;
  std::string bytes;
  char buffer[4096];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) bytes.append(buffer, n);
  return bytes;
}

bool Win32Platform::FindFirstFile(const std::wstring& pattern) {
  WIN32_FIND_DATAW data;
  FindHandle find(::FindFirstFileW(pattern.c_str(), &data));
  return find.valid();
}

bool Win32Platform::DeleteFile(const std::wstring& path) {
  return ::DeleteFileW(path.c_str()) != FALSE;
}

}  // namespace quorvane::win32
