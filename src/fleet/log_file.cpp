// Reading a run-log file once and splitting it into time-stamped lines.
#include "fleet/log_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <utility>
#include <vector>

#include "base/text.h"
#include "base/utf8_path.h"
#include "run/run_log.h"

namespace quorvane::fleet {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A number printed right-aligned in `width` characters, padded with blanks.
bool PaddedNumber(std::string_view text, size_t at, size_t width, int& value) {
  size_t i = at;
  while (i < at + width - 1 && text[i] == ' ') ++i;
  value = 0;
  for (; i < at + width; ++i) {
    if (!IsDigit(text[i])) return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

struct Damage {
  LogFile& file;
  size_t count = 0;
  void Add(uint32_t line, const char* what) {
    if (count++ == 0) file.problem = "line " + std::to_string(line) + ": " + what;
  }
  void Finish() {
    if (count == 0) return;
    file.verdict = FileVerdict::Damaged;
    if (count > 1) file.problem += " (and " + std::to_string(count - 1) + " more damaged lines)";
  }
};

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
    if (x != y) return false;
  }
  return true;
}

// Time stamps whose date is the previous line's: most lines of a log share their date.
class StampReader {
 public:
  bool Read(std::string_view stamp, int64_t& ms) {
    if (dateKnown_ && stamp.substr(0, kDateChars) == std::string_view(date_, kDateChars)) {
      int hour = 0, minute = 0, second = 0, milli = 0;
      if (!TimeOfDay(stamp, hour, minute, second, milli)) return false;
      ms = dayMs_ + ((int64_t{hour} * 60 + minute) * 60 + second) * 1000 + milli;
      return true;
    }
    if (!ParseTimeStamp(stamp, ms)) return false;
    std::memcpy(date_, stamp.data(), kDateChars);
    int hour = 0, minute = 0, second = 0, milli = 0;
    TimeOfDay(stamp, hour, minute, second, milli);
    dayMs_ = ms - (((int64_t{hour} * 60 + minute) * 60 + second) * 1000 + milli);
    dateKnown_ = true;
    return true;
  }

  // "hh:mm:ss:mmm" after the date and its blank.
  static bool TimeOfDay(std::string_view s, int& hour, int& minute, int& second, int& milli) {
    return PaddedNumber(s, 11, 2, hour) && s[13] == ':' && PaddedNumber(s, 14, 2, minute) &&
           s[16] == ':' && PaddedNumber(s, 17, 2, second) && s[19] == ':' &&
           PaddedNumber(s, 20, 3, milli) && hour <= 23 && minute <= 59 && second <= 59;
  }

 private:
  static constexpr size_t kDateChars = 11;  // "yyyy/mm/dd "
  char date_[kDateChars] = {};
  bool dateKnown_ = false;
  int64_t dayMs_ = 0;
};

// Text saved as UTF-16: a byte-order mark, or the section's '[' followed by a zero byte.
bool IsUtf16(std::string_view data) {
  return data.starts_with("\xFF\xFE") || data.starts_with("\xFE\xFF") ||
         data.starts_with(std::string_view("[\0", 2)) ||
         data.starts_with(std::string_view("\0[", 2));
}

// The line before, as the writer files it: its time stamp and its key (the text before the first
// '='). The writer replaces the value of a key already there, so a line of the same stamp and key
// as the one before it is not the writer's, unless its key itself held '=' (the line then holds
// another '=' and the writer never matched it).
class RepeatedKey {
 public:
  bool Repeats(int64_t ms, std::string_view text, size_t eq) {
    const std::string_view key = text.substr(0, eq);
    // Most lines differ from the one before in stamp or key: the '=' after it is looked for
    // only when both agree.
    const bool repeats = ms == ms_ && key == key_ && Single(text, eq) && Single(text_, eq);
    ms_ = ms;
    key_ = key;
    text_ = text;
    return repeats;
  }

