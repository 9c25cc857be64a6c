// The run log: time stamps, the log file's place, and the lines written through the INI writer.
#include "run/run_log.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "base/text.h"
#include "run/layout_job.h"

namespace quorvane {

namespace {
// Appends `value` right-aligned in `width` characters, padded with blanks ("%2d", "%3d").
void AppendField(std::wstring& out, int value, size_t width) {
  wchar_t digits[12];
  wchar_t* const end = digits + 12;
  wchar_t* start = end;
  int64_t rest = value < 0 ? -static_cast<int64_t>(value) : value;
  do {
    *--start = static_cast<wchar_t>(L'0' + rest % 10);
    rest /= 10;
  } while (rest != 0);
  if (value < 0) *--start = L'-';
  const size_t n = static_cast<size_t>(end - start);
  if (n < width) out.append(width - n, L' ');
  out.append(start, n);
}
}  // namespace

// "%2d/%2d/%2d %2d:%2d:%2d:%3d " of year, month, day, hour, minute, second and millisecond.
std::wstring FormatTimeStamp(const LocalTime& t) {
  const std::pair<int, size_t> fields[] = {{t.year, 2},       {t.month, 2},  {t.day, 2},
                                           {t.hour, 2},       {t.minute, 2}, {t.second, 2},
                                           {t.millisecond, 3}};
  constexpr wchar_t kAfter[] = L"// ::: ";
  std::wstring out;
  out.reserve(kTimeStampChars + 8);
  for (size_t i = 0; i < std::size(fields); ++i) {
    AppendField(out, fields[i].first, fields[i].second);
    out += kAfter[i];
  }
  return out;
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
void MakeOneLine(std::wstring& text) {
  for (wchar_t& c : text) {
    if (c < L' ') c = L'?';
  }
}
}  // namespace

bool WriteLog(Platform& platform, const std::wstring& logDir, const std::wstring& key,
              const std::wstring& value) {
  std::wstring stamped = FormatTimeStamp(platform.GetLocalTime());
  stamped += key;
  MakeOneLine(stamped);
  const bool plain = std::all_of(value.begin(), value.end(), [](wchar_t c) { return c >= L' '; });
  std::wstring line;
  if (!plain) {
    line = value;
    MakeOneLine(line);
  }
  return platform.WritePrivateProfileString(kLogSection, stamped, plain ? value : line,
                                            LogFilePath(logDir));
}

void CLayoutJob::WriteLog(const std::wstring& key, const std::wstring& value) {
  quorvane::WriteLog(m_platform, *m_pLogDir, key, value);
}

void CLayoutJob::LogExitCode(uint32_t code) { WriteLog(ExitCodeText(code)); }

}  // namespace quorvane
