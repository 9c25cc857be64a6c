// Benchmark: the whole engine on every built-in example machine, and how much faster than the
// real run each simulation is (simulated time over CPU time).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>

#include "platform/sim/profile_loader.h"
#include "platform/sim/sim_platform.h"
#include "run/layout_job.h"
#include "tools/sim/builtin_machines.h"

namespace {

using namespace quorvane::sim;

constexpr double kGoal = 20000;  // every machine at least this many times faster than for real

// A whole run in memory, as a fleet run makes it: the machine built from its profile, the engine
// run on it; no output tree is written.
void RunMachine(benchmark::State& state, const Profile& profile) {
  uint64_t simulatedMs = 0;
  for (auto _ : state) {
    SimPlatform machine(profile);
    quorvane::CLayoutJob job(machine);
    simulatedMs = machine.ElapsedMs();
    benchmark::DoNotOptimize(job.m_bSSDHDDMode);
  }
  state.counters["sim_ms"] = static_cast<double>(simulatedMs);
  // Simulated seconds per second of CPU time: how many times faster than the real run.
  state.counters["x_real"] = benchmark::Counter(static_cast<double>(simulatedMs) / 1000.0,
                                                benchmark::Counter::kIsIterationInvariantRate);
}

// The usual console table, then whether every machine met the goal.
class GoalReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      auto found = run.counters.find("x_real");
      const double speedup = found == run.counters.end() ? 0 : found->second.value;
      if (speedup < slowest_) {
        slowest_ = speedup;
        slowestName_ = run.benchmark_name();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  bool GoalMet() const { return !slowestName_.empty() && slowest_ >= kGoal; }
  void PrintVerdict() const {
    if (slowestName_.empty()) return;
    std::printf("slowest: %s, %.0f times faster than the real run; goal of %.0f times: %s\n",
                slowestName_.c_str(), slowest_, kGoal, GoalMet() ? "met" : "NOT met");
  }

 private:
  double slowest_ = std::numeric_limits<double>::infinity();
  std::string slowestName_;
};

}  // namespace

int main(int argc, char** argv) {
  for (const auto& [name, text] : BuiltinMachineFiles()) {
    Profile profile = LoadProfile(text, std::string(name) + ".json");
    benchmark::RegisterBenchmark(std::string(name).c_str(), [profile](benchmark::State& state) {
      RunMachine(state, profile);
    })->Unit(benchmark::kMicrosecond);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  GoalReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  reporter.PrintVerdict();
  return reporter.GoalMet() ? 0 : 1;
}
