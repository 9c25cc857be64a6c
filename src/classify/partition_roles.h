// Lines of the refresh that a reader of the log needs: the SSD and hard-disk roles, and its
// failure.
#pragma once

namespace quorvane {

// A role line's value is "true on <disk> <partition> <device>".
inline constexpr wchar_t kSsdRoleLine[] = L"SSD existence";
inline constexpr wchar_t kHddRoleLine[] = L"HDD existence";
// Every attempt of the refresh failed: its tables hold no finding of this run.
inline constexpr wchar_t kRefreshFailedLine[] = L"Error Getting System Disk Info";

}  // namespace quorvane
