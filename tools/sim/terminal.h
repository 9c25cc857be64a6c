// What quorvane-sim knows of where its output goes, found out by the entry point of each system.
#pragma once

namespace quorvane::sim {

struct Terminal {
  bool colour = false;    // the summary may use ANSI colours
  bool progress = false;  // standard error shows a redrawn progress line
};

}  // namespace quorvane::sim
