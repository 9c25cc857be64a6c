// The simulated machine's command interpreter and the system tools it stands in for.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/sim/commands/command_host.h"

namespace quorvane::sim::standin {

// What a tool leaves behind besides its effects: its exit code and what it printed
// on standard output (8-bit text; the line ends are made CR LF where it is saved).
struct ToolResult {
  ToolResult() = default;
  ToolResult(uint32_t code, std::string printed, std::string ran = {})
      : exitCode(code), output(std::move(printed)), script(std::move(ran)) {}
  uint32_t exitCode = 0;
  std::string output;
  std::string script;  // the script file it ran (diskpart), as it read it
};

enum class Program { Script, Diskpart, Dism, Find, ReagentC, Xcopy, Unknown };

// The stand-in behind the first word of a command line.
Program IdentifyProgram(std::wstring_view firstWord);

// Runs a program other than a script and tells the host (which records the run and may reword
// what it printed). `args` are the words after the program name; `input` is what a pipe feeds it.
ToolResult RunTool(CommandHost& host, Program program, const std::vector<std::wstring>& args,
                   std::string_view input);

// A command file's text (8-bit, as read from its volume); returns its exit code.
uint32_t RunCommandScript(CommandHost& host, std::string_view scriptBytes);

// Makes a folder and any missing folder above it; the result is that of the last one.
CommandHost::MakeFolderResult MakeFolderPath(CommandHost& host, std::wstring_view path);

ToolResult RunDiskpart(CommandHost& host, const std::vector<std::wstring>& args);
ToolResult RunDism(CommandHost& host, const std::vector<std::wstring>& args);
ToolResult RunFind(const std::vector<std::wstring>& args, std::string_view input);
ToolResult RunReagentC(CommandHost& host, const std::vector<std::wstring>& args);
ToolResult RunXcopy(CommandHost& host, const std::vector<std::wstring>& args);

}  // namespace quorvane::sim::standin
