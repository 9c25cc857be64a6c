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
  auto value = LastValue(message);
  if (!value) return std::nullopt;
  auto place = RolePlace(*value);
  if (!place) return std::nullopt;
  return place->first;
}

std::optional<std::pair<int, int>> LoggedLines::RolePlace(std::wstring_view value) {
  constexpr std::wstring_view kFound = L"true on ";
  if (!StartsWith(value, kFound)) return std::nullopt;
  const std::wstring_view numbers = value.substr(kFound.size());
  const size_t blank = numbers.find(L' ');
  const int partition =
      blank == std::wstring_view::npos ? 0 : ParseInt32(numbers.substr(blank + 1));
  return std::make_pair(ParseInt32(numbers), partition);
}

}  // namespace quorvane::report
