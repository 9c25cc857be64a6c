// Files of the simulated machine: Windows paths resolved through the letters in force onto host
// folders, the INI writer, script files, reads, searches and deletes.
#include <fstream>
#include <sstream>

#include "base/text.h"
#include "platform/sim/sim_platform.h"

namespace quorvane::sim {
namespace {

namespace fs = std::filesystem;

bool ValidName(std::wstring_view name, bool wildcards) {
  for (wchar_t c : name) {
    if (c < 32 || c == L'<' || c == L'>' || c == L':' || c == L'"' || c == L'|') return false;
    if (!wildcards && (c == L'*' || c == L'?')) return false;
  }
  return true;
}

// '*' any run, '?' one character, ASCII case ignored; "*.*" matches every name.
bool WildcardMatch(std::wstring_view name, std::wstring_view pattern) {
  if (pattern == L"*.*") pattern = L"*";
  return MatchesWildcards(name, pattern, L'*', L'?');
}

// The entry of `folder` whose name matches `name` ignoring ASCII case.
std::optional<fs::path> FindEntry(const fs::path& folder, const std::wstring& name) {
  std::error_code ec;
  // Most lookups use the spelling the entry was made with: one stat instead of a listing.
  fs::path exact = folder / fs::path(ToUtf8(name));
  if (fs::exists(fs::symlink_status(exact, ec))) return exact;
  std::wstring wanted = ToUpperAscii(name);
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    if (ToUpperAscii(FromUtf8(entry.path().filename().string())) == wanted) return entry.path();
  }
  return std::nullopt;
}

bool IsDir(const fs::path& p) {
  std::error_code ec;
  return fs::is_directory(fs::symlink_status(p, ec));
}

bool IsRegular(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(fs::symlink_status(p, ec));
}

std::optional<std::string> ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool WriteAll(const fs::path& p, std::string_view bytes, bool append) {
  std::ofstream out(p, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// A script file in text mode: "\n" becomes CR LF, one byte a character.
class SimScriptFile : public ScriptFile {
 public:
  explicit SimScriptFile(fs::path path) : path_(std::move(path)) {}
  void Write(const std::wstring& text) override {
    if (closed_) return;
    std::string bytes;
    for (char c : Narrow8(text)) {
      if (c == '\n') bytes += '\r';
      bytes += c;
    }
    WriteAll(path_, bytes, true);
  }
  void Close() override { closed_ = true; }

 private:
  fs::path path_;
  bool closed_ = false;
};

}  // namespace

std::optional<SimPlatform::WinPath> SimPlatform::ParseWinPath(const std::wstring& path,
                                                              bool wildcardsInLast) {
  if (path.size() < 2 || path[1] != L':') return std::nullopt;
  wchar_t letter = path[0];
  if (letter >= L'a' && letter <= L'z') letter = static_cast<wchar_t>(letter - L'a' + L'A');
  if (letter < L'A' || letter > L'Z') return std::nullopt;
  WinPath out{std::wstring(1, letter) + L":", {}};
  std::vector<std::wstring> raw;
  std::wstring part;
  for (size_t i = 2; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == L'\\' || path[i] == L'/') {
      raw.push_back(part);
      part.clear();
    } else {
      part += path[i];
    }
  }
  // A trailing separator names nothing to search for ("M:\" and "M:\Dir\").
  if (wildcardsInLast && !raw.empty() && raw.back().empty()) return std::nullopt;
  for (size_t i = 0; i < raw.size(); ++i) {
    const auto& name = raw[i];
    if (name.empty() || name == L".") continue;
    if (name == L"..") {  // as Windows does: never above the root
      if (!out.parts.empty()) out.parts.pop_back();
      continue;
    }
    if (!ValidName(name, wildcardsInLast && i + 1 == raw.size())) return std::nullopt;
    out.parts.push_back(name);
  }
  return out;
}

std::optional<fs::path> SimPlatform::VolumeRoot(const std::wstring& letter) const {
  auto target = dos_.InForce(letter);
  if (!target) return std::nullopt;
  Volume volume = VolumeOfTarget(*target);
  if (!volume.exists || !volume.label) return std::nullopt;
  std::error_code ec;
  fs::create_directories(volume.folder, ec);
  return volume.folder;
}

std::optional<fs::path> SimPlatform::Walk(const fs::path& root,
                                          const std::vector<std::wstring>& parts, size_t count) {
  fs::path at = root;
  for (size_t i = 0; i < count; ++i) {
    if (!IsDir(at)) return std::nullopt;
    auto next = FindEntry(at, parts[i]);
    if (!next) return std::nullopt;
    at = *next;
  }
  return at;
}

bool SimPlatform::LetterWritable(const std::wstring& letter) const {
  for (const auto& blocked : profile_.faults.readOnly)
    if (blocked == letter) return false;
  return true;
}

std::optional<fs::path> SimPlatform::PathForWrite(const std::wstring& path) const {
  for (const auto& blocked : profile_.faults.cannotCreate)
    if (EqualsIgnoreCaseAscii(blocked, path)) return std::nullopt;
  auto win = ParseWinPath(path, false);
  if (!win || win->parts.empty() || !LetterWritable(win->letter)) return std::nullopt;
  auto root = VolumeRoot(win->letter);
  if (!root) return std::nullopt;
  auto folder = Walk(*root, win->parts, win->parts.size() - 1);
  if (!folder || !IsDir(*folder)) return std::nullopt;
  // An existing file keeps the spelling it was created with.
  if (auto existing = FindEntry(*folder, win->parts.back())) {
    if (!IsRegular(*existing)) return std::nullopt;
    return existing;
  }
  return *folder / ToUtf8(win->parts.back());
}

std::optional<fs::path> SimPlatform::HostPathOf(const std::wstring& path) const {
  auto win = ParseWinPath(path, false);
  if (!win) return std::nullopt;
  auto root = VolumeRoot(win->letter);
  if (!root) return std::nullopt;
  return Walk(*root, win->parts, win->parts.size());
}

std::string SimPlatform::RelativeToOut(const fs::path& path) const {
  return path.lexically_relative(outDir_).generic_string();
}

bool SimPlatform::WritePrivateProfileString(const std::wstring& section, const std::wstring& key,
                                            const std::wstring& value, const std::wstring& file) {
  LogWrite record{key, value, file, false, ""};
  auto host = PathForWrite(file);
  if (host) {
    std::string before = ReadAll(*host).value_or("");
    auto cached = iniCache_.find(*host);
    // Lines this writer set keep their whole keys, '=' included, while the file
    // is as it left it.
    IniFile ini = cached != iniCache_.end() && cached->second.first == before
                      ? cached->second.second
                      : IniFile::Parse(before);
    ini.Set(Narrow8(section), Narrow8(key), Narrow8(value));
    std::string after = ini.Bytes();
    if (WriteAll(*host, after, false)) {
      iniCache_[*host] = {after, ini};
      record.written = true;
      record.hostFile = RelativeToOut(*host);
    }
  }
  logWrites_.push_back(record);
  return record.written;
}

std::unique_ptr<ScriptFile> SimPlatform::CreateScriptFile(const std::wstring& path) {
  auto host = PathForWrite(path);
  if (!host || !WriteAll(*host, "", false)) return nullptr;
  return std::make_unique<SimScriptFile>(*host);
}

std::optional<std::string> SimPlatform::FileBytes(const std::wstring& path) const {
  auto host = HostPathOf(path);
  if (!host || !IsRegular(*host)) return std::nullopt;
  return ReadAll(*host);
}

std::optional<std::string> SimPlatform::ReadFileBytes(const std::wstring& path) {
  return FileBytes(path);
}

bool SimPlatform::FindFirstFile(const std::wstring& pattern) {
  auto win = ParseWinPath(pattern, true);
  if (!win || win->parts.empty()) return false;
  auto root = VolumeRoot(win->letter);
  if (!root) return false;
  auto folder = Walk(*root, win->parts, win->parts.size() - 1);
  if (!folder || !IsDir(*folder)) return false;
  const std::wstring& last = win->parts.back();
  // A folder other than the root lists "." and ".." too.
  if (win->parts.size() > 1 && (WildcardMatch(L".", last) || WildcardMatch(L"..", last)))
    return true;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(*folder, ec))
    if (WildcardMatch(FromUtf8(entry.path().filename().string()), last)) return true;
  return false;
}

