// The run log: time stamps, the log file's place, and the lines written through the INI writer.
#include "run/run_log.h"

#include "base/text.h"
#include "run/layout_job.h"

namespace quorvane {

std::wstring FormatTimeStamp(const LocalTime& t) {
  return Format(L"%2d/%2d/%2d %2d:%2d:%2d:%3d ",
                {t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond});
}

std::wstring_view LogMessage(std::wstring_view key) {
  if (key.size() > kTimeStampChars && key[kTimeStampChars - 1] == L' ')
    return key.substr(kTimeStampChars);
  return key;
}

std::wstring LogFilePath(const std::wstring& logDir) {
  return Format(L"%s\\%s", {logDir.empty() ? std::wstring(L"X:") : logDir, kLogFileName});
}

std::wstring BoolText(bool flag) { return flag ? L"true" : L"false"; }

std::wstring ExitCodeText(uint32_t code) { return Format(kExitCodeLine, {code}); }

namespace {
std::wstring OneLine(std::wstring text) {
  for (wchar_t& c : text) {
    if (c < L' ') c = L'?';
  }
  return text;
}
}  // namespace

bool WriteLog(Platform& platform, const std::wstring& logDir, const std::wstring& key,
              const std::wstring& value) {
  std::wstring stamped = FormatTimeStamp(platform.GetLocalTime()) + OneLine(key);
  return platform.WritePrivateProfileString(kLogSection, stamped, OneLine(value),
                                            LogFilePath(logDir));
}

void CLayoutJob::WriteLog(const std::wstring& key, const std::wstring& value) {
  quorvane::WriteLog(m_platform, *m_pLogDir, key, value);
}

void CLayoutJob::LogExitCode(uint32_t code) { WriteLog(ExitCodeText(code)); }

}  // namespace quorvane
