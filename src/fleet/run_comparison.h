// Predicted against actual: how a machine's real run differed from its simulated one.
#pragma once

#include <string>
#include <vector>

#include "fleet/fleet_row.h"

namespace quorvane::fleet {

// Compares what both rows know: a field one side cannot know is not a difference (a row that
// could not be read whole is listed as such on its own). The wiped disk is compared once both
// roads are known. When both rows hold every command of their run, the two lists are aligned on
// their command lines, so a command only one run started is a difference of its own; otherwise
// only the commands both hold are compared, by command line. An outcome is compared as far as both
// know it: started or not, then the exit code, then the start's error.
std::vector<RunDifference> CompareRuns(const FleetRow& predicted, const FleetRow& actual);

// Predicted against actual, machine by machine: the predicted rows in their order, each followed
// by the actual row of its machine, then the actual rows no predicted row names, in their order.
// Names match ignoring ASCII case (Windows' folder names do). A profile claims the log machine
// of its name, or else the one of its profile's file name without ".json"; several profiles that
// claim one machine are paired with its rows in order and each notes the others, as does each of
// several log rows of one name. Both rows of a pair get their comparison and differences; a row
// without a partner gets NoLog or NoProfile. Nothing is dropped.
std::vector<FleetRow> JoinRuns(std::vector<FleetRow> predicted, std::vector<FleetRow> actual);

// One machine of a joined table: its predicted row, its actual row, or both.
struct ComparedMachine {
  const FleetRow* predicted = nullptr;
  const FleetRow* actual = nullptr;
  const FleetRow& Either() const { return predicted != nullptr ? *predicted : *actual; }
};

// The machines a Differences section lists: those whose comparison is not Same, the ones that
// differ or are incomplete first, each group in the order of the table JoinRuns made.
std::vector<ComparedMachine> MachinesNotSame(const std::vector<FleetRow>& rows);

}  // namespace quorvane::fleet
