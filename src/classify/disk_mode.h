// The first line of the mode check, which runs only on a machine with two disks or more.
#pragma once

namespace quorvane {

inline constexpr wchar_t kModeCheckLine[] = L"Start CheckSDDHDDMode";

}  // namespace quorvane
