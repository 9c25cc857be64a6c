// The invariants every run keeps, checked on a finished simulated run.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/sim/profile.h"
#include "platform/sim/sim_platform.h"
#include "report/run_report.h"
#include "run/layout_job.h"

namespace quorvane::report {

// Runs the engine on a machine and hands back the run context it leaves.
using EngineRun = std::function<std::unique_ptr<CLayoutJob>(sim::SimPlatform& machine)>;
std::unique_ptr<CLayoutJob> RunEngine(sim::SimPlatform& machine);

// The invariants a finished run broke, one precise text each; empty when it kept them all.
// `loaded` is the profile as loaded, `machine` as the run left it, `report` built from both.
//
//  - The run completes: its flag summary and one road are logged.
//  - The same machine gives the same bytes twice: `engine` on a fresh machine of `loaded` leaves
//    the same volumes and the same summary.json.
//  - diskpart selects, cleans or changes no disk but the cache SSD the run named, and that is a
//    disk the inventory lists (a fixed disk among the first 20, with its medium) of at most the
//    cache-SSD size, holding no partition the run found in a role and no log the run wrote.
//  - No text of a tool's output reaches a script but digits: `engine` on a fresh machine whose
//    tools print other words writes the same scripts, digits apart.
//  - Every log line is in a Quorvane.log at the end (a line written again later, or replaced in
//    its millisecond by a later one of the same key, is judged by that later write), unless an
//    injected fault (readOnly, cannotCreate, mountFailures of its letter) or a RAM drive without a
//    file system cost it; a lost line is quoted by a lost-log-line warning, alone or as the ends of
//    a run of lost lines around it.
//  - The simulated time is at least the waits the run made: 100 ms after each failed inventory
//    attempt, 500 ms after each partition line of the refresh, 300 ms after each failed mapping,
//    the 2000 ms pause of the registration, and each started command's duration.
// No table is written past its end: the builds that run these checks (sanitizers, fuzzing)
// bounds-check every std::array access.
std::vector<std::string> BrokenInvariants(const sim::Profile& loaded,
                                          const sim::SimPlatform& machine, const RunReport& report,
                                          const EngineRun& engine = RunEngine);

}  // namespace quorvane::report
