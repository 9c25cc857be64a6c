// Reading a machine profile from JSON text, with every default and a strict check of each field.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/sim/profile.h"

namespace quorvane::sim {

// One line: the file, the JSON path of the bad field, what was expected and
// what was found.
class ProfileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// `fileName` names the profile in errors; its stem is the default `name`.
Profile LoadProfile(std::string_view jsonText, const std::string& fileName);

// Reads the file and loads it; a file that cannot be read is a ProfileError too.
Profile LoadProfileFile(const std::string& path);

}  // namespace quorvane::sim
