// The files and folders a run and the tools it starts look at, relative to a volume's root.
#pragma once

#include <string>
#include <vector>

namespace quorvane::capture {

struct WatchedPath {
  enum class Kind { Folder, Image, Text };
  std::wstring path;  // '\'-separated names below the root, "RecoveryImage\install.wim"
  Kind kind = Kind::Folder;
};

// Taken from the run's own path constants, their letters dropped: M: and C: stand for whichever
// partition the run maps, and X: for the RAM drive, so each is looked for on every volume.
std::vector<WatchedPath> WatchedPaths();

}  // namespace quorvane::capture
