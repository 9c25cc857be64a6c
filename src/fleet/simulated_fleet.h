// A batch of machine profiles run through the engine: one simulated run a profile, on threads.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "fleet/fleet_row.h"

namespace quorvane::fleet {

// A profile is a few kilobytes; a file far larger is no profile and is not read into memory.
inline constexpr uintmax_t kMaxProfileBytes = uintmax_t{64} << 20;

// The row of one profile: its run's report on the row, or a bad-profile row when the file is not
// a regular file of at most kMaxProfileBytes or the loader refuses it.
FleetRow SimulateProfile(const std::string& path);

// Every profile, `jobs` at a time (at least one, at most one a profile); the rows stand in the
// order of `profiles` whatever the threads did. Each run has its own machine and run context, and
// nothing they use keeps state between runs. `progress`, when given, is called on the calling
// thread about five times a second with the number of profiles done, and once at the end. A
// failure of quorvane-sim itself (not a bad profile) stops the batch and is thrown.
std::vector<FleetRow> SimulateFleet(const std::vector<std::string>& profiles, unsigned jobs,
                                    const std::function<void(size_t done)>& progress = {});

}  // namespace quorvane::fleet
