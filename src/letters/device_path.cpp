// Building and reading partition device paths.
#include "letters/device_path.h"

#include "base/text.h"

namespace quorvane {

namespace {
constexpr wchar_t kPartitionPathFormat[] = L"\\Device\\Harddisk%d\\Partition%d";
constexpr std::wstring_view kDiskPart = L"\\DEVICE\\HARDDISK";
constexpr std::wstring_view kPartitionPart = L"\\PARTITION";
constexpr size_t kMaxDigits = 9;

// The decimal number at `pos`, advancing past it; empty when there is none or it is too long.
std::optional<int> Number(std::wstring_view text, size_t& pos) {
  const size_t start = pos;
  int value = 0;
  while (pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9') {
    if (pos - start == kMaxDigits) return std::nullopt;
    value = value * 10 + (text[pos++] - L'0');
  }
  if (pos == start) return std::nullopt;
  return value;
}
}  // namespace

std::wstring PartitionDevicePath(int diskNumber, int partitionNumber) {
  return Format(kPartitionPathFormat, {diskNumber, partitionNumber});
}

std::optional<DevicePathNumbers> ParsePartitionDevicePath(std::wstring_view path) {
  const std::wstring upper = ToUpperAscii(path);
  if (!StartsWith(upper, kDiskPart)) return std::nullopt;
  size_t pos = kDiskPart.size();
  const auto disk = Number(upper, pos);
  if (!disk || std::wstring_view(upper).substr(pos, kPartitionPart.size()) != kPartitionPart)
    return std::nullopt;
  pos += kPartitionPart.size();
  const auto partition = Number(upper, pos);
  if (!partition || pos != upper.size()) return std::nullopt;
  return DevicePathNumbers{*disk, *partition};
}

}  // namespace quorvane
