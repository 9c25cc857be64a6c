// Rapid-start carving: sizes the hibernation partition from the cache SSD and carves it with
// diskpart.
#include "procedure/rapid_start.h"

#include "base/text.h"
#include "procedure/layout_sequence.h"
#include "run/layout_job.h"

namespace quorvane {

namespace {
constexpr wchar_t kLargeSize[] = L"8192";
constexpr wchar_t kMediumSize[] = L"4096";
constexpr wchar_t kNoSize[] = L"0";
constexpr uint32_t kMediumFloorMB = 4096;
constexpr wchar_t kGptTypeId[] = L"d3bfe2de-3daf-11df-ba40-e3a556d89593";
constexpr wchar_t kMbrTypeId[] = L"84";

// Carving wipes the whole disk: one that holds Windows, its boot or recovery partitions, or the
// log being written is no cache SSD, however small. A role's slot names only the last partition
// found in it, so every partition the refresh gave a role counts, not only the slots'.
bool HoldsPartitionsInUse(const CLayoutJob& job, int32_t disk) {
  for (const RoleSlot* slot : {&job.m_PBRInfo, &job.m_SYSInfo, &job.m_OSInfo, &job.m_RecoveryInfo})
    if (slot->bFound && slot->nDisk == disk) return true;
  for (const PartitionRecord& partition : job.m_Partitions) {
    if (partition.DiskIndex == kEmptyIndex) break;
    if (partition.bInRole && partition.DiskIndex == disk) return true;
  }
  return *job.m_pLogDir == kPbrLetter && job.m_PBRInfo.nDisk == disk;
}
}  // namespace

std::wstring RapidStartScriptPath() {
  return Format(L"%s%s", {kScriptFolder, kRapidStartScriptName});
}

std::wstring CarveCommandLine() { return Format(kCarveCommandLine, {RapidStartScriptPath()}); }

void CLayoutJob::CarveRapidStartPartition() {
  const int32_t disk = m_SSDInfo.nDisk;
  WriteLog(kCarveLine);
  WriteLog(Format(kCarveDiskLine, {disk}));
  WriteLog(L"Start Cutting iRST");

  // Sizes are compared and subtracted as unsigned 32-bit numbers, and logged with "%d".
  const uint32_t diskSize = static_cast<uint32_t>(ParseInt32(GetDiskSizeText(disk)));
  WriteLog(Format(L"Mini SSD size = %d", {static_cast<int32_t>(diskSize)}));

  std::wstring sizeText;
  if (diskSize >= m_nRapidStartLimitMB) {
    sizeText = kLargeSize;
    WriteLog(L"iRST Pratition size: 8GB");
  } else if (diskSize >= kMediumFloorMB) {
    sizeText = kMediumSize;
    WriteLog(L"iRST Pratition size: 4GB");
  } else {
    sizeText = kNoSize;
    WriteLog(L"Disk size < 4GB");
  }

  const uint32_t cacheSize = diskSize - static_cast<uint32_t>(ParseInt32(sizeText));
  WriteLog(Format(L"Expess Cache Size: %d MB", {static_cast<int32_t>(cacheSize)}));
  if (cacheSize < kCacheMinimumMB) {
    WriteLog(L"Expess Cache size less than minimum size 15259MB(16GM)");
    sizeText = Format(L"%d", {static_cast<int32_t>(diskSize - kCacheMinimumMB)});
    WriteLog(Format(L"iRST size to %s MB", {sizeText}));
  }

  if (HoldsPartitionsInUse(*this, disk)) {
    WriteLog(kInUseSkipLine);
    m_biRST = false;
    return;
  }
  // diskpart would clean the disk and then refuse a size of zero or below: leave the disk alone.
  if (ParseInt32(sizeText) <= 0) {
    WriteLog(kTooSmallSkipLine);
    m_biRST = false;
    return;
  }

  const std::wstring scriptPath = RapidStartScriptPath();
  const bool uefi = IsUefiBoot();
  const std::wstring typeId = uefi ? kGptTypeId : kMbrTypeId;
  const std::wstring styleLine = uefi ? L"convert gpt\n" : L"convert mbr\n";
  // A script that cannot be created is not fatal here: diskpart then fails on the missing file
  // and its exit code is logged.
  WriteScriptFile(scriptPath, Format(L"select disk %d\n", {disk}) + L"clean\n" + styleLine +
                                  Format(L"select disk %d\n", {disk}) +
                                  Format(L"create partition primary size=%s\n", {sizeText}) +
                                  Format(L"set id=\"%s\"\n", {typeId}));

  const std::wstring command = CarveCommandLine();
  WriteLog(command);
  LogExitCode(RunCommand(command));
  m_biRST = false;
}

}  // namespace quorvane
