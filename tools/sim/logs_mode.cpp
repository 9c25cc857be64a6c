// quorvane-sim --logs: finds the run logs, reads one row per machine, writes the table and
// counts the fleet.
#include "tools/sim/logs_mode.h"

#include "fleet/fleet_summary.h"
#include "fleet/log_folders.h"
#include "tools/sim/exit_status.h"

namespace quorvane::sim {

int RunLogsMode(const LogsOptions& options, std::ostream& out, std::ostream& err) {
  std::vector<std::string> errors, passedOver;
  const auto machines = fleet::FindMachineLogs(options.inputs, errors, &passedOver);
  if (!errors.empty()) {
    for (const auto& error : errors) err << "quorvane-sim: " << error << "\n";
    return kUsage;
  }
  for (const auto& skipped : passedOver) err << "quorvane-sim: passed over " << skipped << "\n";
  const std::vector<fleet::FleetRow> rows = fleet::ReadFleetLogs(machines);
  if (const std::string failed = WriteTableFiles(options.tables, rows); !failed.empty()) {
    err << "quorvane-sim: " << failed << "\n";
    return kInternalFailure;
  }
  if (!options.quiet) fleet::PrintFleetSummary(rows, out, options.colour);
  return TableStatus(rows);
}

}  // namespace quorvane::sim
