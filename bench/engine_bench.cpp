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

constexpr double kGoal = 1000;  // every machine at least this many times faster than for real

void RunMachine(benchmark::State& state, const Profile& profile, const std::filesystem::path& out) {
  uint64_t simulatedMs = 0;
  for (auto _ : state) {
    {
      SimPlatform machine(profile, out);
      quorvane::CLayoutJob job(machine);
      simulatedMs = machine.ElapsedMs();
      benchmark::DoNotOptimize(job.m_bSSDHDDMode);
    }
    // The next run needs an empty folder; clearing it is not part of the run.
    state.PauseTiming();
    std::filesystem::remove_all(out);
    state.ResumeTiming();
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

// The volumes go to a RAM-backed folder when there is one: on a disk file system the kernel's
// bookkeeping of thousands of created and deleted files would dominate the CPU time. TMPDIR,
// when set, wins.
std::filesystem::path ScratchBase() {
  std::error_code ec;
  if (std::getenv("TMPDIR") == nullptr && std::filesystem::is_directory("/dev/shm", ec))
    return "/dev/shm";
  return std::filesystem::temp_directory_path();
}

}  // namespace

int main(int argc, char** argv) {
  std::string pattern = (ScratchBase() / "quorvane-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("quorvane bench: cannot create a temporary folder");
    return 1;
  }
  const std::filesystem::path root = pattern;
  std::fprintf(stderr, "volumes in %s\n", root.c_str());
  for (const auto& [name, text] : BuiltinMachineFiles()) {
    Profile profile = LoadProfile(text, std::string(name) + ".json");
    std::filesystem::path out = root / std::string(name);
    benchmark::RegisterBenchmark(std::string(name).c_str(), [profile,
                                                             out](benchmark::State& state) {
      RunMachine(state, profile, out);
    })->Unit(benchmark::kMicrosecond);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  GoalReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  reporter.PrintVerdict();
  std::error_code ec;
  std::filesystem::remove_all(root, ec);
  return reporter.GoalMet() ? 0 : 1;
}
