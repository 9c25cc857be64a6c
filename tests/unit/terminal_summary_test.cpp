// The summary quorvane-sim prints: its order, its width and its colours.
#include "report/terminal_summary.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "base/word_wrap.h"
#include "platform/sim/commands/command_words.h"
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

TEST(TerminalSummary, SectionsInOrderWithinTheConsoleWidth) {
  ReportedRun sim(kMachine);
  const std::string text = Print(sim, false);
  EXPECT_EQ(text.find('\x1b'), std::string::npos);

  // quorvane-sim's order, and the what-if's, whose console keeps the road and why in sight last.
  const std::vector<std::string> order = {"Machine",  "Road",      "Flags", "Roles",
                                          "Letters",  "Commands",  "Boxes", "Changes",
                                          "Warnings", "Simulated", "Logs",  "Summary"};
  for (const bool roadLast : {false, true}) {
    std::ostringstream printed;
    PrintTerminalSummary(sim.report, "quorvane-out", printed, false, "", roadLast);
    std::vector<std::string> sections;
    const auto lines = Lines(printed.str());
    for (const auto& line : lines) {
      EXPECT_LE(line.size(), kConsoleWidth) << line;
      if (!line.empty() && line[0] != ' ') sections.push_back(line.substr(0, line.find(' ')));
    }
    std::vector<std::string> want = order;
    if (roadLast) std::rotate(want.begin() + 1, want.begin() + 2, want.end());
    EXPECT_EQ(sections, want);
    const auto because = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
      return line.find("           because ") == 0;
    });
    ASSERT_NE(because, lines.end());
    EXPECT_EQ((because - 1)->substr(0, 4), "Road");
    // Last, nothing follows the reason but its own wrapped lines.
    if (roadLast) {
      for (auto line = because; line != lines.end(); ++line) EXPECT_EQ((*line)[0], ' ') << *line;
    }
  }

  // Roles and letters carry the label of the volume they name; the MSR has none.
  EXPECT_NE(text.find("recovery  disk 0 partition 2  no file system"), std::string::npos);
  EXPECT_NE(text.find("M:  \\Device\\Harddisk1\\Partition1    \"PQSERVICE2\""), std::string::npos);
  // The registration script ran, but ReagentC inside it could not start.
  EXPECT_NE(text.find("exit 9009    M:\\RyTools\\RegisterInstall.cmd"), std::string::npos);
  // The files the run wrote are listed; the image the profile put there is not.
  EXPECT_NE(text.find("volumes/disk1-part1/RyTools/RegisterInstall.cmd"), std::string::npos);
  EXPECT_EQ(text.find("install.wim"), std::string::npos);
}

TEST(TerminalSummary, LinesBreakBetweenWordsAndNeverInsideAPath) {
  ReportedRun sim(kMachine);
  const auto out = sim.sim.root() / "a-folder-whose-name-fills-most-of-an-eighty-column-line";
  std::ostringstream printed;
  PrintTerminalSummary(sim.report, out, printed, false);
  const std::string text = printed.str();
  // Longer than the console's width only as one word standing alone; no blank left at a break.
  bool longLine = false;
  for (const auto& line : Lines(text)) {
    const size_t word = line.find_first_not_of(' ', line[0] == ' ' ? 0 : 11);
    longLine = longLine || line.size() > kConsoleWidth;
    EXPECT_TRUE(line.size() <= kConsoleWidth || line.find(' ', word) == std::string::npos) << line;
    EXPECT_NE(line.back(), ' ') << line;
  }
  EXPECT_TRUE(longLine);
  // The logs, the summary and the folder of the files written each stand whole on a line.
  for (const char* path : {"volumes/X/Quorvane.log", "summary.json", ""})
    EXPECT_NE(text.find((out / path).generic_string() + "\n"), std::string::npos) << path;
}

