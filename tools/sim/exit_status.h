// The exit statuses of quorvane-sim.
#pragma once

#include <algorithm>
#include <vector>

#include "fleet/fleet_row.h"

namespace quorvane::sim {

inline constexpr int kCompleted = 0;        // the run completed; every row read or run whole
inline constexpr int kInternalFailure = 1;  // quorvane-sim itself failed (an unwritable output)
inline constexpr int kUsage = 2;            // a bad command line, profile or input path
inline constexpr int kRowsFailed = 3;       // --logs, --batch: a row failed (see RowFailed)

// The status of a fleet table once it is written: whether any row failed.
inline int TableStatus(const std::vector<fleet::FleetRow>& rows) {
  return std::any_of(rows.begin(), rows.end(), fleet::RowFailed) ? kRowsFailed : kCompleted;
}

}  // namespace quorvane::sim
