// The disk-size limits the classification decides by, in whole MB.
#pragma once

#include <cstdint>

namespace quorvane {

// At most this size a disk is an SSD below 64 GB, and a cache SSD (mini-SSD).
inline constexpr int32_t kSmallSsdLimitMB = 59392;
// At most this size a disk counts as SSD-sized; larger ones are hard disks.
inline constexpr int32_t kSsdSizedLimitMB = 163840;

}  // namespace quorvane
