// Benchmark: a fleet of generated machine profiles simulated into rows, in this process and as a
// whole quorvane-sim --batch, on one thread and on two.
//   batch_bench [PROFILES]   (default 10000; the profiles go to TMPDIR or /dev/shm)
// The profiles vary the example machines: disk sizes, role labels, injected faults, and one in a
// hundred that cannot be loaded.
#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "fleet/profile_inputs.h"
#include "fleet/simulated_fleet.h"
#include "tools/sim/builtin_machines.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;
using quorvane::fleet::FleetRow;

// Machine n of the fleet: example n % 16, with its own name and one change of each kind.
std::string Varied(const std::string& example, size_t n) {
  if (n % 100 == 99) return example.substr(0, example.size() / 2);  // a copy cut short
  Json profile = Json::parse(example);
  char name[32];
  std::snprintf(name, sizeof name, "NB-%05zu", n);
  profile["name"] = name;
  for (auto& disk : profile["disks"]) {
    // Larger disks never make a partition stop fitting; a cache SSD may grow past its limits.
    disk["sizeMB"] = disk["sizeMB"].get<int64_t>() + static_cast<int64_t>(n * 7919 % 4096);
    for (auto& part : disk["partitions"]) {
      if (!part.contains("label") || !part["label"].is_string()) continue;
      const std::string label = part["label"];
      if (n % 5 == 1) {
        std::string lower = label;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        part["label"] = lower;  // labels compare without regard to case
      } else if (n % 17 == 3 && label.starts_with("PUSH BUTTON")) {
        part["label"] = "DATA";  // no recovery partition
      }
    }
  }
  Json& faults = profile["faults"];
  if (n % 7 == 2) faults["mountFailures"] = Json{{"M:", n % 14 == 2 ? Json("always") : Json(9)}};
  if (n % 11 == 4) faults["inventory"] = Json::array({4, 4, 0, 5});
  if (n % 13 == 6) faults["cannotStart"] = Json::array({"dism"});
  if (faults.empty()) profile.erase("faults");
  return profile.dump(1);
}

double Seconds(const std::function<void()>& pass) {
  const auto start = std::chrono::steady_clock::now();
  pass();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct ProcessTimes {
  double wall = 0;
  double cpu = 0;  // user and system
  int status = -1;
};

// The command as a whole process, its output thrown away.
ProcessTimes RunProcess(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  ProcessTimes times;
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) return times;
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  times.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  times.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
              static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  times.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  posix_spawn_file_actions_destroy(&actions);
  return times;
}

}  // namespace

int main(int argc, char** argv) {
  const size_t wanted = argc > 1 ? std::stoul(argv[1]) : 10000;
  const char* tmp = getenv("TMPDIR");
  std::string pattern =
      ((tmp != nullptr ? fs::path(tmp) : fs::path("/dev/shm")) / "quorvane-batch-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("batch_bench: mkdtemp");
    return 1;
  }
  // The profiles in a folder of their own; the table beside it, outside the folder the batch reads.
  const fs::path scratch = pattern;
  const fs::path folder = scratch / "profiles";
  fs::create_directory(folder);

  const auto& examples = quorvane::sim::BuiltinMachineFiles();
  size_t bytes = 0;
  for (size_t n = 0; n < wanted; ++n) {
    const std::string text = Varied(std::string(examples[n % examples.size()].second), n);
    char name[32];
    std::snprintf(name, sizeof name, "NB-%05zu.json", n);
    std::ofstream(folder / name, std::ios::binary) << text;
    bytes += text.size();
  }

  std::vector<std::string> errors;
  const auto profiles = quorvane::fleet::FindProfiles({folder.string()}, errors);
  std::printf("batch: %zu profiles, %.1f MB in %s\n", profiles.size(),
              static_cast<double>(bytes) / 1e6, scratch.parent_path().c_str());
  std::printf("%-36s %10s %12s %10s\n", "pass (best of 3)", "seconds", "machines/s", "cpu s");

  std::vector<FleetRow> rows;
  std::vector<std::string> reference;  // the first pass's machines, to check every pass by
  bool same = true;
  for (unsigned jobs : {1u, 2u}) {
    double best = 1e30;
    for (int round = 0; round < 3; ++round) {
      best =
          std::min(best, Seconds([&] { rows = quorvane::fleet::SimulateFleet(profiles, jobs); }));
      std::vector<std::string> machines;
      for (const FleetRow& row : rows) machines.push_back(row.machine + " " + row.road);
      if (reference.empty()) reference = machines;
      same = same && machines == reference;
    }
    char what[64];
    std::snprintf(what, sizeof what, "in process, %u thread%s", jobs, jobs == 1 ? "" : "s");
    std::printf("%-36s %10.3f %12.0f %10s\n", what, best,
                static_cast<double>(profiles.size()) / best, "");
  }
  const size_t failed =
      static_cast<size_t>(std::count_if(rows.begin(), rows.end(), quorvane::fleet::RowFailed));
  std::map<std::string, size_t> roads;
  for (const FleetRow& row : rows) ++roads[row.road.empty() ? "unknown" : row.road];

  // The whole command a technician types, its table written as CSV beside the profiles.
  bool exited = true;
  for (const char* jobs : {"1", "2"}) {
    ProcessTimes best;
    best.wall = 1e30;
    for (int round = 0; round < 3; ++round) {
      const ProcessTimes run = RunProcess({QUORVANE_SIM, "--batch", folder.string(), "--jobs", jobs,
                                           "--quiet", "--csv", (scratch / "fleet.csv").string()});
      // Bad profiles make 3; anything else is a failure of the command.
      exited = exited && run.status == (failed > 0 ? 3 : 0);
      if (run.wall < best.wall) best = run;
    }
    const std::string what = std::string("quorvane-sim --batch --jobs ") + jobs;
    std::printf("%-36s %10.3f %12.0f %10.3f\n", what.c_str(), best.wall,
                static_cast<double>(profiles.size()) / best.wall, best.cpu);
  }

  std::error_code ec;
  fs::remove_all(scratch, ec);
  std::printf("rows: %zu (%zu bad profiles); roads:", rows.size(), failed);
  for (const auto& [road, count] : roads) std::printf(" %s %zu", road.c_str(), count);
  std::printf("\n");
  return errors.empty() && same && exited && rows.size() == wanted ? 0 : 1;
}
