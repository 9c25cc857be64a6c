// Where a run of a profile may write: its own output folders, told apart by a marker, and the page.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quorvane::whatif {

// The marker that makes a folder an output folder of a run: a file of this name holding exactly
// this text. A user's file does not match both by accident. quorvane.exe --what-if writes the same
// one, since its run is the simulator's and folders already marked must still be recognised.
inline constexpr char kOutMarkerName[] = ".quorvane-sim-output";
inline constexpr std::string_view kOutMarkerText =
    "This folder holds a run of quorvane-sim. A later run with --out here replaces volumes/,\n"
    "summary.json and this file, and nothing else.\n";

// Makes `folder` ready for a run and marks it: creates it when missing, uses it when empty, and
// when it is marked removes only the previous run's parts (volumes/, summary.json, the marker),
// leaving anything else in it alone. Any other folder, a folder that cannot be written to or
// created, or a path that is not a folder, is refused before anything in it is written or
// removed: false, with a one-line reason naming it in `error`.
bool PrepareOutFolder(const std::filesystem::path& folder, std::string& error);

// Whether `file`, named by the command-line option `option`, may be written: a non-empty name of
// a new file or of an existing regular file (which it replaces), writable, in an existing folder.
// Otherwise false, with a one-line reason naming it in `error`.
bool CheckOutputFile(const std::filesystem::path& file, const std::string& option,
                     std::string& error);

// Whether `page`, named by --html, may be written: a non-empty name of a new file or of an
// existing regular file (which it replaces), writable, in an existing folder (or straight in
// `outFolder`, made before the page is written), neither `outFolder` itself nor inside the parts
// of it that the run writes and a later run removes. Otherwise false, with a one-line reason in
// `error`.
bool CheckPageFile(const std::filesystem::path& page, const std::filesystem::path& outFolder,
                   std::string& error);

}  // namespace quorvane::whatif
