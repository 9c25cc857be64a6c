// Letters for the UEFI layout: keep a probe letter on every partition whose label marks a role.
#include <iterator>

#include "base/text.h"
#include "letters/letter_probe.h"
#include "run/layout_job.h"

namespace quorvane {

namespace {

// A wanted label and the two lines that report it, in the order the tests are applied.
struct WantedLabel {
  const wchar_t* text;
  bool wholeLabel;  // equality (ignoring case) instead of a prefix
  const wchar_t* assignLine;
  const wchar_t* mountLine;
};

constexpr WantedLabel kWantedLabels[] = {
    {kPushButtonLabel, false, L"[EFI]AssignLetterToPBR", L"[EFI]Need to mount PBR"},
    {kEspLabel, false, L"[EFI]AssignLetterToEFI", L"[EFI]Need to mount EFI"},
    {kRecoveryLabel, false, L"[EFI]AssignLetterToRECOVERY", L"[EFI]Need to mount RECOVERY"},
    {kPqServiceLabel, true, L"[EFI]AssignLetterToQHP", L"[EFI]No need to mount QHP"},
};

bool Matches(const WantedLabel& wanted, const std::wstring& upperLabel) {
  return wanted.wholeLabel ? EqualsIgnoreCaseAscii(upperLabel, wanted.text)
                           : StartsWith(upperLabel, wanted.text);
}

}  // namespace

void CLayoutJob::AssignLetterToEFI() {
  ProbeDiskPartitions(*this, DiskLineNumber::DiskIndex, [this](const std::wstring& label) {
    const std::wstring upper = ToUpperAscii(label);
    for (const WantedLabel& wanted : kWantedLabels) {
      if (!Matches(wanted, upper)) continue;
      // Every wanted role keeps its letter, the hidden recovery partition's included.
      WriteLog(wanted.assignLine);
      WriteLog(wanted.mountLine, upper);
      return ProbeVerdict::Keep;
    }
    return ProbeVerdict::Release;
  });
}

}  // namespace quorvane
