// What a path given on a fleet command line is: a file, a folder, or an error.
#pragma once

#include <string>
#include <vector>

namespace quorvane::fleet {

enum class InputKind { File, Folder, Refused };

// A regular file or a folder (links followed); anything else is refused with a line in `errors`:
// a path that does not exist, or one that is neither (a pipe or a device would block a reader or
// never end).
InputKind KindOfInput(const std::string& input, std::vector<std::string>& errors);

}  // namespace quorvane::fleet
