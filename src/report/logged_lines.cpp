// Looking up the lines of a simulated run by message.
#include "report/logged_lines.h"

#include "base/text.h"
#include "run/run_log.h"

namespace quorvane::report {

std::optional<std::wstring> LoggedLines::LastValue(std::wstring_view message) const {
  std::optional<std::wstring> value;
  for (const auto& write : writes_)
    if (LogMessage(write.key) == message) value = write.value;
  return value;
}

std::optional<bool> LoggedLines::Flag(std::wstring_view message) const {
  auto value = LastValue(message);
  if (!value) return std::nullopt;
  return *value == L"true";
}

std::optional<int> LoggedLines::RoleDisk(std::wstring_view message) const {
  constexpr std::wstring_view kFound = L"true on ";
  auto value = LastValue(message);
  if (!value || !StartsWith(*value, kFound)) return std::nullopt;
  return ParseInt32(std::wstring_view(*value).substr(kFound.size()));
}

}  // namespace quorvane::report
