// Entry point of quorvane.exe: the real platform and one layout job, or a capture of the machine.
#include <cstdio>
#include <string>

#include "capture/capture_command.h"
#include "platform/win32/capture_system.h"
#include "platform/win32/win32_platform.h"
#include "run/layout_job.h"

int wmain(int argc, wchar_t** argv) {
  if (argc == 1) {
    // First of all: the platform turns the system's critical-error boxes off for the run.
    quorvane::win32::Win32Platform platform;
    // The job's constructor runs the whole layout sequence; the log is the outcome.
    quorvane::CLayoutJob job(platform);
    return 0;
  }
  if (argc == 2 && std::wstring(argv[1]) == L"--version") {
    std::fputs("quorvane.exe " QUORVANE_VERSION "\n", stdout);
    return 0;
  }
  if (argc == 3 && std::wstring(argv[1]) == L"--capture") {
    quorvane::win32::Win32Platform platform;
    quorvane::win32::Win32CaptureSystem system;
    const auto outcome = quorvane::capture::RunCapture(platform, system, argv[2]);
    std::fputs(outcome.output.c_str(), stdout);
    std::fputs(outcome.error.c_str(), stderr);
    return outcome.status;
  }
  // An argument it does not know starts no run: a run changes disks, and a mistyped line in a
  // start script must not do that unnoticed.
  std::fputs("usage: quorvane.exe [--version | --capture FILE]\n", stderr);
  return 2;
}
