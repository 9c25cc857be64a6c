// What the run saw: the disks and partitions its inventory listed, and the labels it looks for.
#pragma once

#include <string>
#include <vector>

#include "platform/sim/profile.h"
#include "platform/sim/sim_platform.h"
#include "report/logged_lines.h"
#include "report/run_report.h"
#include "run/layout_job.h"

namespace quorvane::report {

// Fills the report's disk count and what the run could not read, and marks the disks and
// partitions (before, and after on a disk the run did not clean) that the tables the run decided
// by hold. Needs the disks placed.
void MarkWhatTheRunSaw(const sim::SimPlatform& machine, const CLayoutJob& job,
                       const LoggedLines& logged, RunReport& report);

// Every attempt of the first inventory found no fixed disk: an answer, not a failure.
bool NoFixedDiskInAnyAttempt(const LoggedLines& logged);

// Whether the refresh gives a partition with this label (UTF-8) a role.
bool IsRoleLabel(const std::string& label);
// Whether the label marks a hard disk's own recovery partition.
bool IsHardDiskLabel(const std::string& label);

// A partition with a role label on a disk the run inventoried that its partition table never held.
struct UnreachedPartition {
  int disk = 0;
  int number = 0;  // kernel numbering, from 1
  std::string label;
  bool hidden = false;
};
// Empty when the refresh failed: then it held nothing, and that is the finding.
std::vector<UnreachedPartition> UnreachedRoleLabels(const RunReport& report);
// "\"PQSERVICE2\" on disk 1, partition 1 was never reached: ...".
std::string NeverReachedText(const UnreachedPartition& partition);

}  // namespace quorvane::report
