// Reading the texts WMI hands back: object paths of partitions and logical disks, and sizes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorvane {

struct PartitionReference {
  int32_t disk = 0;
  int32_t partition = 0;
};

// From an association's Antecedent, which ends in DeviceID="Disk #D, Partition #P".
// Pieces that are missing (no "=", "," or "#") read as 0.
PartitionReference ParsePartitionReference(std::wstring_view antecedent);

// From an association's Dependent, which ends in DeviceID="L:": the two characters
// that start one position before the first ":" after the "="; "" when there is none.
std::wstring ParseDriveLetterReference(std::wstring_view dependent);

// Whole mebibytes of a byte count, truncated toward zero and saturated to 32 bits.
int32_t BytesToMB(int64_t bytes);
// The length of a byte range given as the texts of its first and last address.
int64_t AddressSpan(std::wstring_view startingAddress, std::wstring_view endingAddress);
float BytesToGB(int64_t bytes);

}  // namespace quorvane
