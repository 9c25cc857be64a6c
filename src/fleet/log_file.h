// One run-log file as read from disk: its bytes, read once, split into time-stamped lines.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "fleet/log_messages.h"

namespace quorvane::fleet {

struct LogLine {
  int64_t ms = 0;       // local time of its stamp (LocalTimeMs)
  uint32_t number = 0;  // 1-based line number in its file
  LogMessage message;   // views into the file's bytes
};

enum class FileVerdict { Ours, Damaged, Foreign };

// Not copyable: the lines point into the bytes.
struct LogFile {
  std::string path;  // as found, for the table: "/" between names on every system
  std::vector<char> bytes;
  FileVerdict verdict = FileVerdict::Ours;
  std::string problem;  // why Damaged or Foreign, naming the line
  std::vector<LogLine> lines;
  // The line the file ends inside, not read (the writer ends every line); 0 when it ends with a
  // line end.
  uint32_t endsInLine = 0;

  LogFile() = default;
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;
  LogFile(LogFile&&) = default;
  LogFile& operator=(LogFile&&) = default;
};

// Larger files are not run logs (a run writes well under a megabyte); they are not read.
inline constexpr uintmax_t kMaxLogBytes = 64u << 20;
inline constexpr char kMaxLogSize[] = "64 MiB";

// Reads the file whole and scans it.
LogFile ReadLogFile(const std::filesystem::path& path);
// Splits `file.bytes` into lines and judges them: [Quorvane] first, then "stamp message=value"
// lines (CR LF or LF; a blank line is passed over). A file that does not end with a line end was
// cut inside its last line, which is not read. A line of the same time stamp and key (the text
// before the first '=', when the line holds no other) as the line before it is not the writer's,
// which would have merged them: it is damage. Text saved as UTF-16 is named as such.
void ScanLogFile(LogFile& file);

// "%2d/%2d/%2d %2d:%2d:%2d:%3d" with a four-digit year, without the closing blank.
inline constexpr size_t kStampChars = 23;
bool ParseTimeStamp(std::string_view stamp, int64_t& ms);

}  // namespace quorvane::fleet
