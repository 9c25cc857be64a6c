// The index of the operating-system image inside a recovery image, read from dism's listing.
#include "procedure/install_index.h"

#include <cstdint>
#include <string_view>

#include "base/text.h"
#include "run/layout_job.h"
#include "run/run_log.h"

namespace quorvane {

namespace {
constexpr wchar_t kListingLine[] =
    L"dism.exe /Get-WimInfo /WimFile:%s /English | find /I \"index\" >> %s\n";
constexpr wchar_t kExitLine[] = L"exit\n";
constexpr wchar_t kIndexMarker[] = L"index :";

}  // namespace

std::wstring CLayoutJob::ParseInstallIndex(const std::wstring& imagePath) {
  WriteLog(L"Parse Install Index Number");
  if (FileExists(kIndexInfoFile)) m_platform.DeleteFile(kIndexInfoFile);
  if (FileExists(kIndexCommandFile)) m_platform.DeleteFile(kIndexCommandFile);

  if (!WriteScriptFile(kIndexCommandFile,
                       Format(kListingLine, {imagePath, kIndexInfoFile}) + kExitLine)) {
    return L"";
  }
  const bool commandFileExists = FileExists(kIndexCommandFile);
  WriteLog(kIndexCommandFile, BoolText(commandFileExists));
  if (commandFileExists) LogExitCode(RunCommand(kIndexCommandFile));

  if (!FileExists(kIndexInfoFile)) {
    WriteLog(L"[ParseInstallIndex] Not found ParseinstallInfo.log file.");
    return kDefaultImageIndex;
  }

  std::wstring bestText = L"0";
  int32_t best = 0;
  bool improved = false;
  WriteLog(L"start Parse Install Index Info");
  std::vector<std::wstring> lines;
  ReadTextLines(kIndexInfoFile, lines);
  for (const auto& line : lines) {
    // The lines come trimmed of white space, blanks included.
    const std::wstring lower = ToLowerAscii(line);
    if (!Contains(lower, kIndexMarker)) continue;
    // A number beyond 32 bits is no image index: cut to the largest 32-bit value, it would
    // only make the recovery agent refuse the registration.
    const int64_t number = ParseInt64(Trim(std::wstring_view(lower).substr(lower.find(L':') + 1)));
    if (number <= best || number > INT32_MAX) continue;
    // The text goes into a script that runs next: only the number's own digits are kept, never
    // whatever the tool printed after them.
    best = static_cast<int32_t>(number);
    bestText = Format(L"%d", {number});
    improved = true;
    WriteLog(L"Prase_IndexInfo:", bestText);
  }

  if (improved) {
    WriteLog(L"[ParseInstallIndex] Install_index:", bestText);
    return bestText;
  }
  WriteLog(L"[ParseInstallIndex] Not have index info.");
  return kDefaultImageIndex;
}

bool CLayoutJob::ReadTextLines(const std::wstring& path, std::vector<std::wstring>& lines) {
  const std::optional<std::string> bytes = m_platform.ReadFileBytes(path);
  if (!bytes) {
    m_platform.MessageBox(L"Fail to open file: \n" + path, kProgramName, win::kMbOk);
    return false;
  }
  const std::wstring text = WidenTextFile(*bytes);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = Trim(std::wstring_view(text).substr(start, end - start));
    if (!line.empty()) lines.push_back(std::move(line));
    start = end + 1;
  }
  return true;
}

}  // namespace quorvane
