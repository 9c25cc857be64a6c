// Lookups over the disk and partition tables by disk number.
#include "base/text.h"
#include "run/layout_job.h"

namespace quorvane {

std::wstring CLayoutJob::GetDiskSizeText(int32_t diskNumber) const {
  for (const auto& disk : m_Disks) {
    if (disk.Index == diskNumber) return Format(L"%d", {disk.SizeMB});
  }
  return L"0";
}

std::wstring CLayoutJob::GetDiskDeviceID(int32_t diskNumber) const {
  for (const auto& disk : m_Disks) {
    if (disk.Index == diskNumber) return disk.DeviceID;
  }
  return L"";
}

int32_t CLayoutJob::FindGptSystemPartition(int32_t diskNumber) {
  for (auto& partition : m_Partitions) {
    if (partition.DiskIndex != diskNumber) continue;
    MakeUpperAsciiInPlace(partition.Type);
    if (Contains(partition.Type, L"GPT") && Contains(partition.Type, L"SYSTEM")) {
      return partition.PartitionIndex;
    }
  }
  return -1;
}

const DiskRecord* FindDisk(const std::array<DiskRecord, kMaxDisks>& disks, int32_t diskNumber) {
  for (const auto& disk : disks) {
    if (disk.Index == diskNumber) return &disk;
  }
  return nullptr;
}

}  // namespace quorvane
