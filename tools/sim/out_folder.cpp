// Preparing the output folder: created, reused when empty or a previous run, refused otherwise.
#include "tools/sim/out_folder.h"

namespace quorvane::sim {

bool PrepareOutFolder(const std::filesystem::path& folder, std::string& error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  auto status = fs::status(folder, ec);
  if (!fs::exists(status)) {
    if (!fs::create_directories(folder, ec)) {
      error = folder.string() + ": cannot create the folder: " + ec.message();
      return false;
    }
    return true;
  }
  if (!fs::is_directory(status)) {
    error = folder.string() + ": exists and is not a folder";
    return false;
  }
  if (fs::is_empty(folder, ec)) return true;
  if (!fs::is_regular_file(fs::symlink_status(folder / "summary.json", ec))) {
    error = folder.string() +
            ": is not empty and holds no previous run (no summary.json); choose another --out";
    return false;
  }
  for (const auto& entry : fs::directory_iterator(folder)) fs::remove_all(entry.path());
  return true;
}

}  // namespace quorvane::sim
