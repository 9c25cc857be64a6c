// The raw SMBIOS structure table of a simulated machine: built from capabilities or read from hex.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvane::sim {

struct SmbiosCapabilityRecord {
  uint8_t revisionMajor = 0;
  uint8_t revisionMinor = 0;
  uint16_t handle = 4660;
  std::vector<std::pair<uint8_t, uint16_t>> entries;  // identifier, parameter
};

// A BIOS (type 0) and a system (type 1) structure with their strings, the
// capability structure (type 172) and the end-of-table structure (type 127).
std::vector<uint8_t> BuildSmbiosTable(const SmbiosCapabilityRecord& record);

// Hex digits in pairs, blanks ignored. On failure, `error` says what was found.
std::optional<std::vector<uint8_t>> ParseHexBytes(std::string_view text, std::string& error);

}  // namespace quorvane::sim
