// Fuzzes the fleet reader on whole runs: a machine built from the fuzzer's bytes
// (fuzzed_machine.h), the engine on it, then the logs a technician may find cut at a point the
// remaining bytes choose. The whole logs must read as the run's report, and the cut ones never as
// a whole run. QUORVANE_FUZZ_PROFILE=FILE writes the profile of each input run.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/sim/profile_loader.h"
#include "platform/sim/profile_writer.h"
#include "report/build_report.h"
#include "report/run_invariants.h"
#include "tests/cut_log_check.h"
#include "tests/fuzz/fuzzed_machine.h"

using namespace quorvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string text = sim::WriteProfile(sim::fuzzing::MachineMaker(in).Make());
  if (const char* keep = std::getenv("QUORVANE_FUZZ_PROFILE")) std::ofstream(keep) << text;
  const sim::Profile loaded = sim::LoadProfile(text, "fuzzed.json");
  sim::SimPlatform machine(loaded);
  const auto job = report::RunEngine(machine);
  const auto built = report::BuildRunReport(loaded, machine, *job);
  const auto logs = fleet::testing::FindLogs(loaded, machine);
  // Which file, and where in it: a byte offset (a line boundary or inside a line alike).
  const size_t file = in.ConsumeIntegral<uint8_t>();
  const size_t at = in.ConsumeIntegral<uint32_t>();
  const size_t only = logs.files.empty() ? 0 : file % logs.files.size();
  const auto faults = fleet::testing::CutLogFaults(logs, built, only, at);
  if (faults.empty()) return 0;
  for (const auto& fault : faults) std::fprintf(stderr, "%s\n", fault.c_str());
  std::fprintf(stderr, "The machine:\n%s\n", text.c_str());
  std::abort();
}
