// Splitting command lines into words and converting the text that simulated tools print.
#include "platform/sim/commands/command_words.h"

#include "base/text.h"

namespace quorvane::sim::standin {

namespace {
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
}  // namespace

std::vector<std::wstring> SplitWords(std::wstring_view line) {
  std::vector<std::wstring> words;
  std::wstring word;
  bool inWord = false;
  bool quoted = false;
  for (wchar_t c : line) {
    if (c == L'"') {
      quoted = !quoted;
      inWord = true;  // "" is an empty word
    } else if (!quoted && IsBlank(c)) {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return words;
}

std::wstring FirstWord(std::wstring_view line) {
  auto words = SplitWords(line);
  return words.empty() ? std::wstring() : words.front();
}

bool EndsWithIgnoreCase(std::wstring_view text, std::wstring_view end) {
  return text.size() >= end.size() &&
         EqualsIgnoreCaseAscii(text.substr(text.size() - end.size()), end);
}

std::wstring ProgramName(std::wstring_view firstWord) {
  size_t slash = firstWord.find_last_of(L"\\/");
  std::wstring_view name =
      slash == std::wstring_view::npos ? firstWord : firstWord.substr(slash + 1);
  if (EndsWithIgnoreCase(name, L".exe")) name.remove_suffix(4);
  return ToLowerAscii(name);
}

std::string ToCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace quorvane::sim::standin
