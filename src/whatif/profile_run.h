// Running a machine profile against the simulated machine and writing what the run left: the
// output folder's volumes and summary.json, the page when asked, the summary for a person.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "platform/sim/profile.h"

namespace quorvane::whatif {

struct RunOutputs {
  std::filesystem::path outDir;    // the output folder (out_folder.h)
  std::filesystem::path htmlPath;  // the layout picture; empty: none
  bool quiet = false;              // no summary
  bool colour = false;             // the summary with ANSI colours
  // What the run reads (the profile file; the files a what-if read on the machine): never
  // written, never inside what the run replaces.
  std::vector<std::filesystem::path> inputs = {};
  bool roadLast = false;  // the summary ends with the road (the what-if on a console)
};

// The outputs checked against the output policy (output_policy.h): empty, or the one line that
// refuses them.
std::string CheckRunOutputs(const RunOutputs& outputs);

// Checks the outputs and prepares the folder before anything runs, so a refused run writes
// nothing; then runs the engine on the simulated machine alone, writes the outputs and prints the
// summary on `out` (with a line saying what it replaced of an earlier run in the folder), and
// checks the finished run against the run's invariants (a broken one is an internal failure,
// named on `err` after the outputs are written). Returns an exit status (exit_status.h); a
// refusal or failure is one line on `err`, starting with `program`: an output that cannot be
// written names the system's reason.
int RunProfile(sim::Profile profile, const RunOutputs& outputs, const std::string& program,
               std::ostream& out, std::ostream& err);

}  // namespace quorvane::whatif
