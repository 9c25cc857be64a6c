// Text helpers shared by every layer: typed printf-style formatting, ASCII case, numbers, white
// space, 8-bit and UTF-8 text, wildcards and drive letters.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <variant>

namespace quorvane {

// One argument of Format: a signed or unsigned number, a floating value or a text. A text is
// held as a view: arguments live until the end of the call they are written in.
struct FormatArg {
  std::variant<int64_t, uint64_t, double, std::wstring_view> value;
  FormatArg(int v) : value(int64_t{v}) {}
  FormatArg(long v) : value(int64_t{v}) {}
  FormatArg(long long v) : value(int64_t{v}) {}
  FormatArg(unsigned v) : value(uint64_t{v}) {}
  FormatArg(unsigned long v) : value(uint64_t{v}) {}
  FormatArg(unsigned long long v) : value(uint64_t{v}) {}
  FormatArg(double v) : value(v) {}
  FormatArg(float v) : value(double{v}) {}
  FormatArg(const std::wstring& v) : value(std::wstring_view(v)) {}
  FormatArg(std::wstring_view v) : value(v) {}
  FormatArg(const wchar_t* v) : value(std::wstring_view(v)) {}
};

// printf-style formatting with the conversions the program's texts use:
// %d %u %x %s %f, an optional width, "-" flag and precision, and %%. It behaves
// the same on every platform (the wide printf family does not).
std::wstring Format(std::wstring_view format, std::initializer_list<FormatArg> args);

// Decimal digits of a number, a minus sign before a negative one (what "%d" and "%u" print).
std::wstring DecimalText(int64_t value);

// ASCII a-z to A-Z (and back); every other character is left as it is.
std::wstring ToUpperAscii(std::wstring_view text);
std::wstring ToLowerAscii(std::wstring_view text);
void MakeUpperAsciiInPlace(std::wstring& text);
bool EqualsIgnoreCaseAscii(std::wstring_view a, std::wstring_view b);
bool StartsWith(std::wstring_view text, std::wstring_view prefix);
bool Contains(std::wstring_view text, std::wstring_view part);

// Decimal parsing as the C library's wcstol/_wtoi family does it: leading white
// space, an optional sign, then digits up to the first other character; 0 when no
// digit follows. Values out of range saturate at the type's limits.
int32_t ParseInt32(std::wstring_view text);
int64_t ParseInt64(std::wstring_view text);

// White space as iswspace defines it for the C locale: blank, tab, line feed, vertical tab, form
// feed, carriage return.
bool IsSpace(wchar_t c);
// Trim white space (IsSpace) at both ends.
std::wstring Trim(std::wstring_view text);

// 8-bit text as the program's text streams see it: each byte is one character;
// CR LF pairs become "\n".
std::wstring WidenTextFile(std::string_view bytes);
// What an 8-bit Windows file gets: one byte a character, '?' for 256 and above.
std::string Narrow8(std::wstring_view text);
// UTF-8 of 8-bit text, each byte the character of that number (the reverse of Narrow8 for
// characters below 256).
std::string Utf8From8Bit(std::string_view bytes);
// UTF-8 for host-side texts (profile fields, summaries).
std::wstring FromUtf8(std::string_view text);
std::string ToUtf8(std::wstring_view text);

// Matches `text` against a pattern in which `anyRun` stands for any run of characters and
// `oneChar` for exactly one, ignoring ASCII case (file names: '*' and '?'; WQL LIKE: '%' and '_').
bool MatchesWildcards(std::wstring_view text, std::wstring_view pattern, wchar_t anyRun,
                      wchar_t oneChar);

// "A:" to "Z:", upper case.
bool IsDriveLetter(std::wstring_view text);

}  // namespace quorvane
