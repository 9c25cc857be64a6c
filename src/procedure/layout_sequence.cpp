// The main sequence: from the empty run context to the last log line, one straight pass.
#include "procedure/layout_sequence.h"

#include "base/text.h"
#include "classify/capability_decision.h"
#include "inventory/disk_inventory.h"
#include "inventory/smbios.h"
#include "letters/volume_mapping.h"
#include "run/layout_job.h"
#include "run/run_log.h"

namespace quorvane {

void CLayoutJob::RunLayoutSequence() {
  // 1. The first lines go to the RAM drive.
  *m_pLogDir = L"";

  // 2. SMBIOS capability flags decide whether a rapid-start partition is wanted.
  RawSmbiosData raw;
  if (win::Succeeded(m_platform.CoInitializeMultithreaded())) ReadSmbiosTable(m_platform, raw);
  SmbiosCapabilities capabilities;
  if (ParseSmbiosCapabilities(raw, capabilities)) {
    ReportSmbiosCapabilities(*this, capabilities);
  } else {
    WriteLog(kSmbiosFailLine);
  }

  // 3. Disk inventory.
  for (int attempt = 0; attempt < kInventoryAttempts; ++attempt) {
    WriteLog(kInventoryLine);
    int code = GetSystemDiskInfo();
    if (code == 0) break;
    WriteLog(Format(kInventoryErrorLine, {attempt, code}));
    m_platform.Sleep(kInventoryRetryPauseMs);
  }

  // 4. Disk count: the line is written before the count is known.
  WriteLog(L"m_DiskCount");
  m_DiskCount = CountLeadingDisks(m_Disks);

  // 5. and 6. Letters for the partitions the later steps need.
  WriteLog(L"AssignLetterToEFI");
  AssignLetterToEFI();
  if (!IsUefiBoot()) {
    AssignLetterToSYS();
    AssignLetterToPBRorQHP();
  }

  // 7. Partition roles.
  if (!UpdateDiskInfo()) WriteLog(L"Error getting Disk Environment information");

  // 8. Disk mode.
  if (m_DiskCount >= 2) {
    WriteLog(L"There are multiple hard drive on the system.");
    CheckSDDHDDMode();
  }

  // 9. The push-button-recovery partition: on the hard disk in SSD+HDD mode.
  const RoleSlot& pbr = m_bSSDHDDMode ? m_HDDInfo : m_PBRInfo;
  const std::wstring pbrPath = PartitionDevicePath(pbr.nDisk, pbr.nPartition);
  WriteLog(kPbrPartitionLine, pbrPath);

  // 10. Map M: and move the log there, unless M: cannot hold it (not mapped, no volume, read
  // only): then the log stays on the RAM drive rather than losing every later line.
  RemoveLetterMapping(m_platform, kPbrLetter);
  if (MountPartition(m_platform, kPbrLetter, pbrPath)) *m_pLogDir = kPbrLetter;
  if (!quorvane::WriteLog(m_platform, *m_pLogDir, kPbrLetterLine, kPbrLetter) &&
      !m_pLogDir->empty()) {
    *m_pLogDir = L"";
    WriteLog(kPbrLetterLine, kPbrLetter);
  }

  // 11. Flag summary.
  WriteLog(kSeparatorLine);
  WriteLog(kSsdHddModeLine, BoolText(m_bSSDHDDMode));
  WriteLog(kMiniSsdLine, BoolText(m_bminiSSD));
  WriteLog(kRapidStartLine, BoolText(m_biRST));
  WriteLog(kSeparatorLine);

  // 12. Exactly one road.
  if (m_bSSDHDDMode) {
    m_Road = Road::Register;
    RegisterRecoveryImage();
  } else if (m_bminiSSD && m_biRST) {
    m_Road = Road::RapidStart;
    CarveRapidStartPartition();
  } else {
    m_Road = Road::None;
    WriteLog(RoadFirstLine(Road::None));
  }

  // 13. Carry the RAM-drive log and scripts onto the recovery partition.
  if (m_PBRInfo.bFound) CopyLogToPbr(kPbrLetter);
}

}  // namespace quorvane
