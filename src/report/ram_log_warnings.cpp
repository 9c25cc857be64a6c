// The warning of a RAM drive that cannot take the log: the real run would then say so on its
// console and leave no log, or only the lines that reach M:.
#include <algorithm>

#include "base/text.h"
#include "report/warning_texts.h"
#include "report/warnings.h"
#include "run/run_log.h"

namespace quorvane::report {
namespace {

// Why the profile's X: cannot take the log, in the words of the real run's console line.
std::string WhyNotWritable(const sim::Profile& profile) {
  const std::wstring ramLog = LogFilePath(L"");
  if (!profile.ramDrive) return "there is no drive X:";
  for (const auto& drive : profile.drives)
    if (drive.letter == L"X:" && !drive.label) return "X: holds no volume";
  const auto& faults = profile.faults;
  if (std::find(faults.readOnly.begin(), faults.readOnly.end(), L"X:") != faults.readOnly.end())
    return "X: is read-only";
  for (const auto& path : faults.cannotCreate)
    if (EqualsIgnoreCaseAscii(path, ramLog)) return "the file cannot be created";
  return "it cannot be written";
}

}  // namespace

void RamLogWarnings(const sim::SimPlatform& machine, std::vector<Warning>& warnings) {
  const std::wstring ramLog = LogFilePath(L"");
  const auto& writes = machine.LogWrites();
  const auto first = std::find_if(writes.begin(), writes.end(), [&](const auto& write) {
    return EqualsIgnoreCaseAscii(write.file, ramLog);
  });
  if (first == writes.end() || first->written) return;
  std::vector<std::string> kept;  // the log files that took lines, as the run named them
  for (const auto& write : writes)
    if (write.written && std::find(kept.begin(), kept.end(), ToUtf8(write.file)) == kept.end())
      kept.push_back(ToUtf8(write.file));
  const std::string cannot =
      ToUtf8(ramLog) + " cannot be written (" + WhyNotWritable(machine.profile()) + ")";
  std::string text;
  if (kept.empty()) {
    text = "the real run will leave no log: " + cannot +
           ", nor any other log file; it says so on its console";
  } else {
    std::string files;
    for (const auto& file : kept) files += (files.empty() ? "" : ", ") + file;
    text = "the real run will lose the first lines of its log: " + cannot +
           "; its log is only what reaches " + files;
  }
  warnings.push_back(Warning{kNoRamLogWarning, text, Severity::Warning});
}

}  // namespace quorvane::report
