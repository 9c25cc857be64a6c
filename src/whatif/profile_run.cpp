// One run of a profile from folder checks to summary: the same for both programs.
#include "whatif/profile_run.h"

#include <stdexcept>
#include <system_error>
#include <utility>

#include "base/utf8_path.h"
#include "platform/host_files.h"
#include "platform/sim/sim_platform.h"
#include "report/build_report.h"
#include "report/layout_picture.h"
#include "report/run_invariants.h"
#include "report/summary_json.h"
#include "report/terminal_summary.h"
#include "run/layout_job.h"
#include "whatif/exit_status.h"
#include "whatif/out_folder.h"
#include "whatif/output_policy.h"

namespace quorvane::whatif {
namespace {

// "the earlier run's volumes/ and summary.json"
std::string ReplacedText(const std::vector<std::string>& parts) {
  if (parts.empty()) return "";
  std::string text = "the earlier run's " + parts.front();
  for (size_t i = 1; i < parts.size(); ++i)
    text += (i + 1 < parts.size() ? ", " : " and ") + parts[i];
  return text;
}

}  // namespace

std::string CheckRunOutputs(const RunOutputs& outputs) {
  OutputPlan plan;
  // No name yet is a new folder still to be named (a what-if's); an empty --out is refused as
  // the folder is prepared.
  if (!outputs.outDir.empty()) plan.folder = outputs.outDir;
  if (!outputs.htmlPath.empty())
    plan.files.push_back({"--html", outputs.htmlPath, "layout page", {report::IsLayoutPicture}});
  return CheckOutputs(plan, outputs.inputs);
}

int RunProfile(sim::Profile profile, const RunOutputs& outputs, const std::string& program,
               std::ostream& out, std::ostream& err) {
  try {
    std::string error = CheckRunOutputs(outputs);
    std::vector<std::string> replaced;
    if (!error.empty() || !PrepareOutFolder(outputs.outDir, error, &replaced)) {
      err << program << ": " << error << "\n";
      return kUsage;
    }
    const sim::Profile loaded = profile;
    sim::SimPlatform machine(std::move(profile));
    CLayoutJob job(machine);
    try {
      machine.WriteOutputTree(outputs.outDir);
    } catch (const std::system_error& e) {
      err << program << ": " << e.what() << "\n";
      return kInternalFailure;
    }
    const auto report = report::BuildRunReport(loaded, machine, job);
    // Each file whole or not at all; one that cannot be written says why.
    const std::pair<std::filesystem::path, std::string> files[] = {
        {outputs.outDir / "summary.json", report::SummaryJson(report)},
        {outputs.htmlPath, outputs.htmlPath.empty() ? "" : report::RenderLayoutPicture(report)}};
    for (const auto& [file, bytes] : files) {
      if (file.empty()) continue;
      if (const std::string why = host::WriteWhole(file, bytes); !why.empty()) {
        err << program << ": cannot write " << Utf8OfPath(file) << ": " << why << "\n";
        return kInternalFailure;
      }
    }
    if (!outputs.quiet)
      report::PrintTerminalSummary(report, outputs.outDir, out, outputs.colour,
                                   ReplacedText(replaced), outputs.roadLast);
    // Every run is checked against the run's invariants; a broken one is this program's fault.
    const auto broken = report::BrokenInvariants(loaded, machine, report);
    for (const auto& text : broken)
      err << program << ": internal failure: the run broke an invariant: " << text << "\n";
    return broken.empty() ? kCompleted : kInternalFailure;
  } catch (const std::exception& e) {
    err << program << ": internal failure: " << e.what() << "\n";
    return kInternalFailure;
  }
}

}  // namespace quorvane::whatif
