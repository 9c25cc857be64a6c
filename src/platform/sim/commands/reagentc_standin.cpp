// ReagentC on the simulated machine: registers a recovery image when both folders exist.
#include "base/text.h"
#include "platform/sim/commands/tool_standins.h"

namespace quorvane::sim::standin {

namespace {
constexpr uint32_t kFailed = 2;

// The word after a switch such as "/path"; empty when the switch is missing.
std::wstring ValueOf(const std::vector<std::wstring>& args, std::wstring_view name) {
  for (size_t i = 0; i + 1 < args.size(); ++i) {
    if (EqualsIgnoreCaseAscii(args[i], name)) return args[i + 1];
  }
  return {};
}
}  // namespace

ToolResult RunReagentC(CommandHost& host, const std::vector<std::wstring>& args) {
  if (args.empty() || !EqualsIgnoreCaseAscii(args.front(), L"/setosimage")) {
    return {kFailed, "ReagentC: the operation is not supported here.\n"};
  }
  std::wstring image = ValueOf(args, L"/path");
  std::wstring target = ValueOf(args, L"/target");
  // The folders are looked up through the letters in force now, as the real agent does.
  if (image.empty() || target.empty() || !host.IsFolder(image) || !host.IsFolder(target)) {
    return {kFailed, "ReagentC: the system cannot find the path specified.\n"};
  }
  return {0, "ReagentC: operation successful.\n"};
}

}  // namespace quorvane::sim::standin
