// The command interpreter of the simulated machine: runs the lines of a command file.
#include <optional>

#include "base/text.h"
#include "platform/sim/commands/command_words.h"
#include "platform/sim/commands/tool_standins.h"

namespace quorvane::sim::standin {

namespace {

// The interpreter's code for a program it cannot find or start.
constexpr uint32_t kNotRecognised = 9009;

struct Redirect {
  std::wstring path;
  bool append = false;
  bool errors = false;  // "2>": the error stream, which the stand-ins do not write

  // NUL and "&1" take output without a file.
  bool Sink() const { return EqualsIgnoreCaseAscii(path, L"nul") || StartsWith(path, L"&"); }
};

// One side of a pipe: the command text and where its output goes.
struct Stage {
  std::wstring command;
  std::vector<Redirect> redirects;  // each file is created

  // The redirection of standard output in force: the last one given.
  const Redirect* Output() const {
    const Redirect* output = nullptr;
    for (const auto& redirect : redirects) {
      if (!redirect.errors) output = &redirect;
    }
    return output;
  }
};

// "1>" and "2>": a lone digit right before '>' names the stream.
std::optional<wchar_t> TakeStreamNumber(std::wstring& command) {
  size_t n = command.size();
  if (n == 0 || (command[n - 1] != L'1' && command[n - 1] != L'2')) return std::nullopt;
  if (n > 1 && command[n - 2] != L' ' && command[n - 2] != L'\t') return std::nullopt;
  wchar_t digit = command.back();
  command.pop_back();
  return digit;
}

std::wstring ReadRedirectTarget(std::wstring_view line, size_t& i) {
  while (i < line.size() && (line[i] == L' ' || line[i] == L'\t')) ++i;
  std::wstring target;
  bool quoted = false;
  for (; i < line.size(); ++i) {
    wchar_t c = line[i];
    if (c == L'"') {
      quoted = !quoted;
    } else if (!quoted && (c == L' ' || c == L'\t' || c == L'>' || c == L'|')) {
      break;
    } else {
      target += c;
    }
  }
  return target;
}

// Splits a line at each '|' outside quotes and takes the redirections out of each side.
std::vector<Stage> ParsePipeline(std::wstring_view line) {
  std::vector<Stage> stages(1);
  bool quoted = false;
  for (size_t i = 0; i < line.size();) {
    wchar_t c = line[i];
    if (c == L'"') quoted = !quoted;
    if (!quoted && c == L'|') {
      stages.emplace_back();
      ++i;
    } else if (!quoted && c == L'>') {
      bool append = i + 1 < line.size() && line[i + 1] == L'>';
      bool errors = TakeStreamNumber(stages.back().command) == L'2';
      i += append ? 2 : 1;
      stages.back().redirects.push_back({ReadRedirectTarget(line, i), append, errors});
    } else {
      stages.back().command += c;
      ++i;
    }
  }
  return stages;
}

// MKDIR creates the missing folders along the path, as the interpreter does.
uint32_t MakeDirectory(CommandHost& host, const std::vector<std::wstring>& args) {
  if (args.empty()) return 1;
  return MakeFolderPath(host, args.front()) == CommandHost::MakeFolderResult::Made ? 0 : 1;
}

// del reports a missing or undeletable file but, like the real one, leaves errorlevel 0.
ToolResult DeleteFiles(CommandHost& host, const std::vector<std::wstring>& args) {
  ToolResult result;
  for (const auto& arg : args) {
    if (StartsWith(arg, L"/")) continue;  // /S /R /Q /F: one named file is deleted either way
    if (!host.IsFile(arg)) {
      result.output += "Could Not Find " + Narrow8(arg) + "\n";
    } else if (!host.DeleteFile(arg)) {
      result.output += Narrow8(arg) + "\nAccess is denied.\n";
    }
  }
  return result;
}

class ScriptRun {
 public:
  explicit ScriptRun(CommandHost& host) : m_host(host) {}

