// The fleet's summary on the terminal: machines per status, road and warning kind, and the rows
// that could not be read whole.
#pragma once

#include <ostream>
#include <vector>

#include "fleet/fleet_row.h"

namespace quorvane::fleet {

void PrintFleetSummary(const std::vector<FleetRow>& rows, std::ostream& out);

}  // namespace quorvane::fleet
