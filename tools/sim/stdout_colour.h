// Whether the summary on standard output may use colour.
#pragma once

namespace quorvane::sim {

// Colour only for a terminal, and never when NO_COLOR is set.
bool StdoutWantsColour();

}  // namespace quorvane::sim
