// quorvane-sim: runs the layout engine against a simulated machine described in JSON.
#include <CLI/CLI.hpp>
#include <fstream>
#include <iostream>
#include <optional>

#include "platform/sim/profile_loader.h"
#include "platform/sim/sim_platform.h"
#include "report/build_report.h"
#include "report/layout_picture.h"
#include "report/summary_json.h"
#include "report/terminal_summary.h"
#include "run/layout_job.h"
#include "tools/sim/batch_mode.h"
#include "tools/sim/builtin_machines.h"
#include "tools/sim/exit_status.h"
#include "tools/sim/logs_mode.h"
#include "tools/sim/out_folder.h"
#include "tools/sim/stdout_colour.h"

namespace {

using namespace quorvane::sim;

std::optional<Profile> BuiltinProfile(const std::string& name) {
  for (const auto& [file, text] : BuiltinMachineFiles())
    if (file == name) return LoadProfile(text, std::string(file) + ".json");
  return std::nullopt;
}

void WriteFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
  out.close();
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

int ListBuiltins() {
  for (const auto& [file, text] : BuiltinMachineFiles()) {
    Profile profile = LoadProfile(text, std::string(file) + ".json");
    std::cout << file << "  " << profile.description << "\n";
  }
  return kCompleted;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Runs the Quorvane layout engine against a simulated machine.", "quorvane-sim"};
  std::string profilePath;
  std::string builtin;
  std::string outDir = "quorvane-out";
  std::string htmlPath;
  bool quiet = false;
  bool list = false;
  auto* profileOption = app.add_option("PROFILE", profilePath, "machine profile (JSON)");
  auto* builtinOption = app.add_option("--profile", builtin, "run a built-in example by name");
  auto* outOption = app.add_option("--out", outDir, "folder for the volumes and summary.json")
                        ->capture_default_str();
  app.add_option("--html", htmlPath,
                 "also write a page picturing the disks before and after (with --logs: the table)");
  app.add_flag("--quiet", quiet, "print nothing");
  auto* listOption = app.add_flag("--list", list, "list the built-in examples");
  profileOption->excludes(builtinOption);
  LogsOptions logs;
  auto* logsOption = app.add_option("--logs", logs.inputs,
                                    "read real run logs (files, folders) into one fleet table");
  BatchOptions batch;
  auto* batchOption = app.add_option("--batch", batch.profiles,
                                     "run every profile (files, folders of *.json) into one table");
  app.add_option("--jobs", batch.jobs, "with --batch: runs at a time (default: one a core)")
      ->check(CLI::PositiveNumber)
      ->needs(batchOption);
  app.add_option("--csv", logs.tables.csvPath, "with --logs or --batch: write the table as CSV");
  app.add_option("--json", logs.tables.jsonPath, "with --logs or --batch: write the table as JSON");
  for (auto* fleetOption : {logsOption, batchOption}) {
    fleetOption->excludes(profileOption)
        ->excludes(builtinOption)
        ->excludes(outOption)
        ->excludes(listOption);
  }
  try {
    app.parse(argc, argv);
    if (logs.inputs.empty() && batch.profiles.empty() &&
        !(logs.tables.csvPath.empty() && logs.tables.jsonPath.empty())) {
      throw CLI::ValidationError("--csv, --json", "go with --logs or --batch");
    }
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? kCompleted : kUsage;
  }

  try {
    logs.tables.htmlPath = htmlPath;
    logs.quiet = quiet;
    if (!batch.profiles.empty()) {
      batch.logs = logs.inputs;
      batch.tables = logs.tables;
      batch.quiet = quiet;
      batch.progress = StderrIsTerminal();
      return RunBatchMode(batch, std::cout, std::cerr);
    }
    if (!logs.inputs.empty()) return RunLogsMode(logs, std::cout, std::cerr);
    if (list) return ListBuiltins();
    Profile profile;
    if (!profilePath.empty()) {
      profile = LoadProfileFile(profilePath);
    } else {
      std::string name = builtin.empty() ? std::string(kDefaultMachine) : builtin;
      auto found = BuiltinProfile(name);
      if (!found) {
        std::cerr << "quorvane-sim: no built-in profile named \"" << name
                  << "\" (quorvane-sim --list shows them)\n";
        return kUsage;
      }
      profile = *found;
    }
    // The page is checked before the folder is touched: a refused run changes nothing.
    std::string error;
    if ((!htmlPath.empty() && !CheckPageFile(htmlPath, outDir, error)) ||
        !PrepareOutFolder(outDir, error)) {
      std::cerr << "quorvane-sim: " << error << "\n";
      return kUsage;
    }
    const Profile loaded = profile;
    SimPlatform machine(std::move(profile));
    quorvane::CLayoutJob job(machine);
    machine.WriteOutputTree(outDir);
    const auto report = quorvane::report::BuildRunReport(loaded, machine, job);
    WriteFile(std::filesystem::path(outDir) / "summary.json",
              quorvane::report::SummaryJson(report));
    if (!htmlPath.empty()) WriteFile(htmlPath, quorvane::report::RenderLayoutPicture(report));
    if (!quiet)
      quorvane::report::PrintTerminalSummary(report, outDir, std::cout, StdoutWantsColour());
    return kCompleted;
  } catch (const ProfileError& e) {
    std::cerr << e.what() << "\n";
    return kUsage;
  } catch (const std::exception& e) {
    std::cerr << "quorvane-sim: internal failure: " << e.what() << "\n";
    return kInternalFailure;
  }
}
