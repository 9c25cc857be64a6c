// Entry point of quorvane.exe: the real platform and one layout job, a capture of the machine, or
// a what-if run of the machine captured in memory.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "capture/capture_command.h"
#include "platform/win32/capture_system.h"
#include "platform/win32/console.h"
#include "platform/win32/win32_platform.h"
#include "run/layout_job.h"
#include "whatif/exit_status.h"
#include "whatif/what_if.h"

namespace {

constexpr char kUsageLine[] =
    "usage: quorvane.exe [--version | --capture FILE | --what-if [--out DIR] [--html FILE]]\n";

struct CommandLine {
  enum class Mode { Run, Version, Capture, WhatIf, Usage };
  Mode mode = Mode::Run;
  std::wstring file;      // --capture FILE
  std::wstring outDir;    // --what-if --out DIR
  std::wstring htmlPath;  // --what-if --html FILE
};

// The whole command line: no argument runs the layout; anything not understood is a usage error.
CommandLine ParseCommandLine(int argc, wchar_t** argv) {
  CommandLine line;
  if (argc == 1) return line;
  const std::wstring first = argv[1];
  if (first == L"--version" && argc == 2) {
    line.mode = CommandLine::Mode::Version;
    return line;
  }
  if (first == L"--capture" && argc == 3) {
    line.mode = CommandLine::Mode::Capture;
    line.file = argv[2];
    return line;
  }
  line.mode = CommandLine::Mode::Usage;
  if (first != L"--what-if") return line;
  for (int i = 2; i < argc; i += 2) {
    const std::wstring option = argv[i];
    std::wstring* value = option == L"--out"    ? &line.outDir
                          : option == L"--html" ? &line.htmlPath
                                                : nullptr;
    // Each option once, each with a value.
    if (value == nullptr || !value->empty() || i + 1 >= argc || argv[i + 1][0] == L'\0')
      return line;
    *value = argv[i + 1];
  }
  line.mode = CommandLine::Mode::WhatIf;
  return line;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  // Every line the program prints goes through the console's output from here on.
  quorvane::win32::ConsoleOutput console;
  const CommandLine line = ParseCommandLine(argc, argv);
  switch (line.mode) {
    case CommandLine::Mode::Run: {
      // First of all: the platform turns the system's critical-error boxes off for the run.
      quorvane::win32::Win32Platform platform;
      // The job's constructor runs the whole layout sequence; the log is the outcome.
      quorvane::CLayoutJob job(platform);
      return 0;
    }
    case CommandLine::Mode::Version:
      std::cout << "quorvane.exe " QUORVANE_VERSION "\n";
      return 0;
    case CommandLine::Mode::Capture: {
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
      const auto outcome = quorvane::capture::RunCapture(platform, system, line.file, check);
      std::cout << outcome.output;
      std::cerr << outcome.error;
      return outcome.status;
    }
    case CommandLine::Mode::WhatIf: {
      quorvane::win32::Win32Platform platform;
      quorvane::win32::Win32CaptureSystem system;
      std::error_code ec;
      const quorvane::whatif::WhatIfOptions options{
          line.outDir, line.htmlPath, std::filesystem::temp_directory_path(ec), console.colour()};
      return quorvane::whatif::RunWhatIf(platform, system, options, std::cout, std::cerr);
    }
    case CommandLine::Mode::Usage:
      break;
  }
  std::cerr << kUsageLine;
  return quorvane::whatif::kUsage;
}
