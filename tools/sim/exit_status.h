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
// --logs, --batch: a row failed (see RowFailed), or a prediction differs or is incomplete.
inline constexpr int kRowsFailed = 3;

// The status of a fleet table once it is written: whether any row failed or any prediction did
// not come out the same.
inline int TableStatus(const std::vector<fleet::FleetRow>& rows) {
  return std::any_of(rows.begin(), rows.end(),
                     [](const fleet::FleetRow& row) {
                       return fleet::RowFailed(row) ||
                              row.comparison == fleet::Comparison::Differs ||
                              row.comparison == fleet::Comparison::Incomplete;
                     })
             ? kRowsFailed
             : kCompleted;
}

}  // namespace quorvane::sim
