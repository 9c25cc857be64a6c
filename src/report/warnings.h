// What in a simulated run would surprise a technician on the real machine.
#pragma once

#include <vector>

#include "platform/sim/sim_platform.h"
#include "report/logged_lines.h"
#include "report/run_report.h"

namespace quorvane::report {

// Kinds: "letter-role", "disk-cleaned", "message-box", "lost-log-line", "command-failed". Read
// from the machine as the run left it.
std::vector<Warning> BuildWarnings(const sim::SimPlatform& machine, const LoggedLines& logged);

}  // namespace quorvane::report
