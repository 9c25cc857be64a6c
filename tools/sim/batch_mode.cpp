// quorvane-sim --batch: finds the profiles (and the logs), runs them, joins the two sides,
// writes the table and counts the fleet; progress on a terminal for a batch that takes a while.
#include "tools/sim/batch_mode.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "fleet/fleet_summary.h"
#include "fleet/log_folders.h"
#include "fleet/profile_inputs.h"
#include "fleet/run_comparison.h"
#include "fleet/simulated_fleet.h"
#include "tools/sim/exit_status.h"

namespace quorvane::sim {
namespace {

using Clock = std::chrono::steady_clock;

// A batch done within a second shows no progress at all; a longer one counts on one line that
// is cleared at the end, so nothing of it stays between the summary and the prompt.
class Progress {
 public:
  Progress(size_t total, std::ostream* err) : total_(total), err_(err) {}
  ~Progress() { Clear(); }
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  void Show(size_t done) {
    if (err_ == nullptr || Clock::now() - start_ < std::chrono::seconds(1)) return;
    const std::string line =
        "quorvane-sim: " + std::to_string(done) + " of " + std::to_string(total_) + " profiles run";
    *err_ << "\r" << line << std::flush;
    width_ = line.size();
  }

  void Clear() {
    if (width_ > 0) *err_ << "\r" << std::string(width_, ' ') << "\r" << std::flush;
    width_ = 0;
  }

 private:
  size_t total_;
  std::ostream* err_;
  Clock::time_point start_ = Clock::now();
  size_t width_ = 0;
};

}  // namespace

int RunBatchMode(const BatchOptions& options, std::ostream& out, std::ostream& err) {
  std::vector<std::string> errors, passedOver;
  const auto profiles = fleet::FindProfiles(options.profiles, errors, &passedOver);
  std::vector<fleet::MachineLogs> machines;
  if (!options.logs.empty()) machines = fleet::FindMachineLogs(options.logs, errors, &passedOver);
  if (!errors.empty()) {
    for (const auto& error : errors) err << "quorvane-sim: " << error << "\n";
    return kUsage;
  }
  // Nothing is passed over in silence.
  for (const auto& skipped : passedOver) err << "quorvane-sim: passed over " << skipped << "\n";

  const unsigned jobs =
      options.jobs > 0 ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
  Progress progress(profiles.size(), options.progress ? &err : nullptr);
  std::vector<fleet::FleetRow> rows =
      fleet::SimulateFleet(profiles, jobs, [&](size_t done) { progress.Show(done); });
  progress.Clear();
  if (!options.logs.empty()) {
    rows = fleet::JoinRuns(std::move(rows), fleet::ReadFleetLogs(machines));
  }

  if (const std::string failed = WriteTableFiles(options.tables, rows); !failed.empty()) {
    err << "quorvane-sim: " << failed << "\n";
    return kInternalFailure;
  }
  if (!options.quiet) fleet::PrintFleetSummary(rows, out, options.colour);
  return TableStatus(rows);
}

}  // namespace quorvane::sim
