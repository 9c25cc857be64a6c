// The exit statuses of quorvane-sim.
#pragma once

namespace quorvane::sim {

inline constexpr int kCompleted = 0;        // the run completed; every log row read whole
inline constexpr int kInternalFailure = 1;  // quorvane-sim itself failed (an unwritable output)
inline constexpr int kUsage = 2;            // a bad command line, profile or input path
inline constexpr int kRowsFailed = 3;       // --logs: a row is foreign, damaged or cut short

}  // namespace quorvane::sim
