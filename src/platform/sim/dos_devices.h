// The simulated DOS device table: a stack of definitions per device name, the newest in force.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quorvane::sim {

class DosDeviceTable {
 public:
  // DefineDosDevice: pushes a definition, or with kDddRemoveDefinition removes
  // one (with kDddExactMatchOnRemove, the newest whose target equals `target`
  // exactly; otherwise the newest that starts with it, any when it is empty).
  bool Define(uint32_t flags, const std::wstring& name, const std::wstring& target);
  // The definition in force; empty when the name is not defined.
  std::optional<std::wstring> InForce(const std::wstring& name) const;
  // Every definition of a name, the one in force first.
  std::vector<std::wstring> Definitions(const std::wstring& name) const;
  // Counts the changes made so far: what was looked up stays true while it is unchanged.
  uint64_t Changes() const { return changes_; }
  // Defined drive letters "A:".."Z:" in ascending order.
  std::vector<std::wstring> Letters() const;
  uint32_t DriveMask() const;

 private:
  static std::wstring Key(const std::wstring& name);
  std::map<std::wstring, std::vector<std::wstring>> stacks_;  // oldest first
  uint64_t changes_ = 0;
};

}  // namespace quorvane::sim
