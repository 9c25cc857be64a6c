// The main sequence: from the empty run context to the last log line, one straight pass.
#include "run/layout_job.h"
#include "run/run_log.h"
#include "run/text.h"

namespace quorvane {

namespace {
constexpr wchar_t kSeparator[] = L"============================================";
constexpr wchar_t kPbrLetter[] = L"M:";
}  // namespace

void CLayoutJob::RunLayoutSequence() {
  // 1. The first lines go to the RAM drive.
  *m_pLogDir = L"";

  // 4. Disk count: the line is written before the count is known.
  WriteLog(L"m_DiskCount");
  m_DiskCount = CountLeadingDisks(m_Disks);

  // 11. Flag summary.
  WriteLog(kSeparator);
  WriteLog(L"m_bSSDHDDMode", BoolText(m_bSSDHDDMode));
  WriteLog(L"m_bminiSSD", BoolText(m_bminiSSD));
  WriteLog(L"m_biRST", BoolText(m_biRST));
  WriteLog(kSeparator);

  // 12. Exactly one road.
  WriteLog(L"Not SSD is small than 64GB");
  (void)kPbrLetter;
}

}  // namespace quorvane
