// The exit statuses of a run of a profile, the same for quorvane-sim and quorvane.exe --what-if.
#pragma once

namespace quorvane::whatif {

inline constexpr int kCompleted = 0;  // the run completed, whatever road it took
inline constexpr int kInternalFailure =
    1;                            // the program failed: an unwritable output, a broken invariant
inline constexpr int kUsage = 2;  // a bad command line, profile, output folder or page

}  // namespace quorvane::whatif
