// What a run changed on the machine, in facts and in the words every output shows.
#pragma once

#include <string>

#include "platform/sim/profile.h"
#include "platform/sim/sim_platform.h"
#include "report/run_report.h"

namespace quorvane::report {

// Needs the report's disks before and after, commands, log files and files written.
Changes BuildChanges(const sim::Profile& loaded, const sim::SimPlatform& machine,
                     const RunReport& report);

// "partition 1 \"Cache\", 8192 MB, GPT: Basic Data": a partition as the changes name it.
std::string PartitionText(size_t number, const PartitionReport& partition);

}  // namespace quorvane::report
