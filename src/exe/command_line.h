// quorvane.exe's command line: which of its four jobs it is asked for, its help, and the message
// for an argument it does not take.
#pragma once

#include <string>
#include <vector>

namespace quorvane::exe {

struct CommandLine {
  enum class Mode { Run, Version, Help, Capture, WhatIf, Usage };
  Mode mode = Mode::Run;
  std::wstring file;      // --capture FILE
  std::wstring outDir;    // --what-if --out DIR
  std::wstring htmlPath;  // --what-if --html FILE
  std::string problem;    // Usage: what is wrong, naming the argument (UTF-8)
};

// The arguments after the program's name. None is the real run; --help, -h or /? anywhere asks
// for the help (it never starts anything); anything else not understood is a usage error.
CommandLine ParseCommandLine(const std::vector<std::wstring>& arguments);

// The whole help, within the console's width.
std::string HelpText(const std::string& version);

// A usage error: the problem, the usage line, and that no argument at all is the real run.
std::string UsageText(const std::string& problem);

}  // namespace quorvane::exe
