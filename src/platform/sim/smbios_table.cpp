// Builds the simulated SMBIOS structure table and reads tables given as hex.
#include "platform/sim/smbios_table.h"

#include <cctype>

namespace quorvane::sim {
namespace {

void AppendWord(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value & 0xFF));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

// A string set: each string zero-terminated, the set ended by one more zero;
// a structure without strings ends in two zeros.
void AppendStrings(std::vector<uint8_t>& out, const std::vector<std::string>& strings) {
  for (const auto& s : strings) {
    out.insert(out.end(), s.begin(), s.end());
    out.push_back(0);
  }
  if (strings.empty()) out.push_back(0);
  out.push_back(0);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::vector<uint8_t> BuildSmbiosTable(const SmbiosCapabilityRecord& record) {
  std::vector<uint8_t> out;
  // Type 0, BIOS information (the 2.0 layout, 18 bytes).
  out.insert(out.end(), {0, 0x12});
  AppendWord(out, 0x0000);
  out.insert(out.end(), {1, 2});                             // vendor, version
  AppendWord(out, 0xE800);                                   // starting address segment
  out.insert(out.end(), {3, 0});                             // release date, ROM size
  out.insert(out.end(), {0x80, 0x98, 0x0B, 0, 0, 0, 0, 0});  // characteristics
  AppendStrings(out, {"Sim Firmware", "1.00", "01/01/2026"});
  // Type 1, system information (the 2.0 layout, 8 bytes).
  out.insert(out.end(), {1, 0x08});
  AppendWord(out, 0x0001);
  out.insert(out.end(), {1, 2, 3, 4});
  AppendStrings(out, {"Sim Maker", "Sim Notebook", "1.0", "SIM-0001"});
  // Type 172, the maker's capability record.
  out.push_back(172);
  out.push_back(static_cast<uint8_t>(6 + 3 * record.entries.size()));
  AppendWord(out, record.handle);
  out.push_back(record.revisionMajor);
  out.push_back(record.revisionMinor);
  for (const auto& [id, parameter] : record.entries) {
    out.push_back(id);
    AppendWord(out, parameter);
  }
  AppendStrings(out, {});
  // Type 127, end of table.
  out.insert(out.end(), {127, 4});
  AppendWord(out, 0xFEFF);
  AppendStrings(out, {});
  return out;
}

std::optional<std::vector<uint8_t>> ParseHexBytes(std::string_view text, std::string& error) {
  std::vector<uint8_t> out;
  int high = -1;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (std::isspace(static_cast<unsigned char>(c))) continue;
    int digit = HexDigit(c);
    if (digit < 0) {
      error = "\"" + std::string(1, c) + "\" at character " + std::to_string(i + 1);
      return std::nullopt;
    }
    if (high < 0) {
      high = digit;
    } else {
      out.push_back(static_cast<uint8_t>(high * 16 + digit));
      high = -1;
    }
  }
  if (high >= 0) {
    error = "an odd number of hex digits";
    return std::nullopt;
  }
  return out;
}

}  // namespace quorvane::sim
