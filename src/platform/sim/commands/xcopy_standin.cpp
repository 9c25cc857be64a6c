// XCOPY on the simulated machine: copies one file into a folder, making the folder if needed.
#include "base/text.h"
#include "platform/sim/commands/command_words.h"
#include "platform/sim/commands/tool_standins.h"

namespace quorvane::sim::standin {

namespace {
// XCOPY's own codes: 4 for a missing source or a bad target, 5 for a failed write.
constexpr uint32_t kXcopyInitError = 4;
constexpr uint32_t kXcopyWriteError = 5;
}  // namespace

ToolResult RunXcopy(CommandHost& host, const std::vector<std::wstring>& args) {
  std::vector<std::wstring> paths;
  for (const auto& arg : args) {
    if (!StartsWith(arg, L"/")) paths.push_back(arg);  // /c /f /i /y /h change nothing here
  }
  if (paths.size() != 2 || paths[1].empty())
    return {kXcopyInitError, "Invalid number of parameters\n"};

  const std::wstring& source = paths[0];
  std::wstring folder = paths[1];
  while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  size_t cut = source.find_last_of(L"\\/:");
  std::wstring name = cut == std::wstring::npos ? source : source.substr(cut + 1);

  std::optional<std::string> bytes;
  if (!name.empty() && host.IsFile(source)) bytes = host.ReadFile(source);
  if (!bytes) {
    return {kXcopyInitError, "File not found - " + Narrow8(name) + "\n0 File(s) copied\n"};
  }
  if (MakeFolderPath(host, folder) == CommandHost::MakeFolderResult::Failed) {
    return {kXcopyInitError,
            "Unable to create directory - " + Narrow8(folder) + "\n0 File(s) copied\n"};
  }
  std::wstring target = folder;
  if (target.back() != L'\\' && target.back() != L':') target += L'\\';
  target += name;
  if (!host.WriteFile(target, *bytes, false)) {
    return {kXcopyWriteError, "File creation error - " + Narrow8(target) + "\n0 File(s) copied\n"};
  }
  // /f lists each copy with its full source and target names.
  return {0, Narrow8(source) + " -> " + Narrow8(target) + "\n1 File(s) copied\n"};
}

}  // namespace quorvane::sim::standin
