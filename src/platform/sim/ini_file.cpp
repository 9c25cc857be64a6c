// The private-profile writer's file format: sections, keys up to the first '=', CR LF lines.
#include "platform/sim/ini_file.h"

namespace quorvane::sim {
namespace {

// "key=value" (built by appending: GCC 12 at -O3 warns falsely about chained string additions).
std::string KeyLine(std::string_view key, std::string_view value) {
  std::string line;
  line.reserve(key.size() + 1 + value.size());
  line.append(key).append(1, '=').append(value);
  return line;
}

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A section line starts with '['; a line that holds '=' is a key line whatever it starts with (the
// run's own lines "[0]Error ...=" and "[EFI]...=" are keys).
bool IsSectionLine(std::string_view text) {
  return TrimBlanks(text).substr(0, 1) == "[" && text.find('=') == std::string_view::npos;
}

bool IsSection(std::string_view text, std::string_view section) {
  if (!IsSectionLine(text)) return false;
  text = TrimBlanks(text);
  const size_t close = text.find(']');
  if (close == std::string_view::npos) return false;
  return EqualsIgnoreCaseAscii8(TrimBlanks(text.substr(1, close - 1)), section);
}

}  // namespace

bool EqualsIgnoreCaseAscii8(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  // From the end: the log's keys share their time stamp's first characters and differ last.
  for (size_t i = a.size(); i-- > 0;)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}

IniFile::Line IniFile::Measure(std::string_view text, size_t start) {
  Line line{start, text.size(), 0, std::string::npos};
  const size_t equals = text.find('=');
  if (equals == std::string_view::npos) return line;
  const std::string_view key = TrimBlanks(text.substr(0, equals));
  line.keyStart = static_cast<size_t>(key.data() - text.data());
  line.keyLength = key.size();
  return line;
}

IniFile IniFile::Parse(std::string_view bytes) {
  IniFile file;
  while (!bytes.empty()) {
    const size_t end = bytes.find('\n');
    std::string_view text = bytes.substr(0, end);
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    file.lines_.push_back(Measure(text, file.bytes_.size()));
    file.bytes_.append(text);
    file.bytes_.append("\r\n");
  }
  return file;
}

std::string_view IniFile::Text(const Line& line) const {
  return std::string_view(bytes_).substr(line.start, line.length);
}

void IniFile::Insert(size_t index, const std::string& text) {
  if (index == lines_.size()) {  // the usual case: a new line at the end of the file
    lines_.push_back(Measure(text, bytes_.size()));
    bytes_.append(text).append("\r\n");
    return;
  }
  const size_t at = lines_[index].start;
  bytes_.insert(at, "\r\n");
  bytes_.insert(at, text);
  for (size_t k = index; k < lines_.size(); ++k) lines_[k].start += text.size() + 2;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), Measure(text, at));
}

void IniFile::Replace(size_t index, const std::string& text) {
  Line& line = lines_[index];
  bytes_.replace(line.start, line.length, text);
  const size_t grown = text.size() - line.length;  // wraps around when it shrinks, as it should
  line = Measure(text, line.start);
  for (size_t k = index + 1; k < lines_.size(); ++k) lines_[k].start += grown;
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  key = TrimBlanks(key);
  const std::string line = KeyLine(key, value);
  size_t i = 0;
  while (i < lines_.size() && !IsSection(Text(lines_[i]), section)) ++i;
  if (i == lines_.size()) {
    std::string header(1, '[');
    header.append(section).append(1, ']');
    Insert(lines_.size(), header);
    Insert(lines_.size(), line);
    return;
  }
  // A key holding '=' can never equal a line's key, which ends before its first '='.
  const bool canMatch = key.find('=') == std::string_view::npos;
  size_t insertAt = i + 1;  // after the section's last non-blank line
  for (size_t k = i + 1; k < lines_.size(); ++k) {
    const Line& at = lines_[k];
    const std::string_view text = Text(at);
    if (at.keyLength == std::string::npos && IsSectionLine(text)) break;
    if (canMatch && at.keyLength == key.size() &&
        EqualsIgnoreCaseAscii8(text.substr(at.keyStart, at.keyLength), key)) {
      // The line keeps its own key text, blanks included, and takes the new value.
      Replace(k, KeyLine(text.substr(0, text.find('=')), value));
      return;
    }
    if (at.keyLength != std::string::npos || !TrimBlanks(text).empty()) insertAt = k + 1;
  }
  Insert(insertAt, line);
}

}  // namespace quorvane::sim
