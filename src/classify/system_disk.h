// Reading the disk number out of diskpart's report on the system disk.
#pragma once

#include <string>
#include <string_view>

namespace quorvane {

constexpr size_t kMaxTokenChars = 1023;

// The probe asks diskpart for the system disk: its script, the command file that runs it (the
// logged command) and the report it leaves.
inline constexpr wchar_t kProbeScript[] = L"X:\\GetSystemPart.ini";
inline constexpr wchar_t kProbeCommand[] = L"X:\\GetSystemPart.cmd";
inline constexpr wchar_t kProbeReport[] = L"X:\\GetSystemPart.txt";

// The disk that stands in for the missing push-button-recovery partition (its partition 1):
// the first one beyond the cache-SSD size, the probe's token (the value), or the default.
inline constexpr wchar_t kFirstBootDiskLine[] =
    L"Not QHP in system and try to find out bios first boot disk %d";
inline constexpr wchar_t kProbeTokenLine[] =
    L"Not QHP in system and try to find out bios first boot disk";
inline constexpr wchar_t kDefaultDiskLine[] = L"QHP isn't exist, set default disk as disk %d";

// The first white-space-separated token that is one decimal digit, else the last
// token, else "". Tokens longer than kMaxTokenChars are cut to that length and
// the rest of them is passed over.
std::wstring FindDiskToken(std::wstring_view report);

// The value of the token's leading digits; 0 when it does not start with a digit.
int32_t LeadingDigitsValue(std::wstring_view token);

}  // namespace quorvane
