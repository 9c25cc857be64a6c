// Rapid-start carving: the script's name, the sizes that decide the partition, and its skip lines.
#pragma once

#include <cstdint>
#include <string>

namespace quorvane {

// Written on the RAM drive "X:" by the carving step; copied to the tools folder afterwards.
inline constexpr wchar_t kScriptFolder[] = L"X:";
inline constexpr wchar_t kRapidStartScriptName[] = L"\\NAPP2P_SSDHDD.ini";
// The command that carves, with the script's path; logged as it is run.
inline constexpr wchar_t kCarveCommandLine[] = L"Diskpart.exe /s %s";
// X:\NAPP2P_SSDHDD.ini, and the command line that runs it: what the carving writes and logs.
std::wstring RapidStartScriptPath();
std::wstring CarveCommandLine();

// The road's first line, then the cache SSD's disk number.
inline constexpr wchar_t kCarveLine[] =
    L"SSD is small than 64GB, and need iRST partition (No iSRT).";
inline constexpr wchar_t kCarveDiskLine[] = L"SSD Disk %d cut for iRST";

// The cache beside the rapid-start partition keeps at least this much of the disk.
inline constexpr uint32_t kCacheMinimumMB = 15259;
inline constexpr uint32_t kLargeRapidStartMB = 8192;
// A cache SSD that can hold the 8 GB rapid-start partition beside the minimum cache.
inline constexpr uint32_t kRapidStartLimitMB = kLargeRapidStartMB + kCacheMinimumMB;

// Logged instead of carving when the disk holds a partition the run depends on (Windows, its boot
// or recovery partitions, the log).
inline constexpr wchar_t kInUseSkipLine[] = L"Mini SSD holds partitions in use, skip cutting";
// Logged instead of carving when the partition would come out empty or negative.
inline constexpr wchar_t kTooSmallSkipLine[] = L"Mini SSD too small for iRST, skip cutting";

}  // namespace quorvane
