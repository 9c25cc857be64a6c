// The what-if of a real machine: capture in memory, then the same run of a profile as quorvane-sim.
#include "whatif/what_if.h"

#include <cstdio>
#include <stdexcept>

#include "base/utf8_path.h"
#include "capture/capture_files.h"
#include "capture/collect_facts.h"
#include "capture/facts_to_profile.h"
#include "whatif/exit_status.h"
#include "whatif/output_policy.h"
#include "whatif/profile_run.h"

namespace quorvane::whatif {
namespace {

namespace fs = std::filesystem;

constexpr char kProgram[] = "quorvane";
constexpr char kUnnamedProfile[] = "what-if";
// Enough for every run of a second on one machine; past it something else is wrong.
constexpr int kMaxSameNames = 1000;

// The last name of the folder, as a profile's name (UTF-8).
std::string FolderName(const fs::path& folder) {
  fs::path path = folder.lexically_normal();
  if (!path.has_filename()) path = path.parent_path();
  const std::u8string name = path.filename().u8string();
  if (name.empty() || name == u8"." || name == u8"..") return kUnnamedProfile;
  return std::string(name.begin(), name.end());
}

}  // namespace

std::string CheckCaptureFile(const fs::path& file, const std::vector<std::wstring>& read) {
  OutputPlan plan;
  plan.files.push_back({"--capture", file, "captured profile", {capture::IsCapturedProfile}});
  return CheckOutputs(plan, {read.begin(), read.end()});
}

fs::path NewOutFolder(const fs::path& temp, const LocalTime& start) {
  char stem[64];
  std::snprintf(stem, sizeof stem, "quorvane-what-if-%04d%02d%02d-%02d%02d%02d", start.year,
                start.month, start.day, start.hour, start.minute, start.second);
  for (int n = 1; n <= kMaxSameNames; ++n) {
    const fs::path folder = temp / (n == 1 ? std::string(stem) : stem + ("-" + std::to_string(n)));
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(folder, ec))) return folder;
  }
  throw std::runtime_error("every name of " + std::string(stem) + " under " + Utf8OfPath(temp) +
                           " is taken");
}

int RunWhatIf(Platform& platform, capture::CaptureSystem& system, const WhatIfOptions& options,
              std::ostream& out, std::ostream& err) {
  try {
    // The outputs are checked before the machine is read, and again against the files the
    // capture read before anything is written.
    if (const std::string refused = CheckRunOutputs({options.outDir, options.htmlPath});
        !refused.empty()) {
      err << kProgram << ": " << refused << "\n";
      return kUsage;
    }
    const capture::MachineFacts facts = capture::CollectFacts(platform, system);
    fs::path outDir = options.outDir;
    if (outDir.empty()) {
      if (options.tempFolder.empty()) {
        err << kProgram << ": no folder for temporary files (TEMP); name one with --out\n";
        return kUsage;
      }
      outDir = NewOutFolder(options.tempFolder, facts.start);
    }
    sim::Profile profile = capture::ProfileFromFacts(facts, FolderName(outDir));
    const std::vector<std::wstring> read = capture::FilesRead(facts);
    RunOutputs outputs{outDir, options.htmlPath, false, options.colour, {read.begin(), read.end()}};
    // A console keeps the last lines in sight: the road and why.
    outputs.roadLast = true;
    return RunProfile(std::move(profile), outputs, kProgram, out, err);
  } catch (const std::exception& e) {
    err << kProgram << ": internal failure: " << e.what() << "\n";
    return kInternalFailure;
  }
}

}  // namespace quorvane::whatif
