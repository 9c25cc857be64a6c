// docs/simulator.md as a technician reads it: its tables against the labels and limits of the
// run, and its example profiles against the loader and the engine; the manual page against
// quorvane-sim --help.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <sstream>

#include "base/text.h"
#include "classify/disk_sizes.h"
#include "classify/role_labels.h"
#include "platform/sim/profile_loader.h"
#include "procedure/rapid_start.h"
#include "tests/unit/reported_run.h"
#include "tools/sim/command_line.h"

namespace quorvane::report {
namespace {

std::string ReadDoc(const char* name) {
  std::ifstream in(std::string(QUORVANE_SOURCE_DIR "/docs/") + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string Doc() { return ReadDoc("simulator.md"); }

// Every distinct first group of `pattern` in `text`.
std::set<std::string> Matches(const std::string& text, const std::string& pattern) {
  std::set<std::string> found;
  const std::regex re(pattern);
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator();
       ++it)
    found.insert((*it)[1]);
  return found;
}

// A section of the manual page, from its .SH line to the next.
std::string ManualSection(const std::string& page, const std::string& name) {
  const size_t from = page.find("\n.SH " + name + "\n");
  if (from == std::string::npos) return "";
  return page.substr(from, page.find("\n.SH ", from + 1) - from);
}

TEST(Docs, TheTablesNameEveryLabelAndLimitTheRunUses) {
  const std::string doc = Doc();
  const size_t from = doc.find("### The labels the run recognises");
  const std::string table = doc.substr(from, doc.find("\n###", from + 1) - from);
  std::vector<std::wstring> labels = {kPqServiceLabel,      kPqService2Label, kPushButtonLabel,
                                      kSystemReservedLabel, kEspLabel,        kRecoveryLabel};
  labels.insert(labels.end(), kOsLabels.begin(), kOsLabels.end());
  for (const std::wstring& label : labels)
    EXPECT_NE(table.find("`" + ToUtf8(label) + "`"), std::string::npos) << ToUtf8(label);
  for (const uint32_t mb : {uint32_t(kSmallSsdLimitMB), uint32_t(kSsdSizedLimitMB), kCacheMinimumMB,
                            kRapidStartLimitMB, kLargeRapidStartMB})
    EXPECT_NE(doc.find(std::to_string(mb) + " MB"), std::string::npos) << mb;
}

TEST(Docs, EveryWarningKindOfEveryScenarioHasItsRowWithItsSeverity) {
  const std::string doc = Doc();
  size_t kinds = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::string(QUORVANE_SOURCE_DIR) +
                                                               "/tests/scenarios/expected")) {
    std::ifstream in(entry.path() / "summary.json");
    const auto summary = nlohmann::json::parse(in);
    for (const auto& warning : summary["warnings"]) {
      const std::string row = "| `" + warning["kind"].get<std::string>() + "` | " +
                              warning["severity"].get<std::string>() + " |";
      EXPECT_NE(doc.find(row), std::string::npos) << row << " (" << entry.path() << ")";
      ++kinds;
    }
  }
  EXPECT_GE(kinds, 40u);
}

TEST(Docs, TheExampleProfilesLoadAndTheWalkThroughTakesItsRoad) {
  const std::string doc = Doc();
  std::string walkThrough;
  const std::regex block("```json\n([^`]*)```");
  for (auto it = std::sregex_iterator(doc.begin(), doc.end(), block); it != std::sregex_iterator();
       ++it) {
    EXPECT_NO_THROW(sim::LoadProfile((*it)[1].str(), "doc.json")) << (*it)[1];
    if ((*it)[1].str().find("\"my-notebook\"") != std::string::npos) walkThrough = (*it)[1];
  }
  ASSERT_FALSE(walkThrough.empty());
  // Carved with 4 GB, and M: on Windows' partition behind the MSR, as the text says.
  ReportedRun run(walkThrough);
  EXPECT_EQ(run.report.road, Road::RapidStart);
  ASSERT_EQ(run.report.disksAfter.size(), 2u);
  ASSERT_EQ(run.report.disksAfter[1].partitions.size(), 1u);
  EXPECT_EQ(run.report.disksAfter[1].partitions[0].sizeMB, 4096);
  EXPECT_TRUE(std::any_of(run.report.warnings.begin(), run.report.warnings.end(), [](auto& w) {
    return w.text.rfind("M: ", 0) == 0 && w.text.find("\"OS\"") != std::string::npos;
  }));
  // The what-ifs: parameter 255 turns rapid start off under revision 2.16, not under 2.8.
  const std::string off = std::regex_replace(walkThrough, std::regex("\\[1, 1\\]"), "[1, 255]");
  EXPECT_EQ(ReportedRun(off).report.road, Road::None);
  const std::string older = std::regex_replace(off, std::regex("\\[2, 16\\]"), "[2, 8]");
  EXPECT_EQ(ReportedRun(older).report.road, Road::RapidStart);
}

// The manual page says what --help says: each option (the lines after .TP in its OPTIONS, where
// options are set as \-\-name) and each exit status (after .TP in its EXIT STATUS), no more and
// no fewer; and the help names the page's positional PROFILE.
TEST(Docs, TheManualPageHasTheOptionsAndExitStatusesOfHelp) {
  std::ostringstream out, err;
  const char* argv[] = {"quorvane-sim", "--help"};
  ASSERT_EQ(sim::RunCommandLine(2, argv, {}, out, err), 0) << err.str();
  const std::string help = out.str();
  const std::string page = ReadDoc("quorvane-sim.1");

  const std::string options = ManualSection(page, "OPTIONS");
  std::string tags;  // the line after each .TP
  for (const std::string& tag : Matches(options, R"(\n\.TP\n([^\n]*))")) tags += tag + "\n";
  std::set<std::string> described;
  for (const std::string& name : Matches(tags, R"(\\-\\-([a-z]+))")) described.insert("--" + name);
  EXPECT_FALSE(described.empty());
  EXPECT_EQ(described, Matches(help, R"((?:^|[ ,])(--[a-z]+))"));
  EXPECT_NE(tags.find(".I PROFILE\n"), std::string::npos);
  EXPECT_NE(help.find("PROFILE"), std::string::npos);
  EXPECT_NE(tags.find(R"(\-h)"), std::string::npos);
  EXPECT_NE(help.find("-h,--help"), std::string::npos);

  const std::set<std::string> statuses = Matches(help, R"((?:Exit status: |; )(\d) )");
  EXPECT_EQ(statuses.size(), 4u) << help;
  EXPECT_EQ(statuses, Matches(ManualSection(page, "EXIT STATUS"), R"(\n\.TP\n\.B (\d)\n)"));
}

}  // namespace
}  // namespace quorvane::report
