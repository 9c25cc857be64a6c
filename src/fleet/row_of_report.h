// A fleet row from a simulated run's report, and the row of a profile that could not be loaded.
#pragma once

#include <string>

#include "fleet/fleet_row.h"
#include "report/run_report.h"

namespace quorvane::fleet {

// Every column the report can fill. What only a log tells (the clock times of the first and last
// line, the inventory's error codes, the boot-mode line, the refresh's partition lines) stays
// empty. `profileFile` is the profile as the input named it.
FleetRow RowOfReport(const report::RunReport& report, const std::string& profileFile);

// Named after the file's stem, as the profile's own name defaults to; `error` is the loader's
// one line (the file, the JSON path, what was expected and what was found).
FleetRow BadProfileRow(const std::string& profileFile, const std::string& error);

}  // namespace quorvane::fleet
