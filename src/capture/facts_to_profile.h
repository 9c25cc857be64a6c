// Turning a machine's raw facts into the machine profile the simulator runs, with a note for each
// fact that could not be read and what was assumed instead.
#pragma once

#include <string>

#include "capture/machine_facts.h"
#include "platform/sim/profile.h"

namespace quorvane::capture {

// `name` is the profile's name (UTF-8). The profile is one the loader accepts as it stands.
sim::Profile ProfileFromFacts(const MachineFacts& facts, const std::string& name);

}  // namespace quorvane::capture
