// Why a run took its road, in words a technician reads: written once for every output.
#pragma once

#include <string>

#include "report/logged_lines.h"
#include "report/run_report.h"

namespace quorvane::report {

// What the capability record said about rapid start, or that it was never read. Needs what the
// run could not read.
std::string RapidStartWhy(const RunReport& report, const LoggedLines& logged);
// Why the road of `report` was taken; needs its road, flags, roles, disk count, what it saw and
// what it could not read.
std::string RoadWhy(const RunReport& report, const LoggedLines& logged);

}  // namespace quorvane::report
