// Test helper: the whole engine on an inline profile in a fresh folder, and the report of the run.
//
//   ReportedRun run(R"({"disks": [...]})");
//   run.report.road, run.report.warnings, run.report.disksAfter ...
#pragma once

#include <string>

#include "report/build_report.h"
#include "run/layout_job.h"
#include "tests/unit/sim_fixture.h"

namespace quorvane::report {

struct ReportedRun {
  explicit ReportedRun(const std::string& profileJson) : sim(profileJson) {
    const sim::Profile loaded = sim.platform().profile();
    CLayoutJob job(sim.platform());
    report = BuildRunReport(loaded, sim.platform(), job);
  }
  sim::SimFixture sim;
  RunReport report;
};

}  // namespace quorvane::report
