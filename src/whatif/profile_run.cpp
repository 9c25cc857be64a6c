// One run of a profile from folder checks to summary: the same for both programs.
#include "whatif/profile_run.h"

#include <fstream>
#include <stdexcept>

#include "base/utf8_path.h"
#include "platform/sim/sim_platform.h"
#include "report/build_report.h"
#include "report/layout_picture.h"
#include "report/run_invariants.h"
#include "report/summary_json.h"
#include "report/terminal_summary.h"
#include "run/layout_job.h"
#include "whatif/exit_status.h"
#include "whatif/out_folder.h"

namespace quorvane::whatif {
namespace {

void WriteFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
  out.close();
  if (!out) throw std::runtime_error("cannot write " + Utf8OfPath(file));
}

}  // namespace

int RunProfile(sim::Profile profile, const RunOutputs& outputs, const std::string& program,
               std::ostream& out, std::ostream& err) {
  try {
    std::string error;
    if ((!outputs.htmlPath.empty() && !CheckPageFile(outputs.htmlPath, outputs.outDir, error)) ||
        !PrepareOutFolder(outputs.outDir, error)) {
      err << program << ": " << error << "\n";
      return kUsage;
    }
    const sim::Profile loaded = profile;
    sim::SimPlatform machine(std::move(profile));
    CLayoutJob job(machine);
    machine.WriteOutputTree(outputs.outDir);
    const auto report = report::BuildRunReport(loaded, machine, job);
    WriteFile(outputs.outDir / "summary.json", report::SummaryJson(report));
    if (!outputs.htmlPath.empty()) WriteFile(outputs.htmlPath, report::RenderLayoutPicture(report));
    if (!outputs.quiet) report::PrintTerminalSummary(report, outputs.outDir, out, outputs.colour);
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
