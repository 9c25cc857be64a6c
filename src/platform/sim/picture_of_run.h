// The layout picture of a finished simulated run, built from the loaded profile, the machine and
// its summary.
#pragma once

#include <filesystem>
#include <nlohmann/json.hpp>

#include "platform/sim/layout_picture.h"
#include "platform/sim/profile.h"
#include "platform/sim/sim_platform.h"

namespace quorvane::sim {

// `loaded` is the profile as it was before the run; `summary` is what BuildSummary made of the
// run, so the picture tells the same road, flags, roles, letters and warnings.
LayoutPicture PictureOfRun(const Profile& loaded, const SimPlatform& machine,
                           const nlohmann::ordered_json& summary);

// Writes the page to `file`; throws std::runtime_error when it cannot.
void WriteLayoutPicture(const LayoutPicture& picture, const std::filesystem::path& file);

}  // namespace quorvane::sim
