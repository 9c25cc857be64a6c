// How the disk inventory is tried: attempts, the pause between them, and the line of a failure.
#pragma once

#include <cstdint>

namespace quorvane {

// Both the first inventory and the refresh try this often before going on without it.
inline constexpr int kInventoryAttempts = 20;
inline constexpr uint32_t kInventoryRetryPauseMs = 100;
// Attempt number (from 0) and the inventory's result code.
inline constexpr wchar_t kInventoryErrorLine[] =
    L"[%d]Error Getting System Disk Info. Return Code:%d";

}  // namespace quorvane
