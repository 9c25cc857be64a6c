// The private-profile writer's file format: sections, keys up to the first '=', CR LF lines.
#include "platform/sim/ini_file.h"

namespace quorvane::sim {
namespace {

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

// The key of a key line: its text before the first '=', blanks trimmed. A line without '=' has
// no key.
bool KeyMatches(std::string_view text, std::string_view key) {
  const size_t equals = text.find('=');
  return equals != std::string_view::npos &&
         EqualsIgnoreCaseAscii8(TrimBlanks(text.substr(0, equals)), key);
}

}  // namespace

bool EqualsIgnoreCaseAscii8(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  return true;
}

IniFile IniFile::Parse(std::string_view bytes) {
  IniFile file;
  while (!bytes.empty()) {
    const size_t end = bytes.find('\n');
    std::string_view text = bytes.substr(0, end);
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    file.lines_.push_back(Line{file.bytes_.size(), text.size()});
    file.bytes_.append(text);
    file.bytes_.append("\r\n");
  }
  return file;
}

std::string_view IniFile::Text(const Line& line) const {
  return std::string_view(bytes_).substr(line.start, line.length);
}

void IniFile::Insert(size_t index, const std::string& text) {
  const size_t at = index < lines_.size() ? lines_[index].start : bytes_.size();
  bytes_.insert(at, text + "\r\n");
  for (size_t k = index; k < lines_.size(); ++k) lines_[k].start += text.size() + 2;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), Line{at, text.size()});
}

void IniFile::Replace(size_t index, const std::string& text) {
  Line& line = lines_[index];
  bytes_.replace(line.start, line.length, text);
  const size_t grown = text.size() - line.length;  // wraps around when it shrinks, as it should
  line.length = text.size();
  for (size_t k = index + 1; k < lines_.size(); ++k) lines_[k].start += grown;
}

void IniFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  key = TrimBlanks(key);
  const std::string line = std::string(key) + "=" + std::string(value);
  size_t i = 0;
  while (i < lines_.size() && !IsSection(Text(lines_[i]), section)) ++i;
  if (i == lines_.size()) {
    Insert(lines_.size(), "[" + std::string(section) + "]");
    Insert(lines_.size(), line);
    return;
  }
  // A key holding '=' can never equal a line's key, which ends before its first '='.
  const bool canMatch = key.find('=') == std::string_view::npos;
  size_t insertAt = i + 1;  // after the section's last non-blank line
  for (size_t k = i + 1; k < lines_.size(); ++k) {
    const std::string_view text = Text(lines_[k]);
    if (IsSectionLine(text)) break;
    if (canMatch && KeyMatches(text, key)) {
      // The line keeps its own key text, blanks included, and takes the new value.
      Replace(k, std::string(text.substr(0, text.find('='))) + "=" + std::string(value));
      return;
    }
    if (!TrimBlanks(text).empty()) insertAt = k + 1;
  }
  Insert(insertAt, line);
}

}  // namespace quorvane::sim
