// The exit statuses of quorvane-sim: those of a run of a profile, and one of --logs.
#pragma once

#include "whatif/exit_status.h"

namespace quorvane::sim {

using whatif::kCompleted;
using whatif::kInternalFailure;
using whatif::kUsage;
inline constexpr int kRowsFailed = 3;  // --logs: a row is foreign, damaged or cut short

}  // namespace quorvane::sim
