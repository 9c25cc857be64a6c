// Text helpers: typed formatting, ASCII case mapping, decimal parsing, trimming, 8-bit and UTF-8
// text, wildcards.
#include "base/text.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace quorvane {
namespace {

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

// The digits of a number, written backwards from the end of `buffer`; returns where they start.
wchar_t* Digits(uint64_t value, wchar_t* end) {
  do {
    *--end = static_cast<wchar_t>(L'0' + value % 10);
    value /= 10;
  } while (value != 0);
  return end;
}

// Appends one conversion to `out`, padded with blanks to `width` (on the right when `left`).
void AppendConverted(std::wstring& out, wchar_t conversion, int precision, const FormatArg& arg,
                     int width, bool left) {
  wchar_t digits[24];
  wchar_t* const end = digits + 24;
  std::wstring_view body;
  std::wstring owned;
  char buffer[512];
  const auto& v = arg.value;
  const auto* text = std::get_if<std::wstring_view>(&v);
  const bool isDouble = std::holds_alternative<double>(v);
  const bool numeric = conversion != L'x' && conversion != L'f';
  if (conversion == L'd' || conversion == L'u' || (numeric && text == nullptr && !isDouble)) {
    uint64_t magnitude = 0;
    bool negative = false;
    if (const auto* s = std::get_if<int64_t>(&v)) {
      negative = *s < 0;
      magnitude = negative ? 0 - static_cast<uint64_t>(*s) : static_cast<uint64_t>(*s);
    } else if (const auto* u = std::get_if<uint64_t>(&v)) {
      magnitude = *u;
    } else if (const auto* d = std::get_if<double>(&v)) {
      const auto whole = static_cast<int64_t>(*d);
      negative = whole < 0;
      magnitude = negative ? 0 - static_cast<uint64_t>(whole) : static_cast<uint64_t>(whole);
    }
    if (text != nullptr) {
      body = *text;
    } else {
      wchar_t* start = Digits(magnitude, end);
      if (negative) *--start = L'-';
      body = std::wstring_view(start, static_cast<size_t>(end - start));
    }
  } else if (conversion == L'x') {
    uint64_t n = 0;
    if (const auto* s = std::get_if<int64_t>(&v)) n = static_cast<uint32_t>(*s);
    if (const auto* u = std::get_if<uint64_t>(&v)) n = *u;
    std::snprintf(buffer, sizeof buffer, "%llx", static_cast<unsigned long long>(n));
    owned = Widen(buffer);
    body = owned;
  } else if (conversion == L'f') {
    double d = 0;
    if (const auto* s = std::get_if<int64_t>(&v)) d = static_cast<double>(*s);
    if (const auto* u = std::get_if<uint64_t>(&v)) d = static_cast<double>(*u);
    if (const auto* f = std::get_if<double>(&v)) d = *f;
    std::snprintf(buffer, sizeof buffer, "%.*f", precision < 0 ? 6 : precision, d);
    owned = Widen(buffer);
    body = owned;
  } else if (text != nullptr) {
    body = precision >= 0 ? text->substr(0, static_cast<size_t>(precision)) : *text;
  } else {
    owned = std::to_wstring(std::get<double>(v));
    body = owned;
  }
  const size_t fill =
      width > 0 && body.size() < static_cast<size_t>(width) ? width - body.size() : 0;
  if (!left) out.append(fill, L' ');
  out.append(body);
  if (left) out.append(fill, L' ');
}

}  // namespace

std::wstring DecimalText(int64_t value) {
  wchar_t buffer[24];
  wchar_t* end = buffer + 24;
  // The magnitude of the most negative value does not fit an int64_t: negate as unsigned.
  const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : value;
  wchar_t* start = Digits(magnitude, end);
  if (value < 0) *--start = L'-';
  return std::wstring(start, end);
}

std::wstring Format(std::wstring_view format, std::initializer_list<FormatArg> args) {
  std::wstring out;
  out.reserve(format.size() + 16);
  auto next = args.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != L'%') {  // the literal text up to the next conversion, at once
      const size_t percent = std::min(format.find(L'%', i), format.size());
      out.append(format.substr(i, percent - i));
      i = percent - 1;
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == L'%') {
      out += L'%';
      ++i;
      continue;
    }
    size_t j = i + 1;
    bool left = false;
    while (j < format.size() && (format[j] == L'-' || format[j] == L'0' || format[j] == L'+')) {
      left = left || format[j] == L'-';
      ++j;
    }
    int width = 0;
    while (j < format.size() && format[j] >= L'0' && format[j] <= L'9')
      width = width * 10 + (format[j++] - L'0');
    int precision = -1;
    if (j < format.size() && format[j] == L'.') {
      precision = 0;
      ++j;
      while (j < format.size() && format[j] >= L'0' && format[j] <= L'9')
        precision = precision * 10 + (format[j++] - L'0');
    }
    while (j < format.size() && (format[j] == L'l' || format[j] == L'h')) ++j;  // %ls, %ld
    if (j >= format.size()) {
      out.append(format.substr(i));
      break;
    }
    wchar_t conversion = format[j];
    if (next == args.end()) {
      out.append(format.substr(i, j - i + 1));
    } else {
      AppendConverted(out, conversion, precision, *next++, width, left);
    }
    i = j;
  }
  return out;
}

