// quorvane-sim --logs: real run logs read into one fleet table.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tools/sim/table_files.h"

namespace quorvane::sim {

struct LogsOptions {
  std::vector<std::string> inputs;  // log files and folders
  TableFiles tables;
  bool quiet = false;
  bool colour = false;  // the summary in severity colours (a terminal without NO_COLOR)
};

// Reads the logs, writes the tables asked for (which the caller has checked with
// CheckTableFiles), prints the summary; returns the exit status.
int RunLogsMode(const LogsOptions& options, std::ostream& out, std::ostream& err);

}  // namespace quorvane::sim
