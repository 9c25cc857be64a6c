// quorvane-sim --logs: finds the run logs, reads one row per machine, writes the table and
// counts the fleet.
#include "tools/sim/logs_mode.h"

#include <fstream>

#include "fleet/fleet_summary.h"
#include "fleet/log_folders.h"
#include "fleet/table_writers.h"
#include "tools/sim/exit_status.h"

namespace quorvane::sim {
namespace {

using fleet::FleetRow;

void WriteTable(const std::string& path, const std::vector<FleetRow>& rows,
                void (*writer)(const std::vector<FleetRow>&, std::ostream&)) {
  if (path.empty()) return;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  writer(rows, out);
  out.flush();
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

int RunLogsMode(const LogsOptions& options, std::ostream& out, std::ostream& err) {
  std::vector<std::string> errors;
  const auto machines = fleet::FindMachineLogs(options.inputs, errors);
  if (!errors.empty()) {
    for (const auto& error : errors) err << "quorvane-sim: " << error << "\n";
    return kUsage;
  }
  const std::vector<FleetRow> rows = fleet::ReadFleetLogs(machines);
  WriteTable(options.csvPath, rows, fleet::WriteCsv);
  WriteTable(options.jsonPath, rows, fleet::WriteJson);
  WriteTable(options.htmlPath, rows, fleet::WriteHtml);
  if (!options.quiet) fleet::PrintFleetSummary(rows, out);
  for (const FleetRow& row : rows) {
    if (fleet::RowFailed(row)) return kRowsFailed;
  }
  return kCompleted;
}

}  // namespace quorvane::sim
