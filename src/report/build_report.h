// Building the report of a finished simulated run.
#pragma once

#include "platform/sim/profile.h"
#include "platform/sim/sim_platform.h"
#include "report/run_report.h"
#include "run/layout_job.h"

namespace quorvane::report {

// The note of a volume of the simulated machine.
VolumeNote NoteOf(const sim::SimPlatform::Volume& volume);

// `loaded` is the profile as it was before the run; `machine` and `job` as the run left them.
RunReport BuildRunReport(const sim::Profile& loaded, const sim::SimPlatform& machine,
                         const CLayoutJob& job);

}  // namespace quorvane::report
