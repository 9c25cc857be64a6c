// The files a capture read, and its own profile known by its description.
#include "capture/capture_files.h"

#include <nlohmann/json.hpp>

#include "base/text.h"

namespace quorvane::capture {

std::vector<std::wstring> FilesRead(const MachineFacts& facts) {
  std::vector<std::wstring> files;
  for (const LetterFacts& letter : facts.letters) {
    for (const FoundFile& file : letter.volume.files) {
      if (file.folder) continue;
      std::wstring path = letter.letter + L"\\" + FromUtf8(file.path);
      for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
      files.push_back(std::move(path));
    }
  }
  return files;
}

bool IsCapturedProfile(std::string_view text, bool whole) {
  if (!whole) return false;
  const auto profile = nlohmann::json::parse(text, nullptr, false);
  if (!profile.is_object()) return false;
  const auto description = profile.find("description");
  return description != profile.end() && description->is_string() &&
         description->get<std::string>().rfind(kCapturedBy, 0) == 0;
}

}  // namespace quorvane::capture