TEST(TerminalSummary, ColourChangesNothingButTheEscapes) {
  ReportedRun plain(kMachine);
  ReportedRun coloured(kMachine);
  const std::string text = Print(plain, false);
  const std::string painted = Print(coloured, true);
  EXPECT_NE(painted.find("\x1b[33m"), std::string::npos);  // the warnings
  EXPECT_NE(painted.find("\x1b[31m"), std::string::npos);  // the failed command
  // A road is neither good nor bad: only its label is bold.
  EXPECT_NE(painted.find("Road       \x1b[0mregister\n"), std::string::npos) << painted;
  EXPECT_EQ(std::regex_replace(painted, std::regex("\x1b\\[[0-9;]*m"), ""), text);
}

// One entry of the summary, from its heading to the next one; lines indented past the heading's
// text (wrapped or under a sub-label) are joined to the line before.
std::string EntryOf(const std::string& printed, const std::string& heading) {
  const std::string joined = std::regex_replace(printed, std::regex("\n {13,}"), " ");
  const size_t from = joined.find("\n" + heading + " ");
  if (from == std::string::npos) return "";
  size_t to = from + 1;
  while ((to = joined.find('\n', to)) != std::string::npos && joined[to + 1] == ' ') ++to;
  return joined.substr(from + 1, to == std::string::npos ? std::string::npos : to - from - 1);
}

TEST(TerminalSummary, TheRoadSaysWhatTheRunSaw) {
  // What the run counted and reached, not what its rules would have needed.
  const std::map<std::string, std::string> because = {
      {"unseen-pqservice2",
       "because the run counted 2 disks, but none is a cache SSD of at most 59392 MB, and it is "
       "not SSD+HDD mode: it saw no PQSERVICE2 or PUSH BUTTON partition (a hard disk's own "
       "recovery); \"PQSERVICE2\" on disk 1, partition 1 was never reached: it had no letter at "
       "start and no probe kept one on it, and the run lists only lettered partitions"},
      {"unseen-no-disk",
       "because the run counted no disk, so it looked for neither SSD+HDD mode nor a cache SSD"},
      {"external-usb-disk",
       "because the run counted one disk, and SSD+HDD mode and a cache SSD both take two"},
      {"fault-inventory-refresh-exhausted",
       "because the run counted 2 disks, but every attempt of its second inventory failed, so "
       "it found neither SSD+HDD mode nor a cache SSD"},
      {"no-pbr-diskpart-probe",
       "because the run counted 2 disks, but none is a cache SSD of at most 59392 MB, and it is "
       "not SSD+HDD mode: it saw no PQSERVICE2 or PUSH BUTTON partition (a hard disk's own "
       "recovery)"}};
  for (const auto& [name, expected] : because) {
    SCOPED_TRACE(name);
    ReportedRun run(MachineProfile(name));
    EXPECT_EQ(EntryOf(Print(run, false), "Road"), "Road       none\n           " + expected);
  }
}

TEST(TerminalSummary, ChangesShowDisksTheScriptAsWrittenLettersAndFiles) {
  ReportedRun carve(MachineProfile("legacy-rapid-start"));
  const std::string printed = Print(carve, false);
  const std::string changes = EntryOf(printed, "Changes");
  EXPECT_NE(changes.find("disk 1    cleaned by the run"), std::string::npos) << changes;
  EXPECT_NE(changes.find("held no partition"), std::string::npos);
  EXPECT_NE(changes.find("now partition 1 without a file system, 4096 MB, Unknown, made by the "
                         "run"),
            std::string::npos);
  // The script is the file the run left on X:, line by line.
  const auto script = carve.sim.ReadVolumeFile("X", "NAPP2P_SSDHDD.ini");
  ASSERT_TRUE(script);
  std::string shown = "diskpart  X:\\NAPP2P_SSDHDD.ini: diskpart ended with exit code 0";
  for (const auto& line : sim::standin::SplitLines(*script))
    shown += "\n" + std::string(23, ' ') + line;
  EXPECT_NE(printed.find(shown), std::string::npos) << printed;
  EXPECT_NE(changes.find("letters   E: defined on \\Device\\Harddisk0\\Partition3 (\"PQSERVICE\") "
                         "M: defined on \\Device\\Harddisk0\\Partition3 (\"PQSERVICE\")"),
            std::string::npos)
      << changes;
  EXPECT_NE(changes.find("volumes/disk0-part3/RYTOOLS/NAPP2P_SSDHDD.ini"), std::string::npos);

  ReportedRun moved(MachineProfile("legacy-ssd-hdd"));
  EXPECT_NE(EntryOf(Print(moved, false), "Changes")
                .find("C: moved from \\Device\\Harddisk0\\Partition1 (\"System Reserved\") to "
                      "\\Device\\Harddisk0\\Partition3 (\"OS\")"),
            std::string::npos);
  EXPECT_NE(EntryOf(Print(moved, false), "Changes").find("disks     none changed"),
            std::string::npos);
}

