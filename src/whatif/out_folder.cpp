// Where a run of a profile may write: output folders created, reused only when empty or marked as
// its own, and the page checked before the run.
#include "whatif/out_folder.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <cstring>
#include <fstream>

#include "base/utf8_path.h"

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

// Whether the system grants writing to `path` (a folder: making files in it).
bool Writable(const fs::path& path) {
#ifdef _WIN32
  return _waccess(path.c_str(), 2) == 0;  // Windows knows only the read-only attribute here
#else
  std::error_code ec;
  return access(path.c_str(), fs::is_directory(path, ec) ? W_OK | X_OK : W_OK) == 0;
#endif
}

// Whether files can be made in `folder`: asked of the system before anything is written, so a
// read-only folder is refused with its own reason instead of failing half-way.
bool CanWriteIn(const fs::path& folder, std::string& why) {
  if (Writable(folder)) return true;
  why = std::strerror(errno);
  return false;
}

// The closest folder of `path` that exists: where creating `path` starts. Walked up as the user
// wrote it, so the reason names their folder.
fs::path NearestExisting(const fs::path& path) {
  std::error_code ec;
  fs::path at = path;
  while (!fs::exists(fs::symlink_status(at, ec)) && at.has_relative_path()) at = at.parent_path();
  return at.empty() ? fs::path(".") : at;
}

bool WriteMarker(const fs::path& folder, std::string& error) {
  std::ofstream out(folder / kOutMarkerName, std::ios::binary | std::ios::trunc);
  out << kOutMarkerText;
  out.close();
  if (out) return true;
  error = Utf8OfPath(folder) + ": cannot write " + kOutMarkerName;
  return false;
}

}  // namespace

bool PrepareOutFolder(const fs::path& folder, std::string& error) {
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
    if (!CanWriteIn(start, why)) {
      error = Utf8OfPath(folder) + ": cannot be created in " + Utf8OfPath(start) + " (" + why +
              "); choose another --out";
      return false;
    }
    if (!fs::create_directories(folder, ec)) {
      error = Utf8OfPath(folder) + ": cannot create the folder: " + ec.message();
      return false;
    }
    return WriteMarker(folder, error);
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
  if (!CanWriteIn(folder, why)) {
    error = Utf8OfPath(folder) + ": cannot be written to (" + why + "); choose another --out";
    return false;
  }
  if (empty) return WriteMarker(folder, error);
  // Only what a run writes goes; a user's file beside it stays. The marker goes last, so a
  // removal that fails half-way leaves the folder still marked as ours.
  for (const char* part : kRunParts) {
    fs::remove_all(folder / part, ec);
    if (ec) {
      error =
          Utf8OfPath(folder / part) + ": cannot remove the previous run's part: " + ec.message();
      return false;
    }
  }
  return WriteMarker(folder, error);
}

bool CheckOutputFile(const fs::path& file, const std::string& option, std::string& error) {
  if (file.empty()) {
    error = option + ": expects a file name, found an empty one";
    return false;
  }
  std::error_code ec;
  const fs::path where = fs::absolute(file, ec);
  // A device or a pipe named as the output (/dev/stdout) is written to like a file.
  const auto status = fs::status(where, ec);
  if (fs::is_directory(status)) {
    error = Utf8OfPath(file) + ": exists and is not a file";
    return false;
  }
  const fs::path folder = fs::weakly_canonical(where.parent_path(), ec);
  if (!fs::is_directory(folder, ec)) {
    error = Utf8OfPath(file) + ": no such folder " + Utf8OfPath(folder);
    return false;
  }
  std::string why;
  if (fs::exists(status) ? !Writable(where) : !CanWriteIn(folder, why)) {
    if (why.empty()) why = std::strerror(errno);
    error = Utf8OfPath(file) + ": cannot be written (" + why + "); choose another " + option;
    return false;
  }
  return true;
}

bool CheckPageFile(const fs::path& page, const fs::path& outFolder, std::string& error) {
  if (page.empty()) return CheckOutputFile(page, "--html", error);
  std::error_code ec;
  // Compared as absolute paths with links resolved, so "out/../out/summary.json" is caught too.
  const fs::path where = fs::weakly_canonical(fs::absolute(page, ec), ec);
  const fs::path out = fs::weakly_canonical(fs::absolute(outFolder, ec), ec);
  const fs::path inOut = where.lexically_relative(out);
  if (inOut == ".") {
    error = Utf8OfPath(page) + ": is the output folder itself; choose a file for --html";
    return false;
  }
  if (!inOut.empty() && Utf8OfPath(*inOut.begin()) != "..") {
    const std::string first = Utf8OfPath(*inOut.begin());
    for (const char* part : kRunParts) {
      if (first == part) {
        error = Utf8OfPath(page) + ": lies in the run's own " + part + " inside " +
                Utf8OfPath(outFolder) + "; choose another --html";
        return false;
      }
    }
  }
  // A page straight inside the output folder finds the folder made before it is written.
  if (where.parent_path() == out && !fs::exists(out, ec)) return true;
  return CheckOutputFile(page, "--html", error);
}

}  // namespace quorvane::whatif
