// The latest run of one machine, put together from the parts its log files hold.
#pragma once

#include <string>
#include <vector>

#include "fleet/log_file.h"

namespace quorvane::fleet {

// Early: the RAM drive's log, from the run's first line to "PBR Partition" (and on to the end
// when M: could not take the log). Late: the log in the root of M:, from "PBR letter" on.
enum class LogPart { Early, Late };

struct RunLine {
  const LogLine* line = nullptr;
  LogPart part = LogPart::Early;
};

struct MachineRun {
  std::vector<RunLine> lines;  // in the order the run wrote them
  bool hasEarly = false;
  bool hasLate = false;
  size_t earlierRuns = 0;          // runs before it that the files also hold
  std::vector<std::string> notes;  // copies that disagree, lines cut off from their run
};

// A file may hold several runs (the log on M: outlives a run: the next one appends), and several
// files one part (X:\Quorvane.log and its copy RYTOOLS\Quorvane.log). Parts are taken apart at
// each run's first line and at each "PBR letter" that starts a log on M:, copies of one part
// are read once, and the parts are joined in time order: a late part belongs to the early part
// before it when that one ended at "PBR Partition" no later than the late part began. Foreign
// files give nothing.
MachineRun LatestRun(const std::vector<LogFile>& files);

}  // namespace quorvane::fleet
