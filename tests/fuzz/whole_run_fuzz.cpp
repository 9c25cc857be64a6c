// Fuzzes whole runs: a valid machine built from the fuzzer's bytes (fuzzed_machine.h), the whole
// engine on it, and every invariant of the run checked. A broken invariant
// aborts with its text and the machine's profile; QUORVANE_FUZZ_PROFILE=FILE writes the profile
// of each input run, so that a fault found becomes a scenario.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/sim/profile_loader.h"
#include "platform/sim/profile_writer.h"
#include "report/build_report.h"
#include "report/run_invariants.h"
#include "tests/fuzz/fuzzed_machine.h"

using namespace quorvane;
using namespace quorvane::sim;
using quorvane::sim::fuzzing::MachineMaker;

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& profile) {
  std::fprintf(stderr, "%s\nThe machine:\n%s\n", what.c_str(), profile.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  // Through the profile's text, as quorvane-sim would read it, so that any machine found here
  // runs there the same.
  const std::string text = WriteProfile(MachineMaker(in).Make());
  if (const char* keep = std::getenv("QUORVANE_FUZZ_PROFILE")) std::ofstream(keep) << text;
  Profile loaded;
  try {
    loaded = LoadProfile(text, "fuzzed.json");
  } catch (const ProfileError& e) {
    Fail(std::string("the fuzzer made a machine the loader refuses: ") + e.what(), text);
  }
  SimPlatform machine(loaded);
  const auto job = report::RunEngine(machine);
  const auto built = report::BuildRunReport(loaded, machine, *job);
  const auto broken = report::BrokenInvariants(loaded, machine, built);
  if (!broken.empty()) {
    std::string what;
    for (const auto& line : broken) what += "broken invariant: " + line + "\n";
    Fail(what, text);
  }
  return 0;
}
