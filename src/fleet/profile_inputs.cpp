// Finding a batch's profiles in the files and folders given.
#include "fleet/profile_inputs.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "base/utf8_path.h"
#include "fleet/input_paths.h"

namespace quorvane::fleet {
namespace {

namespace fs = std::filesystem;

bool EndsWithJson(const std::string& name) {
  static constexpr char kExtension[] = ".json";
  constexpr size_t kLength = sizeof kExtension - 1;
  if (name.size() <= kLength) return false;
  for (size_t i = 0; i < kLength; ++i) {
    char c = name[name.size() - kLength + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kExtension[i]) return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> FindProfiles(const std::vector<std::string>& inputs,
                                      std::vector<std::string>& errors,
                                      std::vector<std::string>* passedOver) {
  std::vector<std::string> profiles;
  std::set<fs::path> taken;  // absolute, normal paths
  auto take = [&](const fs::path& path) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec).lexically_normal();
    if (taken.insert(absolute).second) profiles.push_back(Utf8OfGenericPath(path));
  };
  for (const std::string& input : inputs) {
    const InputKind kind = KindOfInput(input, errors);
    if (kind == InputKind::Refused) continue;
    std::error_code ec;
    const fs::path path = PathFromUtf8(input);
    if (kind == InputKind::File) {
      take(path);
      continue;
    }
    std::vector<fs::path> found;
    fs::directory_iterator it(path, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
      if (EndsWithJson(Utf8OfPath(it->path().filename()))) {
        found.push_back(it->path());
      } else if (passedOver != nullptr) {
        std::error_code typeError;
        passedOver->push_back(Utf8OfPath(it->path()) +
                              (it->is_directory(typeError)
                                   ? ": a folder (profiles are not searched in subfolders)"
                                   : ": not named *.json"));
      }
    }
    if (ec) {
      errors.push_back(input + ": " + ec.message());
      continue;
    }
    if (found.empty()) {
      errors.push_back(input + ": no *.json in it");
      continue;
    }
    std::sort(found.begin(), found.end());
    for (const fs::path& file : found) take(file);
  }
  return profiles;
}

}  // namespace quorvane::fleet
