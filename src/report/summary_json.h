// summary.json of a run: road, flags, roles, letters, commands, boxes, logs, disks and warnings.
#pragma once

#include <string>

#include "report/run_report.h"

namespace quorvane::report {

// The file's bytes: UTF-8 JSON, two-space indent, a final line break.
std::string SummaryJson(const RunReport& report);

}  // namespace quorvane::report
