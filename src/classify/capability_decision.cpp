// The rapid-start decision: the capability record's report lines and the rule of its revision.
#include "classify/capability_decision.h"

#include "base/text.h"
#include "run/layout_job.h"

namespace quorvane {

RapidStartRule RuleForRevision(uint8_t byMajor, uint8_t byMinor) {
  if (byMajor > 2 || (byMajor == 2 && byMinor >= 16)) return RapidStartRule::B;
  if (byMajor == 2 && byMinor >= 6) return RapidStartRule::A;
  return RapidStartRule::None;
}

void ReportSmbiosCapabilities(CLayoutJob& job, const SmbiosCapabilities& c) {
  job.WriteLog(kSmbiosSuccessLine);
  job.WriteLog(Format(L"Talvo WMI/SMBIOS Revision %d.%d , byMajor= %d, byMinor= %d",
                      {c.byMajor, c.byMinor, c.byMajor, c.byMinor}));
  job.WriteLog(Format(L"biFFS= %d, wiFFSParameter= %d", {c.biFFS, c.wiFFSParameter}));
  job.WriteLog(Format(L"bWiConnection= %d, wWiConnectionParameter= %d",
                      {c.bWiConnection, c.wWiConnectionParameter}));
  job.WriteLog(Format(L"biSRT= %d, wiSRTParameter= %d", {c.biSRT, c.wiSRTParameter}));
  job.WriteLog(Format(L"bRAID= %d, wRAIDParameter= %d", {c.bRAID, c.wRAIDParameter}));

  bool wanted = false;
  switch (RuleForRevision(c.byMajor, c.byMinor)) {
    case RapidStartRule::None:
      return;
    case RapidStartRule::A:
      wanted = c.biFFS == 1;
      break;
    case RapidStartRule::B:
      wanted = c.biFFS == 1 && c.wiFFSParameter != kRapidStartOffParameter;
      break;
  }
  job.WriteLog(wanted ? kRapidStartWantedLine : kRapidStartNotWantedLine);
  job.m_biRST = wanted;
}

}  // namespace quorvane
