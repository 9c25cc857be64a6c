// Reading the disk number out of diskpart's report on the system disk.
#pragma once

#include <string>
#include <string_view>

namespace quorvane {

constexpr size_t kMaxTokenChars = 1023;

// The first white-space-separated token that is one decimal digit, else the last
// token, else "". Tokens longer than kMaxTokenChars are cut to that length and
// the rest of them is passed over.
std::wstring FindDiskToken(std::wstring_view report);

// The value of the token's leading digits; 0 when it does not start with a digit.
int32_t LeadingDigitsValue(std::wstring_view token);

}  // namespace quorvane
