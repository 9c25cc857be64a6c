// The main sequence: from the empty run context to the last log line, one straight pass.
#include "inventory/smbios.h"
#include "run/layout_job.h"
#include "run/run_log.h"
#include "run/text.h"

namespace quorvane {

namespace {
constexpr wchar_t kSeparator[] = L"============================================";
constexpr int kInventoryAttempts = 20;
}  // namespace

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
    WriteLog(L"Get SMBIOS fail");
  }

  // 3. Disk inventory.
  for (int attempt = 0; attempt < kInventoryAttempts; ++attempt) {
    WriteLog(L"Get Disk info");
    int code = GetSystemDiskInfo();
    if (code == 0) break;
    WriteLog(Format(L"[%d]Error Getting System Disk Info. Return Code:%d", {attempt, code}));
    m_platform.Sleep(100);
  }

  // 4. Disk count: the line is written before the count is known.
  WriteLog(L"m_DiskCount");
  m_DiskCount = CountLeadingDisks(m_Disks);

  // 7. Partition roles.
  if (!UpdateDiskInfo()) WriteLog(L"Error getting Disk Environment information");

  // 8. Disk mode.
  if (m_DiskCount >= 2) {
    WriteLog(L"There are multiple hard drive on the system.");
    CheckSDDHDDMode();
  }

  // 11. Flag summary.
  WriteLog(kSeparator);
  WriteLog(L"m_bSSDHDDMode", BoolText(m_bSSDHDDMode));
  WriteLog(L"m_bminiSSD", BoolText(m_bminiSSD));
  WriteLog(L"m_biRST", BoolText(m_biRST));
  WriteLog(kSeparator);

  // 12. Exactly one road.
  WriteLog(L"Not SSD is small than 64GB");
}

}  // namespace quorvane
