// Mapping drive letters onto partition device paths and taking them away again.
#pragma once

#include <cstdint>
#include <string>

#include "letters/device_path.h"
#include "platform/platform.h"

namespace quorvane {

// The buffer a letter's current target is read into.
inline constexpr uint32_t kTargetBufferChars = 2048;

// A mapping is tried this often, with this pause after each failure, before the box is shown.
inline constexpr int kMountAttempts = 10;
inline constexpr uint32_t kMountRetryPauseMs = 300;
inline constexpr wchar_t kMountFailedText[] = L"Mount Failed";

// Maps `letter` onto `target` (up to 10 attempts, 300 ms after each failure, the
// "Mount Failed" box after the tenth); true when the mapping was made.
bool MountPartition(Platform& platform, const std::wstring& letter, const std::wstring& target);

// Removes exactly the definition of `letter` that is in force, if any.
void RemoveLetterMapping(Platform& platform, const std::wstring& letter);

}  // namespace quorvane
