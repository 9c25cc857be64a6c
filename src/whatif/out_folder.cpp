// Where a run of a profile may write: output folders created, reused only when empty or marked as
// its own, and emptied of a previous run without following a link.
#include "whatif/out_folder.h"

#include <fstream>

#include "base/utf8_path.h"
#include "platform/host_files.h"

namespace quorvane::whatif {
namespace {

namespace fs = std::filesystem;

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

// The closest folder of `path` that exists: where creating `path` starts. Walked up as the user
// wrote it, so the reason names their folder.
fs::path NearestExisting(const fs::path& path) {
  std::error_code ec;
  fs::path at = path;
  while (!fs::exists(fs::symlink_status(at, ec)) && at.has_relative_path()) at = at.parent_path();
  return at.empty() ? fs::path(".") : at;
}

// Written whole or not at all, so a full disk leaves no empty marker that would claim the folder.
bool WriteMarker(const fs::path& folder, std::string& error) {
  const std::string why = host::WriteWhole(folder / kOutMarkerName, kOutMarkerText);
  if (why.empty()) return true;
  error = Utf8OfPath(folder) + ": cannot write " + kOutMarkerName + ": " + why;
  return false;
}

}  // namespace

bool PrepareOutFolder(const fs::path& folder, std::string& error,
                      std::vector<std::string>* replaced) {
  if (folder.empty()) {
    error = "--out: expects a folder name, found an empty one";
    return false;
  }
  std::error_code ec;
  const auto status = fs::status(folder, ec);
  std::string why;
  if (!fs::exists(status)) {
    const fs::path start = NearestExisting(folder);
    if (!fs::is_directory(start, ec)) {
      error = Utf8OfPath(folder) + ": cannot be created: " + Utf8OfPath(start) + " is not a folder";
      return false;
    }
    if (why = host::WriteDenied(start); !why.empty()) {
      error = Utf8OfPath(folder) + ": cannot be created in " + Utf8OfPath(start) + " (" + why +
              "); choose another --out";
      return false;
    }
    if (!fs::create_directories(folder, ec)) {
      error = Utf8OfPath(folder) + ": cannot create the folder: " + ec.message();
      return false;
    }
    if (WriteMarker(folder, error)) return true;
    // Nothing of a run that cannot start stays: the folders made for it go again, innermost
    // first, down to the one that was there.
    for (fs::path made = folder; made != start && !made.empty(); made = made.parent_path())
      fs::remove(made, ec);
    return false;
  }
  if (!fs::is_directory(status)) {
    error = Utf8OfPath(folder) + ": exists and is not a folder";
    return false;
  }
  const bool empty = fs::is_empty(folder, ec);
  if (!empty && !HoldsMarker(folder)) {
    error = Utf8OfPath(folder) + ": is not empty and is not an output folder of quorvane-sim (no " +
            kOutMarkerName + " of its own); choose another --out";
    return false;
  }
  // Before a previous run's part is removed: a folder that cannot take the new run keeps it.
  if (why = host::WriteDenied(folder); !why.empty()) {
    error = Utf8OfPath(folder) + ": cannot be written to (" + why + "); choose another --out";
    return false;
  }
  if (empty) return WriteMarker(folder, error);
  // Only what a run writes goes; a user's file beside it stays. The marker is not removed but
  // replaced whole, last, so a run that stops anywhere leaves the folder marked as ours.
  for (const char* part : kRunParts) {
    if (part == std::string_view(kOutMarkerName)) continue;
    const fs::path path = folder / part;
    const bool there = fs::exists(fs::symlink_status(path, ec));
    if (why = host::RemoveTree(path); !why.empty()) {
      error = Utf8OfPath(path) + ": cannot remove the previous run's part: " + why;
      return false;
    }
    if (there && replaced != nullptr)
      replaced->push_back(part == std::string_view("volumes") ? "volumes/" : part);
  }
  return WriteMarker(folder, error);
}

}  // namespace quorvane::whatif
