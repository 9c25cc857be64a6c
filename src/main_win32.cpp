// Entry point of quorvane.exe: the real platform and one layout job; the log is the outcome.
#include <cstdio>
#include <cwchar>

#include "platform/win32/win32_platform.h"
#include "run/layout_job.h"

int wmain(int argc, wchar_t** argv) {
  // Without arguments it does its one job. An argument it does not know starts no run: a run
  // changes disks, and a mistyped line in a start script must not do that unnoticed.
  if (argc > 1) {
    if (argc == 2 && std::wcscmp(argv[1], L"--version") == 0) {
      std::fputs("quorvane.exe " QUORVANE_VERSION "\n", stdout);
      return 0;
    }
    std::fputs("usage: quorvane.exe [--version] (without arguments it runs the layout)\n", stderr);
    return 2;
  }
  // First of all: the platform turns the system's critical-error boxes off for the run.
  quorvane::win32::Win32Platform platform;
  // The job's constructor runs the whole layout sequence.
  quorvane::CLayoutJob job(platform);
  return 0;
}
