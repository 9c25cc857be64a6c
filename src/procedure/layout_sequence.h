// Lines of the main sequence that tell what a run decided, and the letter of the recovery
// partition.
#pragma once

namespace quorvane {

// The push-button-recovery partition's letter; the log folder once it is mapped.
inline constexpr wchar_t kPbrLetter[] = L"M:";

inline constexpr wchar_t kSmbiosFailLine[] = L"Get SMBIOS fail";
inline constexpr wchar_t kInventoryLine[] = L"Get Disk info";
inline constexpr wchar_t kPbrPartitionLine[] = L"PBR Partition";  // value: the device path
inline constexpr wchar_t kPbrLetterLine[] = L"PBR letter";        // value: "M:"
// The flag summary: the three flags between two separator lines, values "true" or "false".
inline constexpr wchar_t kSeparatorLine[] = L"============================================";
inline constexpr wchar_t kSsdHddModeLine[] = L"m_bSSDHDDMode";
inline constexpr wchar_t kMiniSsdLine[] = L"m_bminiSSD";
inline constexpr wchar_t kRapidStartLine[] = L"m_biRST";
// The third road: nothing is changed.
inline constexpr wchar_t kNoRoadLine[] = L"Not SSD is small than 64GB";

}  // namespace quorvane
