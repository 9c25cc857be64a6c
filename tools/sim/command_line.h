// quorvane-sim's command line, shared by its Linux and Windows entry points.
#pragma once

#include <ostream>

#include "tools/sim/terminal.h"

namespace quorvane::sim {

// Parses the arguments (UTF-8), runs what they ask for, prints on `out` and `err` and returns the
// exit status (exit_status.h).
int RunCommandLine(int argc, const char* const* argv, const Terminal& terminal, std::ostream& out,
                   std::ostream& err);

}  // namespace quorvane::sim
