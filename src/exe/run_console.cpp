// The real run's console lines, from the road it took and the log files its INI writer reached.
#include "exe/run_console.h"

#include <algorithm>

#include "base/text.h"
#include "base/word_wrap.h"
#include "procedure/layout_sequence.h"
#include "procedure/log_copy.h"
#include "run/run_log.h"

namespace quorvane::exe {
namespace {

const char* RoadText(Road road) {
  switch (road) {
    case Road::Register:
      return "register (register the recovery image)";
    case Road::RapidStart:
      return "rapid-start (wipe the cache SSD and carve a rapid-start partition on it)";
    case Road::None:
      break;
  }
  return "none (change nothing)";
}

const LogFileOutcome* Find(const std::vector<LogFileOutcome>& logs, const std::wstring& path) {
  for (const auto& log : logs)
    if (EqualsIgnoreCaseAscii(log.path, path)) return &log;
  return nullptr;
}

}  // namespace

void LogWatch::Record(const std::wstring& path, bool written, const std::string& reason) {
  auto log = std::find_if(files_.begin(), files_.end(), [&path](const LogFileOutcome& file) {
    return EqualsIgnoreCaseAscii(file.path, path);
  });
  if (log == files_.end()) log = files_.insert(files_.end(), LogFileOutcome{path, 0, 0, ""});
  if (written) {
    ++log->written;
    return;
  }
  if (log->lost++ == 0) log->firstReason = reason;
}

std::string RunStartLine(const std::string& version) {
  return Wrapped("",
                 "quorvane.exe " + version + ": the real run starts; its log goes to " +
                     ToUtf8(LogFilePath(L"")) + ", then to " + ToUtf8(LogFilePath(kPbrLetter)) +
                     " on the recovery partition",
                 2);
}

std::string RunEndLines(Road road, const std::vector<LogFileOutcome>& logs, Platform& platform) {
  const std::wstring ramLog = LogFilePath(L"");
  const LogFileOutcome* ram = Find(logs, ramLog);
  std::vector<std::string> kept;  // the other log files that took lines
  for (const auto& log : logs)
    if (log.written > 0 && &log != ram) kept.push_back(ToUtf8(log.path));
  std::string out;
  std::string where;
  if (ram == nullptr || ram->written == 0) {
    const std::string reason = ram != nullptr ? ram->firstReason : "the run never wrote it";
    if (kept.empty()) {
      out += Wrapped(
          "", "cannot write " + ToUtf8(ramLog) + ": " + reason + "; this run leaves no log", 2);
      where = "it left no log";
    } else {
      out += Wrapped("",
                     "cannot write " + ToUtf8(ramLog) + ": " + reason +
                         "; the first lines of this run's log are lost",
                     2);
      where = "its log is " + kept.front() + ", without its first lines";
    }
  } else {
    // The closing copy puts the RAM drive's log into the recovery partition's tools folder,
    // where it outlives the reboot.
    const std::wstring copy = Format(L"%s\\%s\\%s", {kPbrLetter, kToolsFolderName, kLogFileName});
    const auto bytes = platform.ReadFileBytes(ramLog);
    const bool copied = bytes && platform.ReadFileBytes(copy) == bytes;
    const std::string ramText = ToUtf8(ramLog) + ", on the RAM drive: copy it off before a reboot";
    if (kept.empty()) {
      where = "its log is " + ramText;
    } else if (copied) {
      where = "its log is " + kept.front() + ", its first lines in " + ToUtf8(copy);
    } else {
      where = "its log is " + ToUtf8(ramLog) + ", then " + kept.front() +
              ": copy both off before a reboot (X: is the RAM drive)";
    }
  }
  return out + Wrapped("",
                       std::string("quorvane.exe: the run took the road ") + RoadText(road) + "; " +
                           where,
                       2);
}

}  // namespace quorvane::exe
