// Where a run of a profile may write: output folders created, reused only when empty or marked as
// its own, and the page checked before the run.
#include "whatif/out_folder.h"

#include <fstream>

namespace quorvane::whatif {
namespace {

namespace fs = std::filesystem;

constexpr const char* kRunParts[] = {"volumes", "summary.json", kOutMarkerName};

bool HoldsMarker(const fs::path& folder) {
  std::error_code ec;
  const fs::path marker = folder / kOutMarkerName;
  if (!fs::is_regular_file(fs::symlink_status(marker, ec))) return false;
  std::ifstream in(marker, std::ios::binary);
  std::string text(kOutMarkerText.size() + 1, '\0');  // one more: a longer file is no marker
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(in.gcount()));
  return text == kOutMarkerText;
}

bool WriteMarker(const fs::path& folder, std::string& error) {
  std::ofstream out(folder / kOutMarkerName, std::ios::binary | std::ios::trunc);
  out << kOutMarkerText;
  out.close();
  if (out) return true;
  error = folder.string() + ": cannot write " + kOutMarkerName;
  return false;
}

}  // namespace

bool PrepareOutFolder(const fs::path& folder, std::string& error) {
  std::error_code ec;
  const auto status = fs::status(folder, ec);
  if (!fs::exists(status)) {
    if (!fs::create_directories(folder, ec)) {
      error = folder.string() + ": cannot create the folder: " + ec.message();
      return false;
    }
    return WriteMarker(folder, error);
  }
  if (!fs::is_directory(status)) {
    error = folder.string() + ": exists and is not a folder";
    return false;
  }
  if (fs::is_empty(folder, ec)) return WriteMarker(folder, error);
  if (!HoldsMarker(folder)) {
    error = folder.string() + ": is not empty and is not an output folder of quorvane-sim (no " +
            kOutMarkerName + " of its own); choose another --out";
    return false;
  }
  // Only what a run writes goes; a user's file beside it stays. The marker goes last, so a
  // removal that fails half-way leaves the folder still marked as ours.
  for (const char* part : kRunParts) {
    fs::remove_all(folder / part, ec);
    if (ec) {
      error = (folder / part).string() + ": cannot remove the previous run's part: " + ec.message();
      return false;
    }
  }
  return WriteMarker(folder, error);
}

bool CheckPageFile(const fs::path& page, const fs::path& outFolder, std::string& error) {
  std::error_code ec;
  // Compared as absolute paths with links resolved, so "out/../out/summary.json" is caught too.
  const fs::path where = fs::weakly_canonical(fs::absolute(page, ec), ec);
  const fs::path inOut =
      where.lexically_relative(fs::weakly_canonical(fs::absolute(outFolder, ec), ec));
  if (!inOut.empty() && inOut.begin()->string() != "..") {
    const std::string first = inOut.begin()->string();
    for (const char* part : kRunParts) {
      if (first == part) {
        error = page.string() + ": lies in the run's own " + part + " inside " +
                outFolder.string() + "; choose another --html";
        return false;
      }
    }
  }
  const auto status = fs::status(where, ec);
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    error = page.string() + ": exists and is not a file";
    return false;
  }
  if (!fs::is_directory(where.parent_path(), ec)) {
    error = page.string() + ": no such folder";
    return false;
  }
  return true;
}

}  // namespace quorvane::whatif
