// Where a run of a profile may write: its own output folders, told apart by a marker.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::whatif {

// The marker that makes a folder an output folder of a run: a file of this name holding exactly
// this text. A user's file does not match both by accident. quorvane.exe --what-if writes the same
// one, since its run is the simulator's and folders already marked must still be recognised.
inline constexpr char kOutMarkerName[] = ".quorvane-sim-output";
inline constexpr std::string_view kOutMarkerText =
    "This folder holds a run of quorvane-sim. A later run with --out here replaces volumes/,\n"
    "summary.json and this file, and nothing else.\n";

// What a run writes in its output folder, and a later run removes: nothing else in it is touched.
inline constexpr const char* kRunParts[] = {"volumes", "summary.json", kOutMarkerName};

// Makes `folder` ready for a run and marks it: creates it when missing, uses it when empty, and
// when it is marked removes only the previous run's parts (volumes/ and summary.json, each as
// what it is: a link goes as the link, and nothing is removed through one) and replaces the
// marker whole, so the folder stays marked whatever fails. Any other folder, a folder that cannot
// be written to or created, or a path that is not a folder, is refused before anything in it is
// written or removed: false, with a one-line reason naming it in `error`. `replaced` gets the
// previous run's parts that were there, in their order ("volumes/", "summary.json").
bool PrepareOutFolder(const std::filesystem::path& folder, std::string& error,
                      std::vector<std::string>* replaced = nullptr);

}  // namespace quorvane::whatif
