// The checks of a finished run's invariants, one function each (see run_invariants.h).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/profile.h"
#include "platform/sim/sim_platform.h"
#include "report/run_report.h"

namespace quorvane::report::invariants {

struct CheckedRun {
  const sim::Profile& loaded;  // as loaded, before the run
  const sim::SimPlatform& machine;
  const RunReport& report;
};
using Broken = std::vector<std::string>;

// Whether a log message is what a format of the program ("[%d]%d %d %s %s %.2fGB %s") prints
// for some arguments: %d an optional minus and digits, %x hexadecimal digits, %.2f digits with a
// point, %s any text.
bool MatchesLogFormat(std::wstring_view message, std::wstring_view format);

// The run's lines, lost or not, follow the grammar of its log up to its last line.
void CheckCompleted(const CheckedRun& run, Broken& broken);
// diskpart touches only a listed cache SSD that holds nothing in use.
void CheckWipes(const CheckedRun& run, Broken& broken);
// Every log line is in a Quorvane.log, or a fault cost it and a warning quotes it.
void CheckLogLinesKept(const CheckedRun& run, Broken& broken);
// The simulated time covers every wait the run made.
void CheckWaits(const CheckedRun& run, Broken& broken);

}  // namespace quorvane::report::invariants