 private:
  static bool Single(std::string_view text, size_t eq) {
    return text.find('=', eq + 1) == std::string_view::npos;
  }
  int64_t ms_ = -1;
  std::string_view key_;
  std::string_view text_;
};

// The text after the stamp: message '=' value. A key that starts with '=' (the separator line)
// lost the stamp's closing blank when the INI writer reread the file.
bool SplitLine(std::string_view line, StampReader& stamps, int64_t& ms, std::string_view& text) {
  if (line.size() <= kStampChars || !stamps.Read(line.substr(0, kStampChars), ms)) return false;
  const char after = line[kStampChars];
  if (after == ' ') {
    text = line.substr(kStampChars + 1);
  } else if (after == '=') {
    text = line.substr(kStampChars);
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool ParseTimeStamp(std::string_view s, int64_t& ms) {
  if (s.size() != kStampChars) return false;
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, milli = 0;
  if (!PaddedNumber(s, 0, 4, year) || s[4] != '/' || !PaddedNumber(s, 5, 2, month) || s[7] != '/' ||
      !PaddedNumber(s, 8, 2, day) || s[10] != ' ' ||
      !StampReader::TimeOfDay(s, hour, minute, second, milli)) {
    return false;
  }
  if (year < 1601 || month < 1 || month > 12 || day < 1 || day > 31) return false;
  ms = LocalTimeMs(year, month, day, hour, minute, second, milli);
  return true;
}

void ScanLogFile(LogFile& file) {
  static const std::string kHeader = "[" + Narrow8(kLogSection) + "]";
  std::string_view data(file.bytes.data(), file.bytes.size());
  file.lines.clear();
  file.endsInLine = 0;
  if (IsUtf16(data)) {
    file.verdict = FileVerdict::Damaged;
    file.problem = "UTF-16 text: save it as the program wrote it, 8-bit";
    return;
  }
  if (data.starts_with("\xEF\xBB\xBF")) data.remove_prefix(3);  // saved again by an editor
  file.lines.reserve(data.size() / 48);
  if (data.empty()) {
    file.verdict = FileVerdict::Damaged;
    file.problem = "the file is empty";
    return;
  }
  // The writer ends every line: text after the last line end was cut while it was written.
  const size_t whole = data.rfind('\n') + 1;  // 0 when there is none
  if (whole < data.size()) {
    std::string_view partial = data.substr(whole);
    if (partial.back() == '\r') partial.remove_suffix(1);
    data = data.substr(0, whole);
    if (whole == 0 &&
        !EqualsIgnoreCase(partial, std::string_view(kHeader).substr(0, partial.size()))) {
      file.verdict = FileVerdict::Foreign;
      file.problem = "not a run log: it does not start with " + kHeader;
      return;
    }
    file.endsInLine = 1;  // counted on below
  }

  Damage damage{file};
  StampReader stamps;
  RepeatedKey repeated;
  uint32_t number = 0;
  size_t pos = 0;
  while (pos < data.size()) {
    const size_t end = std::min(data.find('\n', pos), data.size());
    std::string_view line = data.substr(pos, end - pos);
    pos = end + 1;
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (number == 1) {
      if (EqualsIgnoreCase(line, kHeader)) continue;
      int64_t ms = 0;
      std::string_view text;
      if (!SplitLine(line, stamps, ms, text)) {
        file.verdict = FileVerdict::Foreign;
        file.problem = "not a run log: it does not start with " + kHeader;
        file.endsInLine = 0;
        return;
      }
      // Our lines without their section: read them, but the file was not left as written.
      damage.Add(number, ("no " + kHeader + " section before it").c_str());
    }
    if (line.empty()) continue;
    if (line.front() == '[') {
      damage.Add(number, "a section of its own");
      continue;
    }
    bool control = false;
    for (char c : line) control |= static_cast<unsigned char>(c) < 0x20;
    if (control) {
      // The writer turns control characters into '?': these bytes were never written by it.
      damage.Add(number, "control characters or zero bytes");
      continue;
    }
    int64_t ms = 0;
    std::string_view text;
    if (!SplitLine(line, stamps, ms, text)) {
      damage.Add(number, "no time stamp");
      continue;
    }
    const size_t eq = text.find('=');
    if (eq == std::string_view::npos) {
      damage.Add(number, "no '=' after the message");
      continue;
    }
    if (repeated.Repeats(ms, text, eq)) {
      damage.Add(number,
                 "the time stamp and key of the line before again, which the writer "
                 "would have merged");
      continue;
    }
    file.lines.push_back(LogLine{ms, number, ClassifyLine(text)});
  }
  if (file.endsInLine != 0) {
    file.endsInLine = number + 1;
  } else if (file.lines.empty() && damage.count == 0) {
    damage.Add(number, "no log line after the section");
  }
  damage.Finish();
}

LogFile ReadLogFile(const std::filesystem::path& path) {
  LogFile file;
  file.path = Utf8OfGenericPath(path);
  // A stream rather than the C library's FILE: it opens a name outside the code page on Windows.
  std::ifstream stream(path, std::ios::binary);
  if (!stream) {
    file.verdict = FileVerdict::Damaged;
    file.problem = std::string("cannot be read: ") + std::strerror(errno);
    return file;
  }
  // The size from the open file: the path is looked up once. A log is read as long as it was
  // then: it is a copy, not a file still being written.
  const std::streamoff size = stream.seekg(0, std::ios::end).tellg();
  if (size < 0 || !stream.seekg(0, std::ios::beg)) {
    file.verdict = FileVerdict::Damaged;
    file.problem = "cannot be read: not a file that has a size";
    return file;
  }
  if (static_cast<uintmax_t>(size) > kMaxLogBytes) {
    file.verdict = FileVerdict::Foreign;
    file.problem = "not a run log: " + std::to_string(size) + " bytes, over the limit of " +
                   kMaxLogSize + " for a log";
    return file;
  }
  file.bytes.resize(static_cast<size_t>(size));
  stream.read(file.bytes.data(), static_cast<std::streamsize>(file.bytes.size()));
  file.bytes.resize(static_cast<size_t>(stream.gcount()));
  if (stream.bad()) {
    file.verdict = FileVerdict::Damaged;
    file.problem = "cannot be read to its end";
    return file;
  }
  ScanLogFile(file);
  return file;
}

}  // namespace quorvane::fleet
