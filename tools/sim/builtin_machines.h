// The example machine profiles compiled into quorvane-sim (machines/*.json).
#pragma once

#include <string_view>
#include <utility>
#include <vector>

namespace quorvane::sim {

inline constexpr std::string_view kDefaultMachine = "uefi-ssd-hdd";

// File name without ".json", and the file's text; sorted by name.
const std::vector<std::pair<std::string_view, std::string_view>>& BuiltinMachineFiles();

}  // namespace quorvane::sim
