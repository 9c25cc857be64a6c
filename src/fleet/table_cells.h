// The columns of the fleet table and the text of each cell, shared by the CSV and HTML writers.
#pragma once

#include <string>
#include <vector>

#include "fleet/fleet_row.h"
#include "fleet/run_comparison.h"

namespace quorvane::fleet {

// Which tables show a column: a column no row of the table can fill is left out.
enum class Shown {
  Always,
  WithLogs,        // only a log tells it
  WithSimulation,  // only a simulated run tells it
  WhenCompared,    // a batch set against logs
};

struct Column {
  const char* name;
  bool wide;  // sentences and lists, not one short value
  Shown shown;
  // The cell's items (a list column has several); none when the source cannot know it.
  std::vector<std::string> (*items)(const FleetRow& row);
};

// The columns of a table of these rows. What a technician looks at first comes first: machine,
// source, status, problem, comparison, differences, road, the three flags, M:, commands,
// warnings, boxes, wiped disk and what it held; then start, end, seconds, roles, inventory
// errors, boot mode, disks, partitions, notes, profile and log files.
std::vector<const Column*> TableColumns(const std::vector<FleetRow>& rows);

// Runs of one code as "CODE xN": "10 x40", "2 3 4 9 5".
std::string InventoryErrorsText(const std::vector<int64_t>& codes);
// "road: predicted register, actual none".
std::string DifferenceText(const RunDifference& difference);
// How a machine of the Differences section came out: each difference, a side that failed
// ("actual cut-short"), or the side it lacks ("no log").
std::vector<std::string> ComparisonLines(const ComparedMachine& machine);
// "X:\ParseinstallCmd.cmd: 0", "M:\RebuildEnd_CopyFile.cmd: call err=2", "...: no exit code".
std::string CommandText(const CommandCell& command);

}  // namespace quorvane::fleet
