// quorvane-sim --batch: a folder of machine profiles simulated into one fleet table, and set
// against the machines' real run logs when --logs is given too.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tools/sim/table_files.h"

namespace quorvane::sim {

struct BatchOptions {
  std::vector<std::string> profiles;  // --batch: profile files and folders
  std::vector<std::string> logs;      // --logs as well: the real runs to compare with
  unsigned jobs = 0;                  // runs at a time; 0: one a core
  TableFiles tables;
  bool quiet = false;
  bool colour = false;    // the summary in severity colours (a terminal without NO_COLOR)
  bool progress = false;  // count the runs on `err` as they end (for a terminal)
};

// Runs the profiles, reads and joins the logs, writes the tables asked for (which the caller
// has checked with CheckTableFiles), prints the summary; returns the exit status.
int RunBatchMode(const BatchOptions& options, std::ostream& out, std::ostream& err);

}  // namespace quorvane::sim
