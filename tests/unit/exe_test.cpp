// quorvane.exe's own words: its command line, help and usage errors, and the real run's console
// lines on every scenario, which must agree with the what-if's warning about the RAM drive's log.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>

#include "base/text.h"
#include "base/word_wrap.h"
#include "exe/command_line.h"
#include "exe/run_console.h"
#include "report/warning_texts.h"
#include "tests/unit/reported_run.h"

namespace quorvane::exe {
namespace {

namespace fs = std::filesystem;
using Mode = CommandLine::Mode;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Every line within the console's width, unless it is one word (a path) that cannot be broken.
void ExpectFitsTheConsole(const std::string& text) {
  for (const auto& line : Lines(text)) {
    const size_t word = line.find_first_not_of(' ');
    EXPECT_TRUE(line.size() <= kConsoleWidth || line.find(' ', word) == std::string::npos) << line;
  }
}

TEST(ExeCommandLine, EachJobAndEachMistake) {
  const struct {
    std::vector<std::wstring> arguments;
    Mode mode;
    std::string named;  // what a usage error must quote
  } cases[] = {
      {{}, Mode::Run, ""},
      {{L"--version"}, Mode::Version, ""},
      {{L"--help"}, Mode::Help, ""},
      {{L"-h"}, Mode::Help, ""},
      {{L"/?"}, Mode::Help, ""},
      {{L"--what-if", L"--out", L"D:\\wi", L"/?"}, Mode::Help, ""},
      {{L"--capture", L"E:\\bench.json"}, Mode::Capture, ""},
      {{L"--what-if"}, Mode::WhatIf, ""},
      {{L"--what-if", L"--html", L"p.html", L"--out", L"wi"}, Mode::WhatIf, ""},
      {{L"--no-such-option"}, Mode::Usage, "\"--no-such-option\""},
      {{L"/x"}, Mode::Usage, "\"/x\""},
      {{L"--version", L"now"}, Mode::Usage, "\"now\""},
      {{L"--capture"}, Mode::Usage, "--capture"},
      {{L"--capture", L""}, Mode::Usage, "--capture"},
      {{L"--capture", L"a.json", L"b.json"}, Mode::Usage, "\"b.json\""},
      {{L"--what-if", L"--page", L"p.html"}, Mode::Usage, "\"--page\""},
      {{L"--what-if", L"--out"}, Mode::Usage, "--out"},
      {{L"--what-if", L"--out", L"a", L"--out", L"b"}, Mode::Usage, "--out is given twice"},
      {{L"--what-if", L"--html", L""}, Mode::Usage, "--html"},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (const auto& argument : c.arguments) shown += " " + ToUtf8(argument);
    SCOPED_TRACE("quorvane.exe" + shown);
    const CommandLine line = ParseCommandLine(c.arguments);
    EXPECT_EQ(line.mode, c.mode) << line.problem;
    if (c.mode != Mode::Usage) continue;
    // The mistake is named, and so is what the command line without it would have done.
    const std::string text = UsageText(line.problem);
    EXPECT_NE(text.find(c.named), std::string::npos) << text;
    EXPECT_NE(text.find("Nothing was run. Without an argument quorvane.exe makes the real run, "
                        "which may\nwipe a disk"),
              std::string::npos)
        << text;
    ExpectFitsTheConsole(text);
  }
  const CommandLine whatIf =
      ParseCommandLine({L"--what-if", L"--html", L"p.html", L"--out", L"wi"});
  EXPECT_EQ(whatIf.outDir, L"wi");
  EXPECT_EQ(whatIf.htmlPath, L"p.html");
  EXPECT_EQ(ParseCommandLine({L"--capture", L"E:\\bench.json"}).file, L"E:\\bench.json");
}

TEST(ExeCommandLine, TheHelpNamesEveryJobWithinTheConsole) {
  const std::string help = HelpText("9.8.7");
  EXPECT_EQ(help.rfind("quorvane.exe 9.8.7: ", 0), 0u) << help;
  for (const char* job :
       {"\nquorvane.exe\n", "\nquorvane.exe --what-if [--out DIR] [--html FILE]\n",
        "\nquorvane.exe --capture FILE\n", "\nquorvane.exe --version\n",
        "\nquorvane.exe --help (or -h, /?)\n", "wipe a small cache SSD", "\nExit status"})
    EXPECT_NE(help.find(job), std::string::npos) << job;
  ExpectFitsTheConsole(help);
}

std::vector<std::string> ScenarioNames() {
  std::vector<std::string> names;
  for (const auto& entry :
       fs::directory_iterator(fs::path(QUORVANE_SOURCE_DIR) / "tests/scenarios/expected"))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// On every scenario the real run's closing lines, from the log writes as the machine took them,
// say what the what-if says: the RAM drive's log could not be written (and then whether any log
// is left) exactly where the what-if warns of it; every log file that took a line is named (the
// RAM drive's by its copy in the tools folder, when they name that), and that copy is the RAM
// drive's log.
TEST(ExeRunConsole, TheClosingLinesTellWhereTheLogIsOnEveryScenario) {
  size_t noLog = 0;
  size_t partLog = 0;
  for (const auto& name : ScenarioNames()) {
    SCOPED_TRACE(name);
    report::ReportedRun run(report::MachineProfile(name));
    sim::SimPlatform& machine = run.sim.platform();
    LogWatch logs;
    for (const auto& write : machine.LogWrites())
      logs.Record(write.file, write.written, "the reason");
    const std::string text = RunEndLines(run.report.road, logs.Files(), machine);
    ExpectFitsTheConsole(text);
    const std::string flat = std::regex_replace(text, std::regex("\n  "), " ");

    const bool warned =
        std::any_of(run.report.warnings.begin(), run.report.warnings.end(),
                    [](const auto& w) { return w.kind == report::kNoRamLogWarning; });
    EXPECT_EQ(flat.rfind("cannot write X:\\Quorvane.log: the reason; ", 0) == 0, warned) << flat;
    bool any = false;
    for (const auto& log : logs.Files()) {
      any = any || log.written > 0;
      const bool byCopy =
          log.path == L"X:\\Quorvane.log" &&
          flat.find("first lines in M:\\RYTOOLS\\Quorvane.log") != std::string::npos;
      if (log.written > 0 && !byCopy) {
        EXPECT_NE(flat.find(ToUtf8(log.path)), std::string::npos) << ToUtf8(log.path) << "\n"
                                                                  << flat;
      }
    }
    EXPECT_EQ(flat.find("this run leaves no log") != std::string::npos, !any) << flat;
    noLog += any ? 0 : 1;
    partLog += warned && any ? 1 : 0;
    EXPECT_NE(flat.find(std::string("the road ") + report::RoadName(run.report.road) + " ("),
              std::string::npos)
        << flat;
    if (flat.find("its first lines in M:\\RYTOOLS\\Quorvane.log") != std::string::npos) {
      const auto copy = machine.FileBytes(L"M:\\RYTOOLS\\Quorvane.log");
      ASSERT_TRUE(copy.has_value());
      EXPECT_EQ(copy, machine.FileBytes(L"X:\\Quorvane.log"));
    }
  }
  // The scenarios hold both: a run that leaves no log, and one whose log lacks its first lines.
  EXPECT_GT(noLog, 0u);
  EXPECT_GT(partLog, 0u);
}

TEST(ExeRunConsole, TheFirstLineSaysWhereTheLogGoes) {
  const std::string line = RunStartLine("9.8.7");
  EXPECT_EQ(line,
            "quorvane.exe 9.8.7: the real run starts; its log goes to X:\\Quorvane.log, then\n"
            "  to M:\\Quorvane.log on the recovery partition\n");
}

}  // namespace
}  // namespace quorvane::exe
