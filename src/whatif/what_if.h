// quorvane.exe --what-if: the machine captured in memory and run as quorvane-sim runs a profile, so
// the engine only ever changes the simulated copy.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "capture/capture_system.h"
#include "platform/platform.h"

namespace quorvane::whatif {

struct WhatIfOptions {
  std::filesystem::path outDir;      // empty: a new folder under `tempFolder`
  std::filesystem::path htmlPath;    // the layout picture; empty: none
  std::filesystem::path tempFolder;  // the user's folder for temporary files; empty: unknown
  bool colour = false;
};

// Captures the machine through `platform` and `system` (reading only), runs the profile and writes
// the outputs as RunProfile does. The profile is named after the output folder. Returns an exit
// status (exit_status.h).
int RunWhatIf(Platform& platform, capture::CaptureSystem& system, const WhatIfOptions& options,
              std::ostream& out, std::ostream& err);

// The file of quorvane.exe --capture checked against the output policy (output_policy.h), and
// against the files the capture read (`read`, empty before it reads): empty, or the one line that
// refuses it. A profile the capture wrote before may be replaced, nothing else.
std::string CheckCaptureFile(const std::filesystem::path& file,
                             const std::vector<std::wstring>& read);

// A folder under `temp` that does not exist yet, named after the capture's start:
// quorvane-what-if-20261207-140503, then -2, -3, ... when that name is taken.
std::filesystem::path NewOutFolder(const std::filesystem::path& temp, const LocalTime& start);

}  // namespace quorvane::whatif
