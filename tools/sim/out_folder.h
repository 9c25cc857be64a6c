// The output folder of a simulated run: made ready without ever deleting a user's files.
#pragma once

#include <filesystem>
#include <string>

namespace quorvane::sim {

// Creates the folder, or empties it when it holds a previous run (a
// summary.json). Any other non-empty folder, or a path that is not a folder,
// is refused and left untouched: false, with the reason in `error`.
bool PrepareOutFolder(const std::filesystem::path& folder, std::string& error);

}  // namespace quorvane::sim