TEST(TerminalSummary, WarningsBySeverityInTheirColours) {
  // A wiped data disk, an unlettered OS partition, an external disk.
  ReportedRun run(R"({"smbios": {"capabilities": {"revision": [2, 16], "entries": [[1, 1]]}},
      "disks": [{"sizeMB": 476940, "style": "mbr", "partitions": [
                   {"label": "OS", "sizeMB": 90000}, {"label": "PQSERVICE", "sizeMB": 9000}]},
                {"sizeMB": 30533, "partitions": [{"label": "Photos", "sizeMB": 9000}]},
                {"sizeMB": 953869, "mediaType": "External hard disk media"}]})");
  std::vector<std::string> severities;
  for (const auto& line : Lines(EntryOf(Print(run, false), "Warnings")))
    if (line.size() > 11 && line[11] != ' ')
      severities.push_back(line.substr(11, line.find(' ', 11) - 11));
  EXPECT_EQ(severities, (std::vector<std::string>{"danger", "warning", "note"}));
  const std::string painted = Print(run, true);
  EXPECT_NE(painted.find("\x1b[31mdanger"), std::string::npos);
  EXPECT_NE(painted.find("\x1b[33mwarning"), std::string::npos);
  EXPECT_NE(painted.find("\x1b[36mnote"), std::string::npos);
}

TEST(TerminalSummary, TheRoadSaysWhyTheCacheSsdWasNotCarved) {
  // A skipped carving says why; a carving that went ahead claims no skip.
  const std::map<std::string_view, std::string> reasons = {
      {"cache-ssd-too-small", "; it is too small for the cache, so nothing was carved"},
      {"emmc-windows-not-wiped", "; it holds partitions in use, so nothing was carved"},
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

// Runs `decide` with standard output on `fd`, and gives back what it decided.
bool WithStdoutOn(int fd, bool (*decide)()) {
  std::fflush(stdout);
  const int saved = dup(STDOUT_FILENO);
  dup2(fd, STDOUT_FILENO);
  const bool decided = decide();
  std::fflush(stdout);
  dup2(saved, STDOUT_FILENO);
  close(saved);
  return decided;
}

TEST(TerminalSummary, ColourOnlyForATerminalWithoutNoColor) {
  // A terminal: the far end of a pseudo-terminal; no terminal: the null device.
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0) << "no pseudo-terminal";
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
  const int null = open("/dev/null", O_WRONLY);
  ASSERT_GE(terminal, 0);
  ASSERT_GE(null, 0);
  const char* given = getenv("NO_COLOR");
  const std::string kept = given ? given : "";
  unsetenv("NO_COLOR");
  EXPECT_TRUE(WithStdoutOn(terminal, sim::StdoutWantsColour));
  EXPECT_FALSE(WithStdoutOn(null, sim::StdoutWantsColour));
  setenv("NO_COLOR", "1", 1);
  EXPECT_FALSE(WithStdoutOn(terminal, sim::StdoutWantsColour));
  if (given) {
    setenv("NO_COLOR", kept.c_str(), 1);
  } else {
    unsetenv("NO_COLOR");
  }
  for (int fd : {terminal, null, master}) close(fd);
}

}  // namespace
}  // namespace quorvane::report
