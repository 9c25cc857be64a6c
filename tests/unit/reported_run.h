// Test helper: the whole engine on an inline profile in a fresh folder, and the report of the run.
// Every run it makes is checked against the run's invariants; a broken one fails the test.
//
//   ReportedRun run(R"({"disks": [...]})");
//   run.report.road, run.report.warnings, run.report.disksAfter ...
//   ReportedRun example(MachineProfile("legacy-rapid-start"));
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "report/build_report.h"
#include "report/run_invariants.h"
#include "run/layout_job.h"
#include "tests/unit/sim_fixture.h"

namespace quorvane::report {

// The text of a built-in machine ("uefi-ssd-hdd") or a scenario profile ("unseen-no-disk").
inline std::string MachineProfile(const std::string& name) {
  for (const char* folder : {"/machines/", "/tests/scenarios/"}) {
    std::ifstream in(std::string(QUORVANE_SOURCE_DIR) + folder + name + ".json");
    if (!in) continue;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  throw std::runtime_error("no machine profile " + name);
}

struct ReportedRun {
  explicit ReportedRun(const std::string& profileJson) : sim(profileJson) {
    const sim::Profile loaded = sim.platform().profile();
    CLayoutJob job(sim.platform());
    report = BuildRunReport(loaded, sim.platform(), job);
    for (const auto& broken : BrokenInvariants(loaded, sim.platform(), report))
      ADD_FAILURE() << "the run broke an invariant: " << broken;
  }
  sim::SimFixture sim;
  RunReport report;
};

}  // namespace quorvane::report
