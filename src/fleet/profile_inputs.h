// Finding the machine profiles of a batch: files named as they are, folders searched for *.json.
#pragma once

#include <string>
#include <vector>

namespace quorvane::fleet {

// Each input is a profile file (taken whatever its name) or a folder whose entries named *.json
// (any case) are taken, not its subfolders', in name order; the profiles keep the inputs' order,
// spelled as the input spells them (with '/' between names on every system, as the table holds
// them), and a file named twice is taken once. An entry of a folder
// that is not a regular file (a folder, a pipe) is still taken: its row says what it is, so
// nothing is passed over in silence. An input that does not exist, is neither a file nor a
// folder, or is a folder with no *.json, is named in `errors`.
// Each entry of a folder that is not taken is named, with why, in `passedOver`.
std::vector<std::string> FindProfiles(const std::vector<std::string>& inputs,
                                      std::vector<std::string>& errors,
                                      std::vector<std::string>* passedOver = nullptr);

}  // namespace quorvane::fleet
