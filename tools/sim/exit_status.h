// The exit statuses of quorvane-sim: those of a run of a profile, and one of --logs.
#pragma once

#include <algorithm>
#include <vector>

#include "fleet/fleet_row.h"
#include "whatif/exit_status.h"

namespace quorvane::sim {

using whatif::kCompleted;
using whatif::kInternalFailure;
using whatif::kUsage;
inline constexpr int kRowsFailed = 3;  // --logs, --batch: a row failed (see RowFailed)

// The status of a fleet table once it is written: whether any row failed.
inline int TableStatus(const std::vector<fleet::FleetRow>& rows) {
  return std::any_of(rows.begin(), rows.end(), fleet::RowFailed) ? kRowsFailed : kCompleted;
}

}  // namespace quorvane::sim
