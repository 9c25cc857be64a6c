// Writing a machine profile as JSON text: the inverse of the loader.
#pragma once

#include <string>

#include "platform/sim/profile.h"

namespace quorvane::sim {

// JSON text that LoadProfile reads back into the same profile. Fields equal to what the loader
// would fill in anyway are left out where that keeps the text short (a partition that is not
// hidden, a disk with its medium); short objects stay on one line, so a disk's partitions read
// as a table.
std::string WriteProfile(const Profile& profile);

}  // namespace quorvane::sim
