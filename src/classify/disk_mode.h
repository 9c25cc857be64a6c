// The lines of the mode check, which runs only on a machine with two disks or more.
#pragma once

namespace quorvane {

inline constexpr wchar_t kModeCheckLine[] = L"Start CheckSDDHDDMode";
// Not SSD+HDD mode: the search for a cache SSD follows, and empties the hard disk's slot.
inline constexpr wchar_t kNotSsdHddModeLine[] = L"Not PQSERVICE2 Set m_bSSDHDDMode = false";
// A cache SSD was found (its disk number follows): it becomes the SSD, the hard disk is forgotten.
inline constexpr wchar_t kMiniSsdFoundLine[] = L"Find miniSSD, So Set m_bminiSSD = true";
inline constexpr wchar_t kMiniSsdDiskLine[] = L"miniSSD Info: miniSSD Disk is %d";
// No cache SSD: both the SSD and the hard disk are forgotten.
inline constexpr wchar_t kNoMiniSsdLine[] = L"Can not find miniSSD";

}  // namespace quorvane