bool SimPlatform::DeleteFile(const std::wstring& path) {
  auto win = ParseWinPath(path, false);
  if (!win || !LetterWritable(win->letter)) return false;
  auto host = HostPathOf(path);
  if (!host || !IsRegular(*host)) return false;
  std::error_code ec;
  iniCache_.erase(*host);
  return fs::remove(*host, ec);
}

std::optional<std::string> SimPlatform::ReadFile(const std::wstring& path) {
  return ReadFileBytes(path);
}

bool SimPlatform::WriteFile(const std::wstring& path, std::string_view bytes, bool append) {
  auto host = PathForWrite(path);
  return host && WriteAll(*host, bytes, append);
}

CommandHost::MakeFolderResult SimPlatform::MakeFolder(const std::wstring& path) {
  for (const auto& blocked : profile_.faults.cannotCreate)
    if (EqualsIgnoreCaseAscii(blocked, path)) return MakeFolderResult::Failed;
  auto win = ParseWinPath(path, false);
  if (!win || win->parts.empty()) return MakeFolderResult::Failed;
  auto root = VolumeRoot(win->letter);
  if (!root) return MakeFolderResult::Failed;
  if (Walk(*root, win->parts, win->parts.size())) return MakeFolderResult::Exists;
  if (!LetterWritable(win->letter)) return MakeFolderResult::Failed;
  // Missing folders on the way are made too, as the interpreter's MKDIR does.
  fs::path at = *root;
  for (const auto& name : win->parts) {
    if (auto next = FindEntry(at, name)) {
      if (!IsDir(*next)) return MakeFolderResult::Failed;
      at = *next;
      continue;
    }
    at /= ToUtf8(name);
    std::error_code ec;
    if (!fs::create_directory(at, ec)) return MakeFolderResult::Failed;
  }
  return MakeFolderResult::Made;
}

bool SimPlatform::IsFolder(const std::wstring& path) {
  auto host = HostPathOf(path);
  return host && IsDir(*host);
}

bool SimPlatform::IsFile(const std::wstring& path) {
  auto host = HostPathOf(path);
  return host && IsRegular(*host);
}

}  // namespace quorvane::sim
