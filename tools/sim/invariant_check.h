// quorvane-sim's check of every run it makes against the run's invariants.
#pragma once

#include <ostream>

#include "platform/sim/profile.h"
#include "platform/sim/sim_platform.h"
#include "report/run_report.h"

namespace quorvane::sim {

// Writes each invariant the finished run broke on `err`, one a line; true when it broke none.
bool KeptInvariants(const Profile& loaded, const SimPlatform& machine,
                    const report::RunReport& report, std::ostream& err);

}  // namespace quorvane::sim
