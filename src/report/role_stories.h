// What the run did with each role slot: the letter its road put there, the disk it wiped, or the
// step that emptied the slot again.
#pragma once

#include "platform/sim/sim_platform.h"
#include "report/logged_lines.h"
#include "report/run_report.h"

namespace quorvane::report {

// Fills each role's use, reset and story. Needs the report's roles, flags and road. Read from the
// letters the run asked for, the disks it cleaned and the lines it logged; nothing is decided anew.
void TellRoleStories(const sim::SimPlatform& machine, const LoggedLines& logged, RunReport& report);

}  // namespace quorvane::report
