// Choosing the disk that stands in for a missing push-button-recovery partition.
#include "classify/system_disk.h"

#include "base/text.h"
#include "classify/disk_sizes.h"
#include "run/layout_job.h"

namespace quorvane {

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
}  // namespace

std::wstring FindDiskToken(std::wstring_view report) {
  std::wstring token;
  size_t i = 0;
  while (i < report.size()) {
    while (i < report.size() && IsSpace(report[i])) ++i;
    if (i >= report.size()) break;
    size_t start = i;
    while (i < report.size() && !IsSpace(report[i])) ++i;
    token.assign(report.substr(start, std::min(i - start, kMaxTokenChars)));
    if (token.size() == 1 && IsDigit(token[0])) break;
  }
  return token;
}

int32_t LeadingDigitsValue(std::wstring_view token) {
  if (token.empty() || !IsDigit(token[0])) return 0;
  return ParseInt32(token);
}

void CLayoutJob::SelectSystemDisk(bool bSmallSsdFound) {
  if (bSmallSsdFound) {
    for (int32_t n = 0; n < m_DiskCount; ++n) {
      if (ParseInt32(GetDiskSizeText(n)) > kSmallSsdLimitMB) {
        m_PBRInfo.nDisk = n;
        m_PBRInfo.nPartition = 1;
        m_PBRInfo.strInfo = L"";
        break;
      }
    }
    WriteLog(Format(kFirstBootDiskLine, {m_PBRInfo.nDisk}));
    return;
  }

  std::wstring token;
  // Without both probe files there is nothing to run: the token stays empty.
  if (WriteScriptFile(kProbeScript, L"select disk system\n") &&
      WriteScriptFile(kProbeCommand,
                      L"diskpart /s X:\\GetSystemPart.ini > X:\\GetSystemPart.txt\n")) {
    WriteLog(kProbeCommand);
    LogExitCode(RunCommand(kProbeCommand));
    if (auto report = m_platform.ReadFileBytes(kProbeReport)) {
      token = FindDiskToken(WidenTextFile(*report));
    }
  }

  if (token.empty()) {
    m_PBRInfo.nDisk = 0;
  } else {
    m_PBRInfo.nDisk = LeadingDigitsValue(token);
    WriteLog(kProbeTokenLine, token);
  }
  m_PBRInfo.nPartition = 1;
  WriteLog(Format(kDefaultDiskLine, {m_PBRInfo.nDisk}));
}

}  // namespace quorvane
