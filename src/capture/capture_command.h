// quorvane.exe --capture FILE: the machine as a run would see it at its start, written as a
// machine profile for quorvane-sim.
#pragma once

#include <string>

#include "capture/capture_system.h"
#include "platform/platform.h"

namespace quorvane::capture {

struct CaptureOutcome {
  int status = 0;      // 0 written; 1 the machine could not be read or FILE not written
  std::string output;  // for standard output: what was written, then each note
  std::string error;   // for standard error
};

CaptureOutcome RunCapture(Platform& platform, CaptureSystem& system, const std::wstring& file);

// A profile's name from its file: the name without folders and without its last extension.
std::string ProfileNameOf(const std::wstring& file);

}  // namespace quorvane::capture
