// What the recovery-image registration works with: its letters, the image files and the script.
#pragma once

#include <cstdint>

namespace quorvane {

inline constexpr wchar_t kToolsLetter[] = L"W:";
inline constexpr wchar_t kOsLetter[] = L"C:";
inline constexpr wchar_t kRegisterLine[] = L"Register PBR";
// The pause after W: and C: are mapped, before the image is looked at.
inline constexpr uint32_t kLetterSettleMs = 2000;
inline constexpr wchar_t kRecoveryImageFolder[] = L"M:\\RecoveryImage";
inline constexpr wchar_t kSingleImage[] = L"M:\\RecoveryImage\\install.wim";
inline constexpr wchar_t kSplitImage[] = L"M:\\RecoveryImage\\install.swm";
inline constexpr wchar_t kRegistrationScript[] = L"M:\\RyTools\\RegisterInstall.cmd";
// The recovery agent needs the image folder above and this Windows folder as its target.
inline constexpr wchar_t kRegistrationTarget[] = L"C:\\Windows";
// The script's one line: image folder, target folder, image index.
inline constexpr wchar_t kRegistrationLine[] =
    L"C:\\Windows\\System32\\ReagentC /setosimage /path %s /target %s /index %s\n";

}  // namespace quorvane
