// Entry point of quorvane.exe: the real platform and one layout job, a capture of the machine, or
// a what-if run of the machine captured in memory.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "capture/capture_command.h"
#include "exe/command_line.h"
#include "exe/run_console.h"
#include "platform/win32/capture_system.h"
#include "platform/win32/console.h"
#include "platform/win32/error_reason.h"
#include "platform/win32/win32_platform.h"
#include "run/layout_job.h"
#include "whatif/exit_status.h"
#include "whatif/what_if.h"

namespace {

// A path the user gave, in full and with '\': where the file really goes, whatever the current
// folder (in WinPE, X:\Windows\System32). Empty stays empty.
std::wstring FullPath(const std::wstring& given) {
  if (given.empty()) return given;
  std::error_code ec;
  std::filesystem::path full = std::filesystem::absolute(given, ec);
  return ec ? given : full.make_preferred().wstring();
}

// The real run: a line when it starts, the job (whose constructor runs the whole layout
// sequence), and the road and where its log is when it ends. The log stays the run's outcome;
// the exit status is 0 whatever happened.
int RealRun() {
  std::cout << quorvane::exe::RunStartLine(QUORVANE_VERSION) << std::flush;
  // First of all: the platform turns the system's critical-error boxes off for the run.
  quorvane::win32::Win32Platform platform;
  quorvane::exe::LogWatch logs;
  platform.WatchIniWrites([&logs](const std::wstring& file, bool written, uint32_t error) {
    logs.Record(file, written, written ? "" : quorvane::win32::FileErrorReason(file, error));
  });
  quorvane::Road road;
  {
    quorvane::CLayoutJob job(platform);
    road = job.m_Road;
  }
  std::cout << quorvane::exe::RunEndLines(road, logs.Files(), platform);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Every line the program prints goes through the console's output from here on.
  quorvane::win32::ConsoleOutput console;
  const quorvane::exe::CommandLine line =
      quorvane::exe::ParseCommandLine(std::vector<std::wstring>(argv + 1, argv + argc));
  using Mode = quorvane::exe::CommandLine::Mode;
  switch (line.mode) {
    case Mode::Run:
      return RealRun();
    case Mode::Version:
      std::cout << "quorvane.exe " QUORVANE_VERSION "\n";
      return 0;
    case Mode::Help:
      std::cout << quorvane::exe::HelpText(QUORVANE_VERSION);
      return 0;
    case Mode::Capture: {
      // FILE is checked before the machine is read, and again against the files it read.
      const auto check = [&line](const std::vector<std::wstring>& read) {
        return quorvane::whatif::CheckCaptureFile(line.file, read);
      };
      if (const std::string refused = check({}); !refused.empty()) {
        std::cerr << "quorvane: " << refused << "\n";
        return quorvane::whatif::kUsage;
      }
      quorvane::win32::Win32Platform platform;
      quorvane::win32::Win32CaptureSystem system;
      const auto outcome =
          quorvane::capture::RunCapture(platform, system, line.file, check, FullPath(line.file));
      std::cout << outcome.output;
      std::cerr << outcome.error;
      return outcome.status;
    }
    case Mode::WhatIf: {
      quorvane::win32::Win32Platform platform;
      quorvane::win32::Win32CaptureSystem system;
      std::error_code ec;
      const quorvane::whatif::WhatIfOptions options{FullPath(line.outDir), FullPath(line.htmlPath),
                                                    std::filesystem::temp_directory_path(ec),
                                                    console.colour()};
      return quorvane::whatif::RunWhatIf(platform, system, options, std::cout, std::cerr);
    }
    case Mode::Usage:
      break;
  }
  std::cerr << quorvane::exe::UsageText(line.problem);
  return quorvane::whatif::kUsage;
}
