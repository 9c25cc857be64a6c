// Benchmark: reading a fleet's run logs into rows, against simply reading the same bytes.
//   fleet_bench [LOGS]   (default 100000 log files; the fleet goes to TMPDIR or /dev/shm)
// The fleet repeats the scenarios' reviewed logs: per machine the log of the recovery partition's
// root and its RYTOOLS copy, or the RAM drive's log where the run left it alone.
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "base/text.h"
#include "fleet/log_folders.h"

namespace {

namespace fs = std::filesystem;
using quorvane::fleet::MachineLogs;

struct MachineParts {
  std::string root;   // the machine folder's Quorvane.log
  std::string tools;  // its RYTOOLS copy, if any
};

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool IsLog(const fs::path& path) {
  return quorvane::EqualsIgnoreCaseAscii(quorvane::FromUtf8(path.filename().string()),
                                         L"Quorvane.log");
}

std::vector<MachineParts> ScenarioMachines() {
  std::vector<MachineParts> machines;
  for (const auto& tree :
       fs::directory_iterator(fs::path(QUORVANE_SOURCE_DIR) / "tests/scenarios/expected")) {
    MachineParts parts;
    std::string ramDrive;
    for (const auto& entry : fs::recursive_directory_iterator(tree.path() / "volumes")) {
      if (!IsLog(entry.path())) continue;
      const std::string folder = entry.path().parent_path().filename().string();
      if (folder == "X") {
        ramDrive = Slurp(entry.path());
      } else if (quorvane::EqualsIgnoreCaseAscii(quorvane::FromUtf8(folder), L"RYTOOLS")) {
        parts.tools = Slurp(entry.path());
      } else {
        parts.root = Slurp(entry.path());
      }
    }
    if (parts.root.empty()) parts.root = ramDrive;
    machines.push_back(parts);
  }
  std::sort(machines.begin(), machines.end(),
            [](const MachineParts& a, const MachineParts& b) { return a.root < b.root; });
  return machines;
}

double BestSeconds(const std::function<void()>& pass) {
  double best = 1e30;
  for (int round = 0; round < 3; ++round) {
    const auto start = std::chrono::steady_clock::now();
    pass();
    best = std::min(
        best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const size_t wanted = argc > 1 ? std::stoul(argv[1]) : 100000;
  const char* tmp = getenv("TMPDIR");
  std::string pattern =
      ((tmp != nullptr ? fs::path(tmp) : fs::path("/dev/shm")) / "quorvane-fleet-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("fleet_bench: mkdtemp");
    return 1;
  }
  const fs::path fleet = pattern;

  const auto kinds = ScenarioMachines();
  size_t files = 0, bytes = 0;
  for (size_t n = 0; files < wanted; ++n) {
    const MachineParts& parts = kinds[n % kinds.size()];
    char name[32];
    std::snprintf(name, sizeof name, "NB-%06zu", n);
    fs::create_directories(fleet / name);
    std::ofstream(fleet / name / "Quorvane.log", std::ios::binary) << parts.root;
    ++files;
    bytes += parts.root.size();
    if (!parts.tools.empty() && files < wanted) {
      fs::create_directories(fleet / name / "RYTOOLS");
      std::ofstream(fleet / name / "RYTOOLS" / "Quorvane.log", std::ios::binary) << parts.tools;
      ++files;
      bytes += parts.tools.size();
    }
  }

  std::vector<std::string> errors;
  std::vector<MachineLogs> machines;
  const double find =
      BestSeconds([&] { machines = quorvane::fleet::FindMachineLogs({fleet.string()}, errors); });

  // The same files, read whole once each: the floor any reader stands on.
  std::vector<char> buffer;
  size_t readBytes = 0;
  const double raw = BestSeconds([&] {
    readBytes = 0;
    for (const MachineLogs& machine : machines) {
      for (const fs::path& path : machine.files) {
        FILE* file = std::fopen(path.c_str(), "rb");
        if (file == nullptr) continue;
        std::fseek(file, 0, SEEK_END);
        buffer.resize(static_cast<size_t>(std::ftell(file)));
        std::fseek(file, 0, SEEK_SET);
        readBytes += std::fread(buffer.data(), 1, buffer.size(), file);
        std::fclose(file);
      }
    }
  });

  size_t rows = 0, failed = 0;
  const double parsed = BestSeconds([&] {
    const auto table = quorvane::fleet::ReadFleetLogs(machines);
    rows = table.size();
    failed =
        static_cast<size_t>(std::count_if(table.begin(), table.end(), quorvane::fleet::RowFailed));
  });

  std::error_code ec;
  fs::remove_all(fleet, ec);
  std::printf("fleet: %zu machines, %zu log files, %.1f MB in %s\n", machines.size(), files,
              static_cast<double>(bytes) / 1e6, fleet.parent_path().c_str());
  std::printf("%-28s %10s %14s %10s\n", "pass (best of 3)", "seconds", "logs/s", "MB/s");
  auto line = [&](const char* what, double seconds) {
    std::printf("%-28s %10.3f %14.0f %10.1f\n", what, seconds, static_cast<double>(files) / seconds,
                static_cast<double>(bytes) / 1e6 / seconds);
  };
  line("find the logs (folder walk)", find);
  line("read the bytes only", raw);
  line("read into rows", parsed);
  std::printf(
      "rows: %zu (%zu not read whole); reading into rows takes %.2f times reading the bytes\n",
      rows, failed, parsed / raw);
  return readBytes == bytes && failed == 0 && errors.empty() ? 0 : 1;
}
