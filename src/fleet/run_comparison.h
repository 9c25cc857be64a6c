// Predicted against actual: how a machine's real run differed from its simulated one.
#pragma once

#include <string>
#include <vector>

#include "fleet/fleet_row.h"

namespace quorvane::fleet {

struct RunDifference {
  std::string what;       // "road", "ssdHddMode", "miniSsd", "rapidStart", "wipedDisk", "command"
  std::string predicted;  // as the table shows it; "" where that side has nothing
  std::string actual;

  bool operator==(const RunDifference&) const = default;
};

// Compares what both rows know: a field one side cannot know is not a difference (a row that
// could not be read whole is listed as such on its own). The wiped disk is compared once both
// roads are known. Commands are compared in order when both rows hold every command of their
// run; otherwise only those both hold, by command line. An outcome is compared as far as both
// know it: started or not, then the exit code, then the start's error.
std::vector<RunDifference> CompareRuns(const FleetRow& predicted, const FleetRow& actual);

// "road: predicted register, actual none".
std::string DifferenceText(const RunDifference& difference);

}  // namespace quorvane::fleet
