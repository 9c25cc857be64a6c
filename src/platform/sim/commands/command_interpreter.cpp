// Starting a child process on the simulated machine: which stand-in runs a command line.
#include "base/text.h"
#include "platform/sim/commands/command_words.h"
#include "platform/sim/commands/tool_standins.h"

namespace quorvane::sim {

namespace standin {

Program IdentifyProgram(std::wstring_view firstWord) {
  if (EndsWithIgnoreCase(firstWord, L".cmd") || EndsWithIgnoreCase(firstWord, L".bat")) {
    return Program::Script;
  }
  std::wstring name = ProgramName(firstWord);
  if (name == L"diskpart") return Program::Diskpart;
  if (name == L"dism") return Program::Dism;
  if (name == L"find") return Program::Find;
  if (name == L"reagentc") return Program::ReagentC;
  if (name == L"xcopy") return Program::Xcopy;
  return Program::Unknown;
}

namespace {
ToolResult RunStandin(CommandHost& host, Program program, const std::vector<std::wstring>& args,
                      std::string_view input) {
  switch (program) {
    case Program::Diskpart:
      return RunDiskpart(host, args);
    case Program::Dism:
      return RunDism(host, args);
    case Program::Find:
      return RunFind(args, input);
    case Program::ReagentC:
      return RunReagentC(host, args);
    case Program::Xcopy:
      return RunXcopy(host, args);
    case Program::Script:
    case Program::Unknown:
      break;
  }
  return {win::kErrorFileNotFound, {}};
}

const wchar_t* ToolName(Program program) {
  switch (program) {
    case Program::Diskpart:
      return L"diskpart";
    case Program::Dism:
      return L"dism";
    case Program::Find:
      return L"find";
    case Program::ReagentC:
      return L"reagentc";
    case Program::Xcopy:
      return L"xcopy";
    case Program::Script:
    case Program::Unknown:
      break;
  }
  return nullptr;
}
}  // namespace

ToolResult RunTool(CommandHost& host, Program program, const std::vector<std::wstring>& args,
                   std::string_view input) {
  ToolResult result = RunStandin(host, program, args, input);
  const wchar_t* name = ToolName(program);
  if (name == nullptr) return result;
  ToolRun run{name, args, std::move(result.script), std::move(result.output), result.exitCode};
  host.ToolRan(run);
  return {run.exitCode, std::move(run.output), std::move(run.script)};
}

}  // namespace standin

ProcessOutcome RunSimulatedCommand(CommandHost& host, const std::wstring& commandLine) {
  ProcessOutcome notStarted{false, win::kErrorFileNotFound, 0};
  std::vector<std::wstring> words = standin::SplitWords(commandLine);
  if (words.empty()) return notStarted;
  const std::wstring& first = words.front();
  if (host.CannotStart(first)) return notStarted;

  standin::Program program = standin::IdentifyProgram(first);
  if (program == standin::Program::Unknown) return notStarted;
  if (program == standin::Program::Script) {
    // The interpreter reads the whole file before it runs a line of it.
    std::optional<std::string> script = host.ReadFile(first);
    if (!script) return notStarted;
    return {true, 0, standin::RunCommandScript(host, *script)};
  }
  // Started directly, a tool has no input and nobody reads what it prints.
  std::vector<std::wstring> args(words.begin() + 1, words.end());
  return {true, 0, standin::RunTool(host, program, args, {}).exitCode};
}

}  // namespace quorvane::sim
