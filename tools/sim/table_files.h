// Writing the fleet table files a command line named: CSV, JSON, HTML.
#pragma once

#include <string>
#include <vector>

#include "fleet/fleet_row.h"

namespace quorvane::sim {

struct TableFiles {
  std::string csvPath;  // "" when not asked for
  std::string jsonPath;
  std::string htmlPath;
};

// Whether every file asked for may be written, against the output policy
// (whatif/output_policy.h): each a file of its own, none of the `inputs` (the files and folders
// the run reads) or in one of their folders, and an existing one only a table of its own kind
// this program wrote. Asked before any input is read, so a refused table costs nothing. Empty,
// or the one line that refuses them.
std::string CheckTableFiles(const TableFiles& files, const std::vector<std::string>& inputs);

// Writes each file asked for, each whole or not at all; empty, or the line that says which one
// could not be written and the system's reason.
std::string WriteTableFiles(const TableFiles& files, const std::vector<fleet::FleetRow>& rows);

}  // namespace quorvane::sim
