// The short summary quorvane-sim prints after a run.
#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <ostream>

#include "platform/sim/sim_platform.h"

namespace quorvane::sim {

// The machine, the road and why, the roles and letters with the labels of their
// volumes, the commands, message boxes, warnings, the simulated duration and
// where the logs and scripts are. Lines fit 80 columns; `colour` adds ANSI
// colours.
void PrintHumanSummary(const SimPlatform& machine, const nlohmann::ordered_json& summary,
                       const std::filesystem::path& outDir, std::ostream& out, bool colour);

// Colour only for a terminal, and never when NO_COLOR is set.
bool StdoutWantsColour();

}  // namespace quorvane::sim
