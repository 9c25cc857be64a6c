// Running a machine profile against the simulated machine and writing what the run left: the
// output folder's volumes and summary.json, the page when asked, the summary for a person.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

#include "platform/sim/profile.h"

namespace quorvane::whatif {

struct RunOutputs {
  std::filesystem::path outDir;    // the output folder (out_folder.h)
  std::filesystem::path htmlPath;  // the layout picture; empty: none
  bool quiet = false;              // no summary
  bool colour = false;             // the summary with ANSI colours
};

// Checks the page and prepares the folder before anything runs, so a refused run writes
// nothing; then runs the engine on the simulated machine alone, writes the outputs and prints the
// summary on `out`, and checks the finished run against the run's invariants (a broken one is
// an internal failure, named on `err` after the outputs are written). Returns an exit status
// (exit_status.h); a refusal or failure is one line on `err`, starting with `program`.
int RunProfile(sim::Profile profile, const RunOutputs& outputs, const std::string& program,
               std::ostream& out, std::ostream& err);

}  // namespace quorvane::whatif
