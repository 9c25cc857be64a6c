// What the real run says on its console: one line when it starts, and when it ends the road and
// where its log is, or that it could not write its log at all. The log and the exit status stay
// the run's only outcome; these lines only say where to look.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "procedure/run_log_grammar.h"

namespace quorvane::exe {

// One log file of the run, as the INI writer fared with it.
struct LogFileOutcome {
  std::wstring path;        // as the run named it: "X:\Quorvane.log"
  size_t written = 0;       // lines it took
  size_t lost = 0;          // lines it refused
  std::string firstReason;  // the system's reason for the first line it refused (UTF-8)
};

// Every log file the run wrote to, in the order it first did.
class LogWatch {
 public:
  void Record(const std::wstring& path, bool written, const std::string& reason);
  const std::vector<LogFileOutcome>& Files() const { return files_; }

 private:
  std::vector<LogFileOutcome> files_;
};

std::string RunStartLine(const std::string& version);

// The lines after the run: when X:\Quorvane.log took no line, "cannot write X:\Quorvane.log:
// <reason>; ..."; then the road and where the log is. `platform` tells whether the run's closing
// copy put the RAM drive's log into the recovery partition's tools folder.
std::string RunEndLines(Road road, const std::vector<LogFileOutcome>& logs, Platform& platform);

}  // namespace quorvane::exe
