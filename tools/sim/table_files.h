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

// Whether every file asked for may be written (see CheckOutputFile), each a file of its own;
// asked before any input is read, so a refused table costs nothing. Otherwise false, with a
// one-line reason in `error`.
bool CheckTableFiles(const TableFiles& files, std::string& error);

// Writes each file asked for, replacing it; throws when one cannot be written.
void WriteTableFiles(const TableFiles& files, const std::vector<fleet::FleetRow>& rows);

}  // namespace quorvane::sim
