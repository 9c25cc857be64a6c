// Fuzzes the scan of diskpart's report for the system disk's number.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text.h"
#include "classify/system_disk.h"
#include "tests/fuzz/fuzz_check.h"

using namespace quorvane;

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Position of the first token that is one digit (a digit with a blank or an end on each
// side), found character by character rather than token by token.
size_t FirstSingleDigit(std::wstring_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsDigit(text[i]) && (i == 0 || IsBlank(text[i - 1])) &&
        (i + 1 == text.size() || IsBlank(text[i + 1]))) {
      return i;
    }
  }
  return std::wstring_view::npos;
}

// The last token, found from the end.
std::wstring_view LastToken(std::wstring_view text) {
  size_t end = text.size();
  while (end > 0 && IsBlank(text[end - 1])) --end;
  size_t begin = end;
  while (begin > 0 && !IsBlank(text[begin - 1])) --begin;
  return text.substr(begin, end - begin);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::wstring report =
      WidenTextFile(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::wstring token = FindDiskToken(report);

  FUZZ_CHECK(token.size() <= kMaxTokenChars);
  for (wchar_t c : token) FUZZ_CHECK(!IsBlank(c));

  const size_t digit = FirstSingleDigit(report);
  if (digit != std::wstring_view::npos) {
    // The first single-digit token wins, however many tokens follow.
    FUZZ_CHECK(token.size() == 1 && token[0] == report[digit]);
  } else {
    // Otherwise the last token, cut to the buffer; "" for a report of blanks only.
    const std::wstring_view last = LastToken(report);
    FUZZ_CHECK(token == last.substr(0, kMaxTokenChars));
  }

  // The disk number read from the token is never negative; a digit is its own value.
  const int32_t disk = LeadingDigitsValue(token);
  FUZZ_CHECK(disk >= 0);
  if (!token.empty() && IsDigit(token[0])) {
    FUZZ_CHECK(disk == ParseInt32(token));
  } else {
    FUZZ_CHECK(disk == 0);
  }
  if (digit != std::wstring_view::npos) FUZZ_CHECK(disk == report[digit] - L'0');
  return 0;
}
