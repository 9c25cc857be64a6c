// Files of the simulated machine: Windows paths resolved through the letters in force onto the
// volumes' in-memory files, the INI writer, script files, reads, searches and deletes.
#include "base/text.h"
#include "platform/sim/sim_platform.h"

namespace quorvane::sim {
namespace {

using Entry = VolumeFiles::Entry;

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

// A script file in text mode: "\n" becomes CR LF, one byte a character. The file is the volume's
// own entry; it stays valid while the run goes on, since nothing removes a file that is being
// written.
// What is written is also kept in the machine's record of the scripts the program wrote.
class SimScriptFile : public ScriptFile {
 public:
  SimScriptFile(Entry& file, uint64_t& changes, std::vector<SimPlatform::ScriptWrite>& records,
                size_t record)
      : file_(file), changes_(changes), records_(records), record_(record) {}
  void Write(const std::wstring& text) override {
    if (closed_) return;
    ++changes_;
    std::string bytes;
    for (char c : Narrow8(text)) {
      if (c == '\n') bytes += '\r';
      bytes += c;
    }
    file_.bytes += bytes;
    records_[record_].text += bytes;
  }
  void Close() override { closed_ = true; }

 private:
  Entry& file_;
  uint64_t& changes_;
  std::vector<SimPlatform::ScriptWrite>& records_;
  size_t record_;
  bool closed_ = false;
};

}  // namespace

std::optional<SimPlatform::WinPath> SimPlatform::ParseWinPath(const std::wstring& given,
                                                              bool wildcardsInLast) const {
  if (given.empty()) return std::nullopt;
  std::wstring path = given;
  const bool rooted = !path.empty() && (path[0] == L'\\' || path[0] == L'/');
  if (rooted && path.size() > 1 && (path[1] == L'\\' || path[1] == L'/')) return std::nullopt;
  if (rooted) {
    path = workingFolder_.substr(0, 2) + path;
  } else if (path.size() < 2 || path[1] != L':') {
    path = workingFolder_ + L"\\" + path;
  }
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

std::optional<SimPlatform::Place> SimPlatform::VolumeRoot(const std::wstring& letter) {
  auto target = dos_.InForce(letter);
  if (!target) return std::nullopt;
  const Volume volume = VolumeOfTarget(*target);
  if (!volume.exists || !volume.label) return std::nullopt;
  auto found = volumes_.find(volume.name);
  if (found == volumes_.end()) found = volumes_.emplace(volume.name, VolumeFiles()).first;
  Entry& root = found->second.Root();
  return Place{volume.name, &root, &root, "volumes/" + volume.name, L""};
}

std::optional<SimPlatform::Place> SimPlatform::Walk(Place at,
                                                    const std::vector<std::wstring>& parts,
                                                    size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (!at.entry->folder) return std::nullopt;
    Entry* next = VolumeFiles::Child(*at.entry, parts[i]);
    if (next == nullptr) return std::nullopt;
    at.folder = at.entry;
    at.entry = next;
    at.spelled += "/" + ToUtf8(next->name);
  }
  return at;
}

std::optional<SimPlatform::Place> SimPlatform::Find(const std::wstring& path) {
  auto win = ParseWinPath(path, false);
  if (!win) return std::nullopt;
  auto root = VolumeRoot(win->letter);
  if (!root) return std::nullopt;
  return Walk(*root, win->parts, win->parts.size());
}

bool SimPlatform::LetterWritable(const std::wstring& letter) const {
  for (const auto& blocked : profile_.faults.readOnly)
    if (blocked == letter) return false;
  return true;
}

std::optional<SimPlatform::Place> SimPlatform::PathForWrite(const std::wstring& path) {
  for (const auto& blocked : profile_.faults.cannotCreate)
    if (EqualsIgnoreCaseAscii(blocked, path)) return std::nullopt;
  auto win = ParseWinPath(path, false);
  if (!win || win->parts.empty() || !LetterWritable(win->letter)) return std::nullopt;
  auto root = VolumeRoot(win->letter);
  if (!root) return std::nullopt;
  auto folder = Walk(*root, win->parts, win->parts.size() - 1);
  if (!folder || !folder->entry->folder) return std::nullopt;
  Place place = *folder;
  place.folder = folder->entry;
  place.name = win->parts.back();
  place.entry = VolumeFiles::Child(*place.folder, place.name);
  // An existing file keeps the spelling it was created with.
  if (place.entry != nullptr) {
    if (place.entry->folder) return std::nullopt;
    place.spelled += "/" + ToUtf8(place.entry->name);
  } else {
    place.spelled += "/" + ToUtf8(win->parts.back());
  }
  return place;
}

Entry& SimPlatform::MakeFile(Place& place) {
  if (place.entry == nullptr) place.entry = &VolumeFiles::Add(*place.folder, place.name, false);
  return *place.entry;
}

bool SimPlatform::WritePrivateProfileString(const std::wstring& section, const std::wstring& key,
                                            const std::wstring& value, const std::wstring& file) {
  LogWrite record{key, value, file, false, ""};
  // The writer reads the whole file and writes it back for every line, as Windows does. The file
  // it wrote last, found by the same path through the same letters and changed by nobody since,
  // is still where it was and still holds what its parsed form says.
  IniCache& cache = iniCache_;
  const bool same = cache.valid && cache.path == file && cache.letterChanges == dos_.Changes() &&
                    cache.fileChanges == fileChanges_;
  std::optional<Place> found;
  if (!same) found = PathForWrite(file);
  Place* place = same ? &cache.place : found ? &*found : nullptr;
  if (place != nullptr) {
    Entry& log = MakeFile(*place);
    if (same) {
      cache.ini.Adopt(std::move(log.bytes));
    } else {
      cache.ini = IniFile::Parse(log.bytes);
    }
    cache.ini.Set(Narrow8(section), Narrow8(key), Narrow8(value));
    log.bytes = cache.ini.Release();
    if (!same)
      cache = IniCache{file, *place, std::move(cache.ini), dos_.Changes(), fileChanges_, true};
    record.written = true;
    record.hostFile = place->spelled;
  }
  logWrites_.push_back(std::move(record));
  return logWrites_.back().written;
}

std::unique_ptr<ScriptFile> SimPlatform::CreateScriptFile(const std::wstring& path) {
  auto place = PathForWrite(path);
  if (!place) return nullptr;
  Entry& file = MakeFile(*place);
  file.bytes.clear();
  ++fileChanges_;
  scriptWrites_.push_back(ScriptWrite{path, ""});
  return std::make_unique<SimScriptFile>(file, fileChanges_, scriptWrites_,
                                         scriptWrites_.size() - 1);
}

std::optional<std::string> SimPlatform::FileBytes(const std::wstring& path) const {
  auto win = ParseWinPath(path, false);
  auto target = win ? dos_.InForce(win->letter) : std::nullopt;
  const VolumeFiles* files = target ? FilesOf(VolumeOfTarget(*target).name) : nullptr;
  if (files == nullptr) return std::nullopt;
  const Entry* at = &files->Root();
  for (const auto& name : win->parts) {
    at = at->folder ? VolumeFiles::Child(*at, name) : nullptr;
    if (at == nullptr) return std::nullopt;
  }
  if (at->folder) return std::nullopt;
  return at->bytes;
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
  if (!folder || !folder->entry->folder) return false;
  const std::wstring& last = win->parts.back();
  // A folder other than the root lists "." and ".." too.
  if (win->parts.size() > 1 && (WildcardMatch(L".", last) || WildcardMatch(L"..", last)))
    return true;
  for (const auto& child : folder->entry->children)
    if (WildcardMatch(child->name, last)) return true;
  return false;
}

bool SimPlatform::DeleteFile(const std::wstring& path) {
  auto win = ParseWinPath(path, false);
  if (!win || !LetterWritable(win->letter)) return false;
  auto place = Find(path);
  if (!place || place->entry->folder || place->entry == place->folder) return false;
  ++fileChanges_;
  VolumeFiles::Remove(*place->folder, place->entry);
  return true;
}

std::optional<std::string> SimPlatform::ReadFile(const std::wstring& path) {
  return ReadFileBytes(path);
}

bool SimPlatform::WriteFile(const std::wstring& path, std::string_view bytes, bool append) {
  auto place = PathForWrite(path);
  if (!place) return false;
  Entry& file = MakeFile(*place);
  if (!append) file.bytes.clear();
  file.bytes.append(bytes);
  ++fileChanges_;
  return true;
}

CommandHost::MakeFolderResult SimPlatform::MakeFolder(const std::wstring& path) {
  for (const auto& blocked : profile_.faults.cannotCreate)
    if (EqualsIgnoreCaseAscii(blocked, path)) return MakeFolderResult::Failed;
  auto win = ParseWinPath(path, false);
  if (!win) return MakeFolderResult::Failed;
  auto root = VolumeRoot(win->letter);
  if (!root) return MakeFolderResult::Failed;
  if (win->parts.empty()) return MakeFolderResult::Exists;  // a volume's root
  // A file where the folder should be is no folder.
  if (auto there = Walk(*root, win->parts, win->parts.size()))
    return there->entry->folder ? MakeFolderResult::Exists : MakeFolderResult::Failed;
  if (!LetterWritable(win->letter)) return MakeFolderResult::Failed;
  // Missing folders on the way are made too, as the interpreter's MKDIR does.
  Entry* at = root->entry;
  for (const auto& name : win->parts) {
    if (Entry* next = VolumeFiles::Child(*at, name)) {
      if (!next->folder) return MakeFolderResult::Failed;
      at = next;
      continue;
    }
    at = &VolumeFiles::Add(*at, name, true);
  }
  return MakeFolderResult::Made;
}

bool SimPlatform::IsFolder(const std::wstring& path) {
  auto place = Find(path);
  return place && place->entry->folder;
}

bool SimPlatform::IsFile(const std::wstring& path) {
  auto place = Find(path);
  return place && !place->entry->folder;
}

}  // namespace quorvane::sim
