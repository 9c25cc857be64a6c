// The short summary quorvane-sim prints after a run.
#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>
#include <ostream>

namespace quorvane::sim {

// Road and flags, roles, letters, commands, message boxes, warnings, the
// simulated duration and where the logs are; lines fit 80 columns.
void PrintHumanSummary(const nlohmann::ordered_json& summary, const std::filesystem::path& outDir,
                       std::ostream& out);

}  // namespace quorvane::sim