std::wstring ToUpperAscii(std::wstring_view text) {
  std::wstring out(text);
  MakeUpperAsciiInPlace(out);
  return out;
}

std::wstring ToLowerAscii(std::wstring_view text) {
  std::wstring out(text);
  for (auto& c : out) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return out;
}

void MakeUpperAsciiInPlace(std::wstring& text) {
  for (auto& c : text) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
}

bool EqualsIgnoreCaseAscii(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  auto upper = [](wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c; };
  for (size_t i = 0; i < a.size(); ++i)
    if (upper(a[i]) != upper(b[i])) return false;
  return true;
}

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool Contains(std::wstring_view text, std::wstring_view part) {
  return text.find(part) != std::wstring_view::npos;
}

bool IsSpace(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

namespace {
template <typename T>
T ParseSaturating(std::wstring_view text) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  // Accumulate as a negative number so that the minimum value fits.
  T value = 0;
  bool overflow = false;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    T digit = static_cast<T>(text[i] - L'0');
    if (value < (std::numeric_limits<T>::min() + digit) / 10) {
      overflow = true;
      continue;
    }
    value = static_cast<T>(value * 10 - digit);
  }
  if (overflow) return negative ? std::numeric_limits<T>::min() : std::numeric_limits<T>::max();
  if (negative) return value;
  return value == std::numeric_limits<T>::min() ? std::numeric_limits<T>::max()
                                                : static_cast<T>(-value);
}
}  // namespace

int32_t ParseInt32(std::wstring_view text) { return ParseSaturating<int32_t>(text); }
int64_t ParseInt64(std::wstring_view text) { return ParseSaturating<int64_t>(text); }

std::wstring Trim(std::wstring_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsSpace(text[begin])) ++begin;
  while (end > begin && IsSpace(text[end - 1])) --end;
  return std::wstring(text.substr(begin, end - begin));
}

std::wstring WidenTextFile(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    out += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
  }
  return out;
}

std::string Narrow8(std::wstring_view text) {
  std::string out(text.size(), '\0');
  for (size_t i = 0; i < text.size(); ++i)
    out[i] = static_cast<uint32_t>(text[i]) < 256 ? static_cast<char>(text[i]) : '?';
  return out;
}

std::wstring FromUtf8(std::string_view text) {
  std::wstring out;
  for (size_t i = 0; i < text.size();) {
    auto b = static_cast<unsigned char>(text[i]);
    uint32_t cp = b;
    size_t extra = 0;
    if (b >= 0xF0) {
      cp = b & 0x07;
      extra = 3;
    } else if (b >= 0xE0) {
      cp = b & 0x0F;
      extra = 2;
    } else if (b >= 0xC0) {
      cp = b & 0x1F;
      extra = 1;
    } else if (b >= 0x80) {
      cp = 0xFFFD;
    }
    ++i;
    for (size_t k = 0; k < extra; ++k, ++i) {
      if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
        cp = 0xFFFD;
        break;
      }
      cp = (cp << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    }
    if (cp > 0x10FFFF) cp = 0xFFFD;
    if (sizeof(wchar_t) == 2 && cp > 0xFFFF) {
      cp -= 0x10000;
      out += static_cast<wchar_t>(0xD800 + (cp >> 10));
      out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<wchar_t>(cp);
    }
  }
  return out;
}

std::string Utf8From8Bit(std::string_view bytes) {
  if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; })) {
    return std::string(bytes);
  }
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xC0 | (b >> 6));
      out += static_cast<char>(0x80 | (b & 0x3F));
    }
  }
  return out;
}

std::string ToUtf8(std::wstring_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = static_cast<uint32_t>(text[i]);
    if (sizeof(wchar_t) == 2 && cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size()) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<uint32_t>(text[++i]) - 0xDC00);
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

bool MatchesWildcards(std::wstring_view text, std::wstring_view pattern, wchar_t anyRun,
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

bool IsDriveLetter(std::wstring_view text) {
  return text.size() == 2 && text[0] >= L'A' && text[0] <= L'Z' && text[1] == L':';
}

}  // namespace quorvane
