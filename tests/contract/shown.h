// Values as the contract's transcripts show them, the same on both platforms.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/commands/command_host.h"

namespace quorvane::contract {

// Bytes in quotes, control and 8-bit bytes escaped; "<none>" for nothing.
std::string Show(bool value);
std::string Show(int64_t value);
std::string Show(const std::string& bytes);
std::string Show(const std::wstring& text);
std::string Show(const std::optional<std::string>& bytes);
std::string Show(const std::optional<std::wstring>& text);
std::string Show(const std::vector<std::wstring>& texts);

// One run of a tool's stand-in on one line: program, arguments, exit code and what it printed.
std::string ToolRunText(const sim::ToolRun& run);

}  // namespace quorvane::contract
