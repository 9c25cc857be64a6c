// The image index the registration passes on: its default, and the files of the listing that finds
// it.
#pragma once

namespace quorvane {

// Registered when no listing tells a better index.
inline constexpr wchar_t kDefaultImageIndex[] = L"2";
// The command file that asks for the image listing, and the listing it leaves.
inline constexpr wchar_t kIndexCommandFile[] = L"X:\\ParseinstallCmd.cmd";
inline constexpr wchar_t kIndexInfoFile[] = L"X:\\ParseinstallInfo.log";

}  // namespace quorvane
