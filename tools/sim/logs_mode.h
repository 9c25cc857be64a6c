// quorvane-sim --logs: real run logs read into one fleet table.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace quorvane::sim {

struct LogsOptions {
  std::vector<std::string> inputs;  // log files and folders
  std::string csvPath;
  std::string jsonPath;
  std::string htmlPath;
  bool quiet = false;
};

// Reads the logs, writes the tables asked for, prints the summary; returns the exit status.
int RunLogsMode(const LogsOptions& options, std::ostream& out, std::ostream& err);

}  // namespace quorvane::sim
