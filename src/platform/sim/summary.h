// summary.json of a simulated run: road, flags, roles, letters, commands and what would surprise
// a technician.
#pragma once

#include <nlohmann/json.hpp>

#include "platform/sim/sim_platform.h"
#include "run/layout_job.h"

namespace quorvane::sim {

// Built from the machine's records and the run context's slots after the run.
nlohmann::ordered_json BuildSummary(const SimPlatform& machine, const CLayoutJob& job);

// Writes DIR/summary.json (UTF-8, two-space indent).
void WriteSummary(const nlohmann::ordered_json& summary, const std::filesystem::path& outDir);

}  // namespace quorvane::sim
