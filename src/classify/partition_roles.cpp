// The refresh of the tables and the roles of the partitions, by label and type.
#include "classify/partition_roles.h"

#include "base/text.h"
#include "classify/disk_sizes.h"
#include "classify/role_labels.h"
#include "inventory/disk_inventory.h"
#include "run/layout_job.h"

namespace quorvane {

namespace {

// Every slot but the recovery-tools one starts afresh with each inventory attempt.
void ResetSlotsAndTables(CLayoutJob& job) {
  job.m_PBRInfo = RoleSlot::Reset();
  job.m_SYSInfo = RoleSlot::Reset();
  job.m_SSDInfo = RoleSlot::Reset();
  job.m_HDDInfo = RoleSlot::Reset();
  job.m_OSInfo = RoleSlot::Reset();
  job.ClearTables();
}

// "true on <disk> <partition> <device>", the value of every role line.
std::wstring RoleValue(const RoleSlot& slot) {
  return Format(kRoleValue, {slot.nDisk, slot.nPartition, slot.strInfo});
}

void FillRoleSlot(CLayoutJob& job, RoleSlot& slot, int32_t disk, int32_t partition,
                  const wchar_t* key) {
  slot.bFound = true;
  slot.nDisk = disk;
  slot.nPartition = partition;
  slot.strInfo = job.GetDiskDeviceID(disk);
  job.WriteLog(key, RoleValue(slot));
}

bool OnGptSystemRoute(CLayoutJob& job, PartitionRecord& p) {
  const int32_t disk = job.m_PBRInfo.nDisk;
  const DiskRecord* record = FindDisk(job.m_Disks, disk);
  if (record == nullptr || !record->NoSignature) return false;
  if (p.DiskIndex != disk) return false;
  if (job.FindGptSystemPartition(disk) == -1) return false;
  MakeUpperAsciiInPlace(p.Type);
  return Contains(p.Type, L"SYSTEM");
}

void TagPartition(CLayoutJob& job, PartitionRecord& p) {
  const int32_t disk = p.DiskIndex;
  const int32_t next = p.PartitionIndex + 1;
  if (EqualsIgnoreCaseAscii(p.VolumeName, kPqServiceLabel)) {
    p.bInRole = true;
    FillRoleSlot(job, job.m_PBRInfo, disk, next, kQhpRoleLine);
    FillRoleSlot(job, job.m_SSDInfo, disk, next, kSsdRoleLine);
  }
  if (EqualsIgnoreCaseAscii(p.VolumeName, kPqService2Label)) {
    p.bInRole = true;
    FillRoleSlot(job, job.m_HDDInfo, disk, next, kHddRoleLine);
  }
  if (EqualsIgnoreCaseAscii(p.VolumeName, kSystemReservedLabel)) {
    p.bInRole = true;
    FillRoleSlot(job, job.m_SYSInfo, disk, next, kSysRoleLine);
  }
  if (IsOsLabel(p.VolumeName)) {
    const DiskRecord* record = FindDisk(job.m_Disks, disk);
    p.bInRole = true;
    int32_t number = record != nullptr && record->NoSignature ? p.PartitionIndex + 2 : next;
    FillRoleSlot(job, job.m_OSInfo, disk, number, kOsRoleLine);
  }
  MakeUpperAsciiInPlace(p.VolumeName);
  if (StartsWith(p.VolumeName, kRecoveryLabel)) {
    p.bInRole = true;
    FillRoleSlot(job, job.m_RecoveryInfo, disk, next, kRecoveryRoleLine);
    FillRoleSlot(job, job.m_SSDInfo, disk, next, kSsdRoleLine);
  }
  if (EqualsIgnoreCaseAscii(p.VolumeName, kEspLabel) || OnGptSystemRoute(job, p)) {
    p.bInRole = true;
    FillRoleSlot(job, job.m_SYSInfo, disk, next, kEfiRoleLine);
  }
  if (StartsWith(p.VolumeName, kPushButtonLabel)) {
    p.bInRole = true;
    FillRoleSlot(job, job.m_PBRInfo, disk, p.PartitionIndex + 2, kPbrRoleLine);
    FillRoleSlot(job, job.m_HDDInfo, disk, next, kHddRoleLine);
  }
}

// Takes the SSD by size; returns whether a disk of at most 59392 MB was taken.
bool FindSsdBySize(CLayoutJob& job) {
  bool smallSsdFound = false;
  int ssdCount = 0;
  for (int32_t n = 0; n < job.m_DiskCount; ++n) {
    // A disk number without a record has no size to judge it by: never an SSD.
    if (FindDisk(job.m_Disks, n) == nullptr) continue;
    std::wstring sizeText = job.GetDiskSizeText(n);
    job.WriteLog(Format(L"Disk %d size: %s", {n, sizeText}));
    int32_t size = ParseInt32(sizeText);
    if (size > kSsdSizedLimitMB) continue;
    ++ssdCount;
    if (size <= kSmallSsdLimitMB) {
      if (!smallSsdFound) {
        job.m_SSDInfo = RoleSlot{true, n, 1, L""};
        smallSsdFound = true;
      }
      job.WriteLog(Format(L"SSD Disk is %d < 64GB", {n}));
    } else if (!smallSsdFound) {
      job.m_SSDInfo = RoleSlot{true, n, 1, L""};
      job.WriteLog(Format(L"SSD Disk is %d >= 64GB", {n}));
    }
  }
  job.WriteLog(Format(kSsdCountLine, {ssdCount}));
  job.WriteLog(kSsdRoleLine, RoleValue(job.m_SSDInfo));
  return smallSsdFound;
}

}  // namespace

bool CLayoutJob::UpdateDiskInfo() {
  WriteLog(kRefreshLine);
  bool inventoried = false;
  for (int attempt = 0; attempt < kInventoryAttempts; ++attempt) {
    ResetSlotsAndTables(*this);
    int code = GetSystemDiskInfo();
    if (code == 0) {
      inventoried = true;
      break;
    }
    WriteLog(Format(kInventoryErrorLine, {attempt, code}));
    m_platform.Sleep(kInventoryRetryPauseMs);
  }
  if (!inventoried) {
    WriteLog(kRefreshFailedLine);
    return false;
  }

  for (const auto& disk : m_Disks) {
    if (disk.Index == kEmptyIndex) break;
    WriteLog(Format(kDiskLine, {disk.Index, disk.Caption, disk.DeviceID, disk.Partitions,
                                disk.SizeMB, disk.NoSignature ? kGptStyle : kMbrStyle}));
  }

  for (size_t i = 0; i < m_Partitions.size(); ++i) {
    PartitionRecord& p = m_Partitions[i];
    if (p.DiskIndex == kEmptyIndex) break;
    TagPartition(*this, p);
    WriteLog(Format(kPartitionLine, {static_cast<int>(i), p.DiskIndex, p.PartitionIndex,
                                     p.DriveLetter, p.VolumeName, p.SizeGB, p.Type}));
    m_platform.Sleep(kPartitionLinePauseMs);
  }

  bool smallSsdFound = false;
  if (!m_HDDInfo.bFound && m_DiskCount >= 2) smallSsdFound = FindSsdBySize(*this);
  if (!m_PBRInfo.bFound) SelectSystemDisk(smallSsdFound);

  WriteLog(kRefreshEndLine);
  return true;
}

}  // namespace quorvane
