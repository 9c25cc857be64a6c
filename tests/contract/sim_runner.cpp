// The platform's contract on the simulated machine: every case, or only those Wine runs too.
// Usage: contract_sim [--both] [--no-read-only] [--list | --after DIR]
//        contract_sim --tree DIR   (the machine's drives as folders, each with .windows-label)
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "base/text.h"
#include "platform/sim/profile_loader.h"
#include "platform/sim/sim_platform.h"
#include "tests/contract/contract.h"

namespace {

namespace fs = std::filesystem;
using quorvane::sim::SimPlatform;

std::unique_ptr<SimPlatform> Machine() {
  const std::string file = QUORVANE_SOURCE_DIR "/tests/contract/machine.json";
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  auto machine = std::make_unique<SimPlatform>(quorvane::sim::LoadProfile(text.str(), file));
  machine->SetWorkingFolder(L"X:\\contract");
  return machine;
}

// The drives as Wine reads them: a folder each, its label in the file Wine takes it from.
void WriteTree(const SimPlatform& machine, const fs::path& dir) {
  machine.WriteOutputTree(dir);
  for (const auto& drive : machine.profile().drives) {
    const fs::path folder = dir / "volumes" / quorvane::ToUtf8(drive.letter.substr(0, 1));
    fs::create_directories(folder);
    std::ofstream(folder / ".windows-label", std::ios::binary)
        << quorvane::ToUtf8(drive.label.value_or(L"")) << "\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  quorvane::contract::RunOptions options;
  std::string after;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--tree" && i + 1 < argc) {
      WriteTree(*Machine(), argv[i + 1]);
      return 0;
    }
    if (arg == "--after" && i + 1 < argc) {
      after = argv[++i];
    } else if (arg == "--list") {
      options.list = true;
    } else if (arg == "--both") {
      options.bothOnly = true;
    } else if (arg == "--no-read-only") {
      options.readOnlyDrive = false;
    } else {
      std::fprintf(stderr,
                   "usage: contract_sim [--both] [--no-read-only] [--list | --after DIR]\n"
                   "       contract_sim --tree DIR\n");
      return 2;
    }
  }
  const auto owned = Machine();
  SimPlatform& machine = *owned;
  size_t reported = 0;
  auto toolRuns = [&machine, &reported] {
    std::vector<std::string> runs;
    for (; reported < machine.ToolRuns().size(); ++reported)
      runs.push_back(quorvane::contract::ToolRunText(machine.ToolRuns()[reported]));
    return runs;
  };
  const int failed = quorvane::contract::RunCases(machine, toolRuns, options, stdout);
  if (!after.empty()) machine.WriteOutputTree(after);
  return failed == 0 ? 0 : 1;
}
