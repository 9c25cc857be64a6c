// DOS device definitions: push, exact or prefix removal, the definition in force, drive letters.
#include "platform/sim/dos_devices.h"

#include "base/text.h"
#include "platform/platform.h"

namespace quorvane::sim {

std::wstring DosDeviceTable::Key(const std::wstring& name) { return ToUpperAscii(name); }

bool DosDeviceTable::Define(uint32_t flags, const std::wstring& name, const std::wstring& target) {
  if (name.empty()) return false;
  std::wstring key = Key(name);
  // Without the raw flag the target is a DOS path, kept as the system keeps it.
  std::wstring stored =
      (flags & win::kDddRawTargetPath) || target.empty() ? target : L"\\??\\" + target;
  if (!(flags & win::kDddRemoveDefinition)) {
    if (target.empty()) return false;
    stacks_[key].push_back(stored);
    ++changes_;
    return true;
  }
  auto it = stacks_.find(key);
  if (it == stacks_.end()) return false;
  auto& stack = it->second;
  for (size_t i = stack.size(); i-- > 0;) {
    bool match = (flags & win::kDddExactMatchOnRemove)
                     ? stack[i] == stored
                     : stored.empty() || stack[i].compare(0, stored.size(), stored) == 0;
    if (match) {
      stack.erase(stack.begin() + static_cast<std::ptrdiff_t>(i));
      if (stack.empty()) stacks_.erase(it);
      ++changes_;
      return true;
    }
  }
  return false;
}

std::optional<std::wstring> DosDeviceTable::InForce(const std::wstring& name) const {
  auto it = stacks_.find(Key(name));
  if (it == stacks_.end()) return std::nullopt;
  return it->second.back();
}

std::vector<std::wstring> DosDeviceTable::Definitions(const std::wstring& name) const {
  auto it = stacks_.find(Key(name));
  if (it == stacks_.end()) return {};
  return std::vector<std::wstring>(it->second.rbegin(), it->second.rend());
}

std::vector<std::wstring> DosDeviceTable::Letters() const {
  std::vector<std::wstring> out;
  for (const auto& [name, stack] : stacks_)
    if (IsDriveLetter(name)) out.push_back(name);  // the map keeps them ascending
  return out;
}

uint32_t DosDeviceTable::DriveMask() const {
  uint32_t mask = 0;
  for (const auto& letter : Letters()) mask |= 1u << (letter[0] - L'A');
  return mask;
}

}  // namespace quorvane::sim
