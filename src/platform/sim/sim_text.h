// Text helpers of the simulated machine: 8-bit conversion and drive letters.
#pragma once

#include <string>
#include <string_view>

namespace quorvane::sim {

// What an 8-bit Windows file gets: one byte a character, '?' for 256 and above.
inline std::string Narrow8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) out += static_cast<unsigned>(c) < 256 ? static_cast<char>(c) : '?';
  return out;
}

// Matches `text` against a pattern in which `anyRun` stands for any run of characters and
// `oneChar` for exactly one, ignoring ASCII case (file names: '*' and '?'; WQL LIKE: '%' and '_').
inline bool MatchesWildcards(std::wstring_view text, std::wstring_view pattern, wchar_t anyRun,
                             wchar_t oneChar) {
  auto fold = [](wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c; };
  size_t t = 0, p = 0;
  size_t starP = std::wstring_view::npos, starT = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == anyRun) {
      starP = p++;
      starT = t;
    } else if (p < pattern.size() && (pattern[p] == oneChar || fold(pattern[p]) == fold(text[t]))) {
      ++p;
      ++t;
    } else if (starP != std::wstring_view::npos) {
      p = starP + 1;
      t = ++starT;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == anyRun) ++p;
  return p == pattern.size();
}

// "A:" to "Z:", upper case.
inline bool IsDriveLetter(std::wstring_view text) {
  return text.size() == 2 && text[0] >= L'A' && text[0] <= L'Z' && text[1] == L':';
}

}  // namespace quorvane::sim
