// Every scenario and example machine: its logs read whole give its report, and no cut of them,
// at any line boundary or inside any line, alone or beside the other part, reads as a whole run.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/sim/profile_loader.h"
#include "report/build_report.h"
#include "report/run_invariants.h"
#include "tests/cut_log_check.h"

namespace quorvane::fleet {
namespace {

namespace fs = std::filesystem;

TEST(FleetCut, NoCutLogOfAnyScenarioReadsWhole) {
  size_t machines = 0, whole = 0;
  for (const char* folder : {"machines", "tests/scenarios"}) {
    for (const auto& entry : fs::directory_iterator(fs::path(QUORVANE_SOURCE_DIR) / folder)) {
      if (entry.path().extension() != ".json") continue;
      SCOPED_TRACE(entry.path().filename().string());
      std::ifstream in(entry.path());
      std::ostringstream text;
      text << in.rdbuf();
      const sim::Profile loaded = sim::LoadProfile(text.str(), entry.path().string());
      sim::SimPlatform machine(loaded);
      const auto job = report::RunEngine(machine);
      const auto built = report::BuildRunReport(loaded, machine, *job);
      const auto logs = testing::FindLogs(loaded, machine);
      ++machines;
      whole += logs.whole ? 1 : 0;
      for (const auto& fault : testing::CutLogFaults(logs, built)) ADD_FAILURE() << fault;
    }
  }
  EXPECT_GE(machines, 48u);
  EXPECT_GE(whole, 40u);  // most runs leave their log whole
}

}  // namespace
}  // namespace quorvane::fleet
