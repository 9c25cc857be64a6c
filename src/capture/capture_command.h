// quorvane.exe --capture FILE: the machine as a run would see it at its start, written as a
// machine profile for quorvane-sim.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "capture/capture_system.h"
#include "platform/platform.h"

namespace quorvane::capture {

struct CaptureOutcome {
  int status = 0;      // 0 written; 1 the machine could not be read or FILE not written; 2 refused
  std::string output;  // for standard output: what was written, then the notes by group
  std::string error;   // for standard error
};

// Whether FILE may be written, now that the capture has read the machine: empty, or the one line
// that refuses it (it is one of the files the capture read, ...).
using OutputCheck = std::function<std::string(const std::vector<std::wstring>& filesRead)>;

// `shownAs` is FILE as the output and a failure to write it name it (its full path); empty: as
// given.
CaptureOutcome RunCapture(Platform& platform, CaptureSystem& system, const std::wstring& file,
                          const OutputCheck& check = {}, const std::wstring& shownAs = L"");

// A profile's name from its file: the name without folders and without its last extension.
std::string ProfileNameOf(const std::wstring& file);

}  // namespace quorvane::capture
