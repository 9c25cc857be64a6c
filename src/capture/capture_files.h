// The files of a capture on the machine: those it read, which its own file must never be, and
// how a profile it wrote is known again, which a later capture may replace.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "capture/machine_facts.h"

namespace quorvane::capture {

// How a captured profile's description begins (ProfileFromFacts).
inline constexpr std::string_view kCapturedBy = "Captured by quorvane.exe --capture on ";

// Each file the capture read through a drive letter ("R:\RecoveryImage\install.wim"). The same
// files read through a partition's device path are left out: no output can be named so.
std::vector<std::wstring> FilesRead(const MachineFacts& facts);

// Whether a file is a profile quorvane.exe --capture wrote: a JSON object whose description
// begins with kCapturedBy. Only a whole file is judged.
bool IsCapturedProfile(std::string_view text, bool whole);

}  // namespace quorvane::capture
