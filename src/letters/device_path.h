// The partition device path "\Device\Harddisk%d\Partition%d": built by the run, read back by tools.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

// Disk number, 1-based partition number in the kernel's numbering.
std::wstring PartitionDevicePath(int diskNumber, int partitionNumber);

struct DevicePathNumbers {
  int disk = 0;
  int partition = 0;
};

// The two numbers of a partition device path, letters in any case; empty when `path` is not one
// (anything before, between or after, or a number of more than nine digits).
std::optional<DevicePathNumbers> ParsePartitionDevicePath(std::wstring_view path);

}  // namespace quorvane
