// The fleet's summary on the terminal: machines per status, road and warning kind, the rows that
// could not be read or run whole, and, for a batch set against logs, how the machines compared.
#pragma once

#include <ostream>
#include <vector>

#include "fleet/fleet_row.h"

namespace quorvane::fleet {

// Predicted and actual rows each get their own counts; a joined table (JoinRuns) also gets the
// machines per comparison and each machine not the same with how it differs. `colour` paints
// warning kinds by their severity and the rows not read or run whole as failures.
void PrintFleetSummary(const std::vector<FleetRow>& rows, std::ostream& out, bool colour = false);

}  // namespace quorvane::fleet
