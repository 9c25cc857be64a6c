// How the disk inventory is reached and tried: its namespace, attempts, pauses, result codes and
// failure line.
#pragma once

#include <cstdint>

namespace quorvane {

// The namespace of the disk and partition classes, and how long one row is waited for.
inline constexpr wchar_t kCimNamespace[] = L"\\\\.\\root\\CIMV2";
inline constexpr uint32_t kNextTimeoutMs = 10000;

// The inventory lists only the disks whose WMI MediaType is LIKE this ('%' any run, case
// ignored): fixed hard disks, neither removable media nor external disks.
inline constexpr wchar_t kFixedDiskMediaType[] = L"Fixed%hard%disk%media";

// Both the first inventory and the refresh try this often before going on without it.
inline constexpr int kInventoryAttempts = 20;
inline constexpr uint32_t kInventoryRetryPauseMs = 100;
// The inventory's result codes: what failed, or 0.
enum InventoryResult {
  kComplete = 0,
  kSecurityFailed = 2,
  kLocatorFailed = 3,
  kConnectFailed = 4,
  kQueryFailed = 5,
  kBlanketFailed = 9,
  kNoDisk = 10,  // the disk query listed no fixed disk
};
// Attempt number (from 0) and the inventory's result code.
inline constexpr wchar_t kInventoryErrorLine[] =
    L"[%d]Error Getting System Disk Info. Return Code:%d";

}  // namespace quorvane