  uint32_t Run(std::string_view scriptBytes) {
    std::wstring text = WidenTextFile(scriptBytes);
    size_t start = 0;
    while (start <= text.size() && !m_exited) {
      size_t end = text.find(L'\n', start);
      if (end == std::wstring::npos) end = text.size();
      RunLine(std::wstring_view(text).substr(start, end - start));
      start = end + 1;
    }
    return m_level;
  }

 private:
  void RunLine(std::wstring_view raw) {
    std::wstring line = Trim(raw);
    while (StartsWith(line, L"@")) line = Trim(std::wstring_view(line).substr(1));
    if (line.empty() || StartsWith(line, L":")) return;  // labels and "::" comments
    std::wstring first = ToLowerAscii(FirstWord(line));
    if (first == L"rem") return;

    std::vector<Stage> stages = ParsePipeline(line);
    std::string pipe;
    for (size_t i = 0; i < stages.size(); ++i) {
      std::string output;
      // Each side of a pipe runs in an interpreter of its own, so only a lone exit ends the file.
      bool alone = stages.size() == 1;
      bool ran = RunStage(stages[i], pipe, alone, output);
      bool piped = ran && i + 1 < stages.size() && !stages[i].Output();
      pipe = piped ? output : std::string();
    }
  }

  // False when a redirection could not be opened, so the command did not run.
  bool RunStage(const Stage& stage, const std::string& input, bool alone, std::string& output) {
    for (const auto& redirect : stage.redirects) {
      if (redirect.Sink()) continue;
      if (redirect.path.empty() || !m_host.WriteFile(redirect.path, {}, redirect.append)) {
        m_level = 1;
        return false;
      }
    }
    std::vector<std::wstring> words = SplitWords(stage.command);
    if (!words.empty()) {
      std::vector<std::wstring> args(words.begin() + 1, words.end());
      output = RunCommand(words.front(), args, input, alone);
    }
    const Redirect* target = stage.Output();
    if (target && !target->Sink() && !output.empty()) {
      m_host.WriteFile(target->path, ToCrLf(output), true);
    }
    return true;
  }

  std::string RunCommand(const std::wstring& program, const std::vector<std::wstring>& args,
                         const std::string& input, bool alone) {
    std::wstring name = ToLowerAscii(program);
    if (name == L"mkdir" || name == L"md") {
      m_level = MakeDirectory(m_host, args);
      return {};
    }
    if (name == L"del" || name == L"erase") {
      ToolResult result = DeleteFiles(m_host, args);
      m_level = result.exitCode;
      return result.output;
    }
    if (name == L"exit") {
      size_t n = !args.empty() && EqualsIgnoreCaseAscii(args.front(), L"/b") ? 1 : 0;
      if (n < args.size()) m_level = static_cast<uint32_t>(ParseInt32(args[n]));
      m_exited = alone;
      return {};
    }
    Program kind = IdentifyProgram(program);
    if (kind == Program::Unknown || kind == Program::Script || m_host.CannotStart(program)) {
      // "... is not recognized as an internal or external command" goes to the error stream.
      m_level = kNotRecognised;
      return {};
    }
    ToolResult result = RunTool(m_host, kind, args, input);
    m_level = result.exitCode;
    return result.output;
  }

  CommandHost& m_host;
  uint32_t m_level = 0;
  bool m_exited = false;
};

}  // namespace

CommandHost::MakeFolderResult MakeFolderPath(CommandHost& host, std::wstring_view path) {
  while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.remove_suffix(1);
  for (size_t slash = path.find_first_of(L"\\/"); slash != std::wstring_view::npos;
       slash = path.find_first_of(L"\\/", slash + 1)) {
    std::wstring_view parent = path.substr(0, slash);
    bool driveRoot = parent.size() == 2 && parent[1] == L':';
    if (parent.empty() || driveRoot || slash + 1 == path.size()) continue;
    if (host.MakeFolder(std::wstring(parent)) == CommandHost::MakeFolderResult::Failed) {
      return CommandHost::MakeFolderResult::Failed;
    }
  }
  return host.MakeFolder(std::wstring(path));
}

uint32_t RunCommandScript(CommandHost& host, std::string_view scriptBytes) {
  return ScriptRun(host).Run(scriptBytes);
}

}  // namespace quorvane::sim::standin
