// The lines of the refresh: its frame, each disk and partition it lists, and the role each
// partition is found to play.
#pragma once

#include <cstdint>

namespace quorvane {

inline constexpr wchar_t kRefreshLine[] =
    L"###################Updata Disk Info########################";
inline constexpr wchar_t kRefreshEndLine[] =
    L"######################################################";
// Every attempt of the refresh failed: no roles, no disks.
inline constexpr wchar_t kRefreshFailedLine[] = L"Error Getting System Disk Info";
// Disk number, caption, device ID, WMI partition count, size in MB, "GPT" or "MBR".
inline constexpr wchar_t kDiskLine[] = L"HDD %d, %s, %s, #P=%d, %d, %s";
inline constexpr wchar_t kGptStyle[] = L"GPT";
inline constexpr wchar_t kMbrStyle[] = L"MBR";
// Table position, disk number, WMI partition index, letter, label, size in GB, type.
inline constexpr wchar_t kPartitionLine[] = L"[%d]%d %d %s %s %.2fGB %s";
// The refresh paces itself: this pause follows each partition line.
inline constexpr uint32_t kPartitionLinePauseMs = 500;

// Role lines: the key names the role, the value where it was found (disk, 1-based partition
// number, the disk's device ID).
inline constexpr wchar_t kQhpRoleLine[] = L"QHP existence";
inline constexpr wchar_t kPbrRoleLine[] = L"PBR existence";
inline constexpr wchar_t kSsdRoleLine[] = L"SSD existence";
inline constexpr wchar_t kHddRoleLine[] = L"HDD existence";
inline constexpr wchar_t kSysRoleLine[] = L"SYS existence";
inline constexpr wchar_t kEfiRoleLine[] = L"EFI existence";
inline constexpr wchar_t kOsRoleLine[] = L"OS existence";
inline constexpr wchar_t kRecoveryRoleLine[] = L"RECOVERY existence";
inline constexpr wchar_t kRoleValue[] = L"true on %d %d %s";

// The SSD by size, on two disks or more without a hard disk of its own recovery partition:
// the number of SSD-sized disks, then the SSD role line (a restatement when the count is 0).
inline constexpr wchar_t kSsdCountLine[] = L"SSDCount = %d";

}  // namespace quorvane
