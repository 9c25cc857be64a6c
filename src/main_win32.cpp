// Entry point of quorvane.exe: the real platform and one layout job; the log is the outcome.
#include "platform/win32/win32_platform.h"
#include "run/layout_job.h"

int wmain() {
  // First of all: the platform turns the system's critical-error boxes off for the run.
  quorvane::win32::Win32Platform platform;
  // The job's constructor runs the whole layout sequence.
  quorvane::CLayoutJob job(platform);
  return 0;
}
