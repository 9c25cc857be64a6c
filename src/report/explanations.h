// Why a run took its road, in words a technician reads: written once for every output.
#pragma once

#include <string>

#include "report/logged_lines.h"
#include "report/run_report.h"

namespace quorvane::report {

// What the capability record said about rapid start.
std::string RapidStartWhy(const LoggedLines& logged);
// Why the road of `report` was taken; needs its road, flags, roles, disk count and what it saw.
std::string RoadWhy(const RunReport& report, const LoggedLines& logged);

}  // namespace quorvane::report
