// quorvane-sim's command line, the same on Linux and Windows: its options and --help, and which
// mode runs.
#include "tools/sim/command_line.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <optional>

#include "base/utf8_path.h"
#include "platform/sim/profile_loader.h"
#include "tools/sim/batch_mode.h"
#include "tools/sim/builtin_machines.h"
#include "tools/sim/exit_status.h"
#include "tools/sim/logs_mode.h"
#include "tools/sim/table_files.h"
#include "whatif/profile_run.h"

namespace quorvane::sim {
namespace {

std::optional<Profile> BuiltinProfile(const std::string& name) {
  for (const auto& [file, text] : BuiltinMachineFiles())
    if (file == name) return LoadProfile(text, std::string(file) + ".json");
  return std::nullopt;
}

// The run's outputs from the command line's UTF-8 text; the profile file, when one is named, is
// what the run reads.
whatif::RunOutputs RunOutputsOf(const std::string& outDir, const std::string& htmlPath, bool quiet,
                                bool colour, const std::string& profilePath) {
  whatif::RunOutputs outputs{PathFromUtf8(outDir), PathFromUtf8(htmlPath), quiet, colour};
  if (!profilePath.empty()) outputs.inputs.push_back(PathFromUtf8(profilePath));
  return outputs;
}

// One machine a line, the descriptions in one column.
int ListBuiltins(std::ostream& out) {
  size_t width = 0;
  for (const auto& entry : BuiltinMachineFiles()) width = std::max(width, entry.first.size());
  for (const auto& [file, text] : BuiltinMachineFiles()) {
    Profile profile = LoadProfile(text, std::string(file) + ".json");
    out << file << std::string(width - file.size() + 2, ' ') << profile.description << "\n";
  }
  return kCompleted;
}

constexpr unsigned kMostJobs = 1024;

// One line, whatever the text: a number out of range, or no number at all.
CLI::Validator JobsInRange() {
  return CLI::Validator(
      [](std::string& text) -> std::string {
        const std::string range = "expected a whole number from 1 to " + std::to_string(kMostJobs) +
                                  ", found \"" + text + "\"";
        if (text.empty() || text.size() > 4 ||
            text.find_first_not_of("0123456789") != std::string::npos)
          return range;
        const unsigned jobs = static_cast<unsigned>(std::stoul(text));
        return jobs >= 1 && jobs <= kMostJobs ? std::string() : range;
      },
      "1.." + std::to_string(kMostJobs));
}

constexpr char kHelpFooter[] =
    "Exit status: 0 the run completed (whatever road it took); 2 a usage, profile or output\n"
    "error, reported on one line before anything is written; 3 with --logs or --batch: a log\n"
    "read as foreign, damaged or cut short, a bad profile, or (--batch with --logs) a prediction\n"
    "that differs or is incomplete; 1 an internal failure.\n"
    "The command line, the machine profiles and the output: docs/simulator.md\n"
    "(the Debian package installs it as /usr/share/doc/quorvane-sim/simulator.md).";

}  // namespace

int RunCommandLine(int argc, const char* const* argv, const Terminal& terminal, std::ostream& out,
                   std::ostream& err) {
  CLI::App app{"Runs the Quorvane layout engine against a simulated machine.", "quorvane-sim"};
  // The same options on every system: no "/out" on Windows either.
  app.allow_windows_style_options(false);
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
  auto* htmlOption = app.add_option(
      "--html", htmlPath,
      "also write a page picturing the disks before and after (with --logs: the table)");
  app.add_flag("--quiet", quiet, "print nothing");
  auto* listOption = app.add_flag("--list", list, "list the built-in examples");
  app.set_version_flag("--version", "quorvane-sim " QUORVANE_VERSION, "print the version");
  app.footer(kHelpFooter);
  profileOption->excludes(builtinOption);
  LogsOptions logs;
  auto* logsOption = app.add_option("--logs", logs.inputs,
                                    "read real run logs (files, folders) into one fleet table");
  BatchOptions batch;
  auto* batchOption = app.add_option("--batch", batch.profiles,
                                     "run every profile (files, folders of *.json) into one table");
  app.add_option("--jobs", batch.jobs, "with --batch: runs at a time (default: one a core)")
      ->check(JobsInRange())
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
    if (e.get_exit_code() == 0) return app.exit(e, out, err);  // --help, --version
    err << "quorvane-sim: " << e.what() << " (quorvane-sim --help shows the options)\n";
    return kUsage;
  }
  const bool page = htmlOption->count() > 0;
  if (page && htmlPath.empty()) {  // refused, not taken for "no page"
    err << "quorvane-sim: --html: expects a file name, found an empty one\n";
    return kUsage;
  }

  try {
    logs.tables.htmlPath = htmlPath;
    logs.quiet = quiet;
    logs.colour = terminal.colour;
    // Every output is checked against the inputs before any input is read: a refused output
    // costs nothing and changes nothing.
    std::string refused;
    if (!batch.profiles.empty() || !logs.inputs.empty()) {
      std::vector<std::string> inputs = batch.profiles;
      inputs.insert(inputs.end(), logs.inputs.begin(), logs.inputs.end());
      refused = CheckTableFiles(logs.tables, inputs);
    } else if (!list) {
      refused = whatif::CheckRunOutputs(RunOutputsOf(outDir, htmlPath, quiet, false, profilePath));
    }
    if (!refused.empty()) {
      err << "quorvane-sim: " << refused << "\n";
      return kUsage;
    }
    if (!batch.profiles.empty()) {
      batch.logs = logs.inputs;
      batch.tables = logs.tables;
      batch.quiet = quiet;
      batch.colour = logs.colour;
      batch.progress = terminal.progress;
      return RunBatchMode(batch, out, err);
    }
    if (!logs.inputs.empty()) return RunLogsMode(logs, out, err);
    if (list) return ListBuiltins(out);
    Profile profile;
    if (!profilePath.empty()) {
      profile = LoadProfileFile(profilePath);
    } else {
      std::string name = builtin.empty() ? std::string(kDefaultMachine) : builtin;
      auto found = BuiltinProfile(name);
      if (!found) {
        err << "quorvane-sim: no built-in profile named \"" << name
            << "\" (quorvane-sim --list shows them)\n";
        return kUsage;
      }
      profile = *found;
    }
    return whatif::RunProfile(std::move(profile),
                              RunOutputsOf(outDir, htmlPath, quiet, terminal.colour, profilePath),
                              "quorvane-sim", out, err);
  } catch (const ProfileError& e) {
    err << e.what() << "\n";
    return kUsage;
  } catch (const std::exception& e) {
    err << "quorvane-sim: internal failure: " << e.what() << "\n";
    return kInternalFailure;
  }
}

}  // namespace quorvane::sim
