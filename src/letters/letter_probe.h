// The probe scan shared by the letter assignments.
#pragma once

#include <functional>
#include <string>

#include "classify/role_labels.h"
#include "run/layout_job.h"

namespace quorvane {

// What becomes of a probe letter once its label has been judged.
enum class ProbeVerdict {
  Release,      // not wanted: the letter is removed and the scan goes on
  Keep,         // wanted: the letter stays and the scan goes on
  KeepAndStop,  // wanted: the letter stays and the scan ends
};

// The first number of each disk's "Disks %d : Partitions %d" line.
enum class DiskLineNumber { DiskIndex, DiskCount };

// Gives a free letter in turn to partitions 1 to Partitions + 1 of every inventoried disk and
// lets `judge` decide on the label read through it (as read; the judge logs what it finds).
// True when a verdict ended the scan.
bool ProbeDiskPartitions(CLayoutJob& job, DiskLineNumber lineNumber,
                         const std::function<ProbeVerdict(const std::wstring& label)>& judge);

}  // namespace quorvane
