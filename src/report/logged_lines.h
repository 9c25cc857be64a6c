// What a simulated run logged, asked by message: the one answer to "was this line logged".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/sim/sim_platform.h"

namespace quorvane::report {

// Every line the run tried to write counts, lost ones included: the run decided to write it.
class LoggedLines {
 public:
  explicit LoggedLines(const std::vector<sim::SimPlatform::LogWrite>& writes) : writes_(writes) {}

  bool Logged(std::wstring_view message) const { return LastValue(message).has_value(); }
  // The value of the last line with this message (the key without its time stamp).
  std::optional<std::wstring> LastValue(std::wstring_view message) const;
  // A flag of the flag summary: true when its last value was "true"; empty when never logged.
  std::optional<bool> Flag(std::wstring_view message) const;
  // The disk a role line names: its last value is "true on <disk> <partition> <device>".
  std::optional<int> RoleDisk(std::wstring_view message) const;
  // Disk and partition of a role line's value; empty when the value is not one.
  static std::optional<std::pair<int, int>> RolePlace(std::wstring_view value);
  // Every line, in the order the run wrote them.
  const std::vector<sim::SimPlatform::LogWrite>& Writes() const { return writes_; }

 private:
  const std::vector<sim::SimPlatform::LogWrite>& writes_;
};

}  // namespace quorvane::report
