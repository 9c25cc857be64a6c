// What in a simulated run would surprise a technician on the real machine.
#pragma once

#include <nlohmann/json.hpp>

#include "platform/sim/sim_platform.h"

namespace quorvane::sim {

// Each warning is {"kind", "text"}; kinds: "letter-role", "disk-cleaned",
// "message-box", "lost-log-line", "command-failed". Read from the machine as
// the run left it.
nlohmann::ordered_json BuildWarnings(const SimPlatform& machine);

}  // namespace quorvane::sim
