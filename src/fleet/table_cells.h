// The columns of the fleet table and the text of each cell, shared by the CSV and HTML writers.
#pragma once

#include <string>
#include <vector>

#include "fleet/fleet_row.h"

namespace quorvane::fleet {

struct Column {
  const char* name;
  bool wide;  // sentences and lists, not one short value
  // The cell's items (a list column has several); none when the source cannot know it.
  std::vector<std::string> (*items)(const FleetRow& row);
};

// What a technician looks at first comes first: machine, status, problem, road, the three flags,
// M:, commands, warnings, boxes, wiped disk; then start, end, seconds, roles, inventory errors,
// boot mode, disks, partitions, notes, log files.
const std::vector<Column>& TableColumns();

// Runs of one code as "CODE xN": "10 x40", "2 3 4 9 5".
std::string InventoryErrorsText(const std::vector<int64_t>& codes);
// "X:\ParseinstallCmd.cmd: 0", "M:\RebuildEnd_CopyFile.cmd: call err=2", "...: no exit code".
std::string CommandText(const CommandCell& command);

}  // namespace quorvane::fleet
