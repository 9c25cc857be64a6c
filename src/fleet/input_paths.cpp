// The kind of a path given on a fleet command line.
#include "fleet/input_paths.h"

#include <filesystem>

#include "base/utf8_path.h"

namespace quorvane::fleet {

InputKind KindOfInput(const std::string& input, std::vector<std::string>& errors) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status status = fs::status(PathFromUtf8(input), ec);
  if (ec || !fs::exists(status)) {
    errors.push_back(input + ": no such file or folder");
    return InputKind::Refused;
  }
  if (fs::is_regular_file(status)) return InputKind::File;
  if (fs::is_directory(status)) return InputKind::Folder;
  errors.push_back(input + ": neither a file nor a folder");
  return InputKind::Refused;
}

}  // namespace quorvane::fleet
