// The private-profile writer's file format: sections, keys replaced in place, CR LF lines.
#include "platform/sim/ini_file.h"

namespace quorvane::sim {
namespace {

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
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
    size_t end = bytes.find('\n');
    std::string_view text = bytes.substr(0, end);
    bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    Line line{std::string(text)};
    if (TrimBlanks(text).substr(0, 1) != "[") line.keyLength = text.find('=');
    file.lines_.push_back(std::move(line));
  }
  return file;
}

bool IniFile::IsSection(const Line& line, const std::string& section) {
  std::string_view text = TrimBlanks(line.text);
  if (text.substr(0, 1) != "[") return false;
  size_t close = text.find(']');
  if (close == std::string_view::npos) return false;
  return EqualsIgnoreCaseAscii8(TrimBlanks(text.substr(1, close - 1)), section);
}

void IniFile::Set(const std::string& section, const std::string& key, const std::string& value) {
  size_t i = 0;
  while (i < lines_.size() && !IsSection(lines_[i], section)) ++i;
  if (i == lines_.size()) {
    lines_.push_back(Line{"[" + section + "]"});
    lines_.push_back(Line{key + "=" + value, key.size()});
    return;
  }
  size_t insertAt = i + 1;  // after the section's last non-blank line
  for (size_t k = i + 1; k < lines_.size(); ++k) {
    const Line& line = lines_[k];
    if (line.keyLength == std::string::npos && TrimBlanks(line.text).substr(0, 1) == "[") break;
    if (line.keyLength != std::string::npos &&
        EqualsIgnoreCaseAscii8(std::string_view(line.text).substr(0, line.keyLength), key)) {
      // The key keeps its line and its first spelling.
      lines_[k].text = line.text.substr(0, line.keyLength) + "=" + value;
      return;
    }
    if (!TrimBlanks(line.text).empty()) insertAt = k + 1;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                Line{key + "=" + value, key.size()});
}

std::string IniFile::Bytes() const {
  std::string out;
  for (const auto& line : lines_) out += line.text + "\r\n";
  return out;
}

}  // namespace quorvane::sim
