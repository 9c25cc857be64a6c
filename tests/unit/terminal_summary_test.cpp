// The summary quorvane-sim prints: its order, its width and its colours.
#include "report/terminal_summary.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/unit/reported_run.h"
#include "tools/sim/builtin_machines.h"
#include "tools/sim/stdout_colour.h"

namespace quorvane::report {
namespace {

// A two-disk registration with long labels and a long description, so that
// several entries must wrap.
constexpr char kMachine[] = R"({
  "name": "wide-notebook",
  "description": "A notebook whose description is long enough to need a second and even a third line on an eighty-column terminal",
  "disks": [
    {"sizeMB": 244198, "style": "gpt", "partitions": [
      {"label": "ESP", "type": "GPT: System", "sizeMB": 100},
      {"hidden": true, "label": null, "sizeMB": 16},
      {"label": "Recovery tools and a much longer label", "sizeMB": 900},
      {"label": "OS", "sizeMB": 9000, "letter": "C:", "files": {"Windows/": ""}},
      {"label": "PQSERVICE", "sizeMB": 9000}]},
    {"sizeMB": 953869, "style": "mbr", "partitions": [
      {"label": "PQSERVICE2", "sizeMB": 9000, "letter": "Q:",
       "files": {"RecoveryImage/install.wim": {"wimImages": ["Home", "Pro"]}, "RyTools/": ""}}]}],
  "faults": {"cannotStart": ["ReagentC"]}
})";

std::string Print(const ReportedRun& run, bool colour) {
  std::ostringstream out;
  PrintTerminalSummary(run.report, "quorvane-out", out, colour);
  return out.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(TerminalSummary, SectionsInOrderWithinEightyColumns) {
  ReportedRun sim(kMachine);
  const std::string text = Print(sim, false);
  EXPECT_EQ(text.find('\x1b'), std::string::npos);

  std::vector<std::string> sections;
  for (const auto& line : Lines(text)) {
    EXPECT_LE(line.size(), 80u) << line;
    if (!line.empty() && line[0] != ' ') sections.push_back(line.substr(0, line.find(' ')));
  }
  EXPECT_EQ(sections, (std::vector<std::string>{"Machine", "Road", "Flags", "Roles", "Letters",
                                                "Commands", "Boxes", "Warnings", "Simulated",
                                                "Logs", "Scripts", "Summary"}));

  // Roles and letters carry the label of the volume they name; the MSR has none.
  EXPECT_NE(text.find("recovery  disk 0 partition 2  no file system"), std::string::npos);
  EXPECT_NE(text.find("M:  \\Device\\Harddisk1\\Partition1    \"PQSERVICE2\""), std::string::npos);
  // The registration script ran, but ReagentC inside it could not start.
  EXPECT_NE(text.find("exit 9009    M:\\RyTools\\RegisterInstall.cmd"), std::string::npos);
  // The scripts the run wrote are listed; the image the profile put there is not.
  EXPECT_NE(text.find("RyTools/RegisterInstall.cmd"), std::string::npos);
  EXPECT_EQ(text.find("install.wim"), std::string::npos);
}

TEST(TerminalSummary, LinesBreakBetweenWordsAndNeverInsideAPath) {
  ReportedRun sim(kMachine);
  const auto out = sim.sim.root() / "a-folder-whose-name-fills-most-of-an-eighty-column-line";
  std::ostringstream printed;
  PrintTerminalSummary(sim.report, out, printed, false);
  const std::string text = printed.str();
  // Longer than 80 columns only as one word standing alone; no blank left at a break.
  bool longLine = false;
  for (const auto& line : Lines(text)) {
    const size_t word = line.find_first_not_of(' ', 11);
    longLine = longLine || line.size() > 80;
    EXPECT_TRUE(line.size() <= 80 || line.find(' ', word) == std::string::npos) << line;
    EXPECT_TRUE(line.back() != ' ' && (word == 11 || word == 13)) << line;
  }
  EXPECT_TRUE(longLine);
  for (const char* path : {"volumes/X/Quorvane.log", "summary.json",
                           "volumes/disk1-part1/RyTools/RegisterInstall.cmd"})
    EXPECT_NE(text.find((out / path).generic_string() + "\n"), std::string::npos) << path;
}

TEST(TerminalSummary, ColourChangesNothingButTheEscapes) {
  ReportedRun plain(kMachine);
  ReportedRun coloured(kMachine);
  const std::string text = Print(plain, false);
  const std::string painted = Print(coloured, true);
  EXPECT_NE(painted.find("\x1b[33m"), std::string::npos);  // the warnings
  EXPECT_NE(painted.find("\x1b[31m"), std::string::npos);  // the failed command
  EXPECT_EQ(std::regex_replace(painted, std::regex("\x1b\\[[0-9;]*m"), ""), text);
}

TEST(TerminalSummary, TheRoadSaysWhyTheCacheSsdWasNotCarved) {
  // A skipped carving says why; a carving that went ahead claims no skip.
  const std::map<std::string_view, std::string> reasons = {
      {"cache-ssd-too-small", "; it is too small for the cache, so nothing was carved"},
      {"emmc-system-disk-wiped", "; it holds partitions in use, so nothing was carved"},
      {"uefi-rapid-start", ""}};
  for (const auto& [name, text] : sim::BuiltinMachineFiles()) {
    if (!reasons.count(name)) continue;
    SCOPED_TRACE(name);
    ReportedRun run{std::string(text)};
    // The Road entry on one line: a wrapped line goes on after 13 blanks.
    const std::string printed = std::regex_replace(Print(run, false), std::regex("\n {13}"), " ");
    const size_t from = printed.find("\nRoad ");
    const std::string road = printed.substr(from, printed.find("\nFlags") - from);
    const std::string& reason = reasons.at(name);
    EXPECT_NE(road.find(reason.empty() ? "asks for it" : reason), std::string::npos) << road;
    if (reason.empty()) {
      EXPECT_EQ(road.find("nothing was carved"), std::string::npos) << road;
    }
  }
}

TEST(TerminalSummary, ColourOnlyForATerminalWithoutNoColor) {
  // The tests' standard output is not a terminal, and NO_COLOR turns colour off anyway.
  setenv("NO_COLOR", "1", 1);
  EXPECT_FALSE(sim::StdoutWantsColour());
  unsetenv("NO_COLOR");
}

}  // namespace
}  // namespace quorvane::report
