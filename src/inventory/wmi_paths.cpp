// Object-path and number parsing for the WMI inventory.
#include "inventory/wmi_paths.h"

#include <algorithm>
#include <cstdint>

#include "base/text.h"

namespace quorvane {

namespace {
std::wstring_view FromFirstEquals(std::wstring_view path) {
  size_t eq = path.find(L'=');
  return eq == std::wstring_view::npos ? std::wstring_view{} : path.substr(eq);
}
}  // namespace

PartitionReference ParsePartitionReference(std::wstring_view antecedent) {
  std::wstring_view r = FromFirstEquals(antecedent);
  PartitionReference ref;

  std::wstring_view diskText = r.substr(0, r.find(L','));
  size_t hash = diskText.find(L'#');
  ref.disk = hash == std::wstring_view::npos ? 0 : ParseInt32(diskText.substr(hash + 1));

  size_t lastHash = r.rfind(L'#');
  ref.partition = lastHash == std::wstring_view::npos ? 0 : ParseInt32(r.substr(lastHash + 1));
  return ref;
}

std::wstring ParseDriveLetterReference(std::wstring_view dependent) {
  std::wstring_view r = FromFirstEquals(dependent);
  size_t colon = r.find(L':');
  if (colon == std::wstring_view::npos || colon == 0) return L"";
  return std::wstring(r.substr(colon - 1, 2));
}

int32_t BytesToMB(int64_t bytes) {
  // A size beyond 2^31 MB saturates: cut to 32 bits it could read as a small or negative
  // disk, which would pass for the cache SSD that gets wiped.
  return static_cast<int32_t>(std::clamp<int64_t>(bytes / 1048576, INT32_MIN, INT32_MAX));
}

int64_t AddressSpan(std::wstring_view startingAddress, std::wstring_view endingAddress) {
  // Wrap-around instead of overflow for addresses no disk has.
  uint64_t end = static_cast<uint64_t>(ParseInt64(endingAddress));
  uint64_t start = static_cast<uint64_t>(ParseInt64(startingAddress));
  return static_cast<int64_t>(end - start);
}

float BytesToGB(int64_t bytes) {
  return static_cast<float>(static_cast<double>(bytes) * 9.313225746154785e-10);
}

}  // namespace quorvane
