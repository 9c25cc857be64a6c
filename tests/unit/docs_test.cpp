// docs/simulator.md as a technician reads it: its tables against the labels and limits of the
// run, and its example profiles against the loader and the engine.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "base/text.h"
#include "classify/disk_sizes.h"
#include "classify/role_labels.h"
#include "platform/sim/profile_loader.h"
#include "procedure/rapid_start.h"
#include "tests/unit/reported_run.h"

namespace quorvane::report {
namespace {

std::string Doc() {
  std::ifstream in(QUORVANE_SOURCE_DIR "/docs/simulator.md", std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
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

}  // namespace
}  // namespace quorvane::report
