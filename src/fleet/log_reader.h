// A fleet row from one machine's real run logs.
#pragma once

#include <string>
#include <vector>

#include "fleet/fleet_row.h"
#include "fleet/log_file.h"

namespace quorvane::fleet {

// Reads the latest run the files hold into a row named `machine`.
FleetRow ReadMachineRow(const std::string& machine, const std::vector<LogFile>& files);

}  // namespace quorvane::fleet
