// The platform's contract on Windows' own implementation, as Wine gives it: the cases both
// platforms run, with the stand-ins of the system tools first on the path.
// Usage: contract_win32 TOOLS_FOLDER MACHINE_PROFILE TRANSCRIPT [--no-read-only]
// The transcript goes to a file of its own: the children print into standard output.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win32/win32_platform.h"
#include "tests/contract/contract.h"

int wmain(int argc, wchar_t** argv) {
  namespace fs = std::filesystem;
  if (argc < 4 || (argc == 5 && std::wstring(argv[4]) != L"--no-read-only") || argc > 5) {
    std::fprintf(
        stderr, "usage: contract_win32 TOOLS_FOLDER MACHINE_PROFILE TRANSCRIPT [--no-read-only]\n");
    return 2;
  }
  std::FILE* transcript = _wfopen(argv[3], L"wb");
  if (transcript == nullptr) return 2;
  const std::wstring tools = argv[1];
  const std::wstring journal = tools + L"\\journal.txt";
  const wchar_t* path = _wgetenv(L"PATH");
  _wputenv_s(L"PATH", (tools + L";" + (path ? path : L"")).c_str());
  _wputenv_s(L"QUORVANE_STANDIN_MACHINE", argv[2]);
  _wputenv_s(L"QUORVANE_STANDIN_JOURNAL", journal.c_str());
  std::error_code ec;
  fs::remove(journal, ec);
  fs::current_path(L"X:\\contract");

  auto toolRuns = [&journal] {
    std::vector<std::string> runs;
    std::ifstream in{fs::path(journal)};
    for (std::string line; std::getline(in, line);) runs.push_back(line);
    in.close();
    std::error_code removed;
    fs::remove(journal, removed);
    return runs;
  };
  quorvane::contract::RunOptions options;
  options.wine = true;
  options.bothOnly = true;
  options.readOnlyDrive = argc != 5;
  quorvane::win32::Win32Platform platform;
  const int failed = quorvane::contract::RunCases(platform, toolRuns, options, transcript);
  std::fclose(transcript);
  return failed == 0 ? 0 : 1;
}
