// SSD+HDD mode and the search for a small cache SSD.
#include "classify/disk_mode.h"

#include "base/text.h"
#include "classify/disk_sizes.h"
#include "run/layout_job.h"

namespace quorvane {

void CLayoutJob::CheckSDDHDDMode() {
  const int32_t count = CountLeadingDisks(m_Disks);
  WriteLog(kModeCheckLine);

  if (m_SSDInfo.bFound && m_HDDInfo.bFound) {
    WriteLog(L"m_SSDInfo &  m_HDDInfo is True");
    if (m_SSDInfo.nDisk != m_HDDInfo.nDisk) {
      WriteLog(L"m_SSDInfo &  m_HDDInfo is different disk.");
      m_bSSDHDDMode = true;
      WriteLog(L"Set m_bSSDHDDMode = true");
      WriteLog(Format(L"SSD Info: SSD Disk is %d", {m_SSDInfo.nDisk}));
      WriteLog(Format(L"HDD Info: HDD Disk is %d", {m_HDDInfo.nDisk}));
      return;
    }
  }

  m_bSSDHDDMode = false;
  WriteLog(kNotSsdHddModeLine);

  for (int32_t d = 0; d < count; ++d) {
    // The mini-SSD is wiped later: a disk number without a record is never taken.
    if (FindDisk(m_Disks, d) == nullptr) continue;
    std::wstring sizeText = GetDiskSizeText(d);
    WriteLog(sizeText);
    if (ParseInt32(sizeText) <= kSmallSsdLimitMB) {
      m_bminiSSD = true;
      m_SSDInfo = RoleSlot{true, d, 1, L""};
      m_HDDInfo = RoleSlot::Reset();
      WriteLog(kMiniSsdFoundLine);
      WriteLog(Format(kMiniSsdDiskLine, {d}));
      return;
    }
  }

  WriteLog(kNoMiniSsdLine);
  m_SSDInfo = RoleSlot::Reset();
  m_HDDInfo = RoleSlot::Reset();
}

}  // namespace quorvane
