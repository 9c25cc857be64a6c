// quorvane-sim.exe on Windows: the wide arguments as UTF-8, and the console's output.
#include <iostream>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/win32/console.h"
#include "tools/sim/command_line.h"

int wmain(int argc, wchar_t** argv) {
  quorvane::win32::ConsoleOutput console;
  std::vector<std::string> arguments;
  for (int i = 0; i < argc; ++i) arguments.push_back(quorvane::ToUtf8(argv[i]));
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());
  const quorvane::sim::Terminal terminal{console.colour(), console.errorIsConsole()};
  return quorvane::sim::RunCommandLine(argc, pointers.data(), terminal, std::cout, std::cerr);
}
