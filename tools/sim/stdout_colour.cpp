// Colour on standard output: a terminal, and NO_COLOR not set.
#include "tools/sim/stdout_colour.h"

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

namespace quorvane::sim {

bool StdoutWantsColour() { return isatty(fileno(stdout)) && getenv("NO_COLOR") == nullptr; }

}  // namespace quorvane::sim
