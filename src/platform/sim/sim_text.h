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

// "A:" to "Z:", upper case.
inline bool IsDriveLetter(std::wstring_view text) {
  return text.size() == 2 && text[0] >= L'A' && text[0] <= L'Z' && text[1] == L':';
}

}  // namespace quorvane::sim
