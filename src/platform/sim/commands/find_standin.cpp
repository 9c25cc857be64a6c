// find on the simulated machine: keeps the input lines that contain a text.
#include <algorithm>

#include "base/text.h"
#include "platform/sim/commands/command_words.h"
#include "platform/sim/commands/tool_standins.h"

namespace quorvane::sim::standin {

namespace {
constexpr uint32_t kFound = 0;
constexpr uint32_t kNothingFound = 1;
constexpr uint32_t kBadArguments = 2;

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// An empty text matches no line, as with the real tool's find /V "" idiom.
bool ContainsText(std::string_view line, std::string_view text, bool ignoreCase) {
  if (text.empty()) return false;
  if (!ignoreCase) return line.find(text) != std::string_view::npos;
  auto equal = [](char a, char b) { return LowerAscii(a) == LowerAscii(b); };
  return std::search(line.begin(), line.end(), text.begin(), text.end(), equal) != line.end();
}
}  // namespace

ToolResult RunFind(const std::vector<std::wstring>& args, std::string_view input) {
  bool ignoreCase = false;
  bool invert = false;
  std::optional<std::wstring> text;
  for (const auto& arg : args) {
    if (EqualsIgnoreCaseAscii(arg, L"/I")) {
      ignoreCase = true;
    } else if (EqualsIgnoreCaseAscii(arg, L"/V")) {
      invert = true;
    } else if (StartsWith(arg, L"/")) {
      return {kBadArguments, "FIND: Invalid switch\n"};
    } else if (!text) {
      text = arg;
    } else {
      // Further words would name files to search; only piped input is simulated.
      return {kBadArguments, "FIND: Parameter format not correct\n"};
    }
  }
  if (!text) return {kBadArguments, "FIND: Parameter format not correct\n"};

  std::string wanted = Narrow8(*text);
  ToolResult result{kNothingFound, {}};
  for (const auto& line : SplitLines(input)) {
    if (ContainsText(line, wanted, ignoreCase) == invert) continue;
    result.output += line + "\r\n";
    result.exitCode = kFound;
  }
  return result;
}

}  // namespace quorvane::sim::standin
