// Breaking text between words.
#include "base/word_wrap.h"

#include <algorithm>

namespace quorvane {

std::vector<std::string> BreakBetweenWords(const std::string& text, size_t firstWidth,
                                           size_t width) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    const size_t room = lines.empty() ? firstWidth : width;
    size_t end = text.size();
    if (end - at > room) {
      end = text.rfind(' ', at + room);
      if (end == std::string::npos || end <= at) end = std::min(text.find(' ', at), text.size());
    }
    const size_t last = text.find_last_not_of(' ', end - 1);
    lines.push_back(text.substr(at, last == std::string::npos || last < at ? 0 : last + 1 - at));
    at = text.find_first_not_of(' ', end);
    if (at == std::string::npos) break;
  }
  if (lines.empty()) lines.push_back("");
  return lines;
}

std::string Wrapped(const std::string& lead, const std::string& text, size_t hang) {
  const size_t first = kConsoleWidth > lead.size() ? kConsoleWidth - lead.size() : 1;
  const size_t rest = kConsoleWidth > hang ? kConsoleWidth - hang : 1;
  std::string out;
  bool firstLine = true;
  for (const std::string& line : BreakBetweenWords(text, first, rest)) {
    out += (firstLine ? lead : std::string(hang, ' ')) + line + "\n";
    firstLine = false;
  }
  return out;
}

}  // namespace quorvane
