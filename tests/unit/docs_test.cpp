// docs/simulator.md as a technician reads it: its tables of labels and limits against the rules
// of the run, and its example profiles against the loader and the engine.
#include <gtest/gtest.h>

#include <fstream>
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

// The text of the section under `heading` up to the next heading of its level or above.
std::string Section(const std::string& doc, const std::string& heading) {
  const size_t from = doc.find("\n" + heading + "\n");
  if (from == std::string::npos) return "";
  const size_t level = heading.find(' ');
  size_t to = from + heading.size() + 2;
  while ((to = doc.find("\n#", to)) != std::string::npos && doc.find(' ', to + 1) - to - 1 > level)
    ++to;
  return doc.substr(from, to == std::string::npos ? std::string::npos : to - from);
}

std::vector<std::string> JsonBlocks(const std::string& doc) {
  std::vector<std::string> blocks;
  const std::regex block("```json\n([^`]*)```");
  for (auto it = std::sregex_iterator(doc.begin(), doc.end(), block); it != std::sregex_iterator();
       ++it)
    blocks.push_back((*it)[1]);
  return blocks;
}

TEST(Docs, TheTablesNameEveryLabelAndLimitTheRunUses) {
  const std::string doc = Doc();
  const std::string labels = Section(doc, "### The labels the run recognises");
  ASSERT_FALSE(labels.empty());
  std::vector<std::wstring> all = {kPqServiceLabel,      kPqService2Label, kPushButtonLabel,
                                   kSystemReservedLabel, kEspLabel,        kRecoveryLabel};
  all.insert(all.end(), kOsLabels.begin(), kOsLabels.end());
  for (const std::wstring& label : all)
    EXPECT_NE(labels.find("`" + ToUtf8(label) + "`"), std::string::npos) << ToUtf8(label);

  const std::string limits = Section(doc, "### Size limits");
  const std::string words = Section(doc, "### Words");
  for (const uint32_t mb : {uint32_t(kSmallSsdLimitMB), uint32_t(kSsdSizedLimitMB), kCacheMinimumMB,
                            kRapidStartLimitMB, kLargeRapidStartMB}) {
    EXPECT_NE(limits.find(std::to_string(mb) + " MB"), std::string::npos) << mb;
  }
  EXPECT_NE(words.find(std::to_string(kSmallSsdLimitMB) + " MB"), std::string::npos);
}

TEST(Docs, TheExampleProfilesLoadAndTheWalkThroughTakesItsRoad) {
  const auto blocks = JsonBlocks(Doc());
  ASSERT_GE(blocks.size(), 2u);
  for (const auto& block : blocks) EXPECT_NO_THROW(sim::LoadProfile(block, "doc.json")) << block;

  std::string walkThrough;
  for (const auto& block : blocks)
    if (block.find("\"my-notebook\"") != std::string::npos) walkThrough = block;
  ASSERT_FALSE(walkThrough.empty());
  {
    // Carved with 4 GB, and M: on Windows' partition behind the MSR, as the text says.
    ReportedRun run(walkThrough);
    EXPECT_EQ(run.report.road, Road::RapidStart);
    ASSERT_EQ(run.report.disksAfter.size(), 2u);
    ASSERT_EQ(run.report.disksAfter[1].partitions.size(), 1u);
    EXPECT_EQ(run.report.disksAfter[1].partitions[0].sizeMB, 4096);
    bool mOnOs = false;
    for (const auto& w : run.report.warnings)
      mOnOs = mOnOs || (w.text.rfind("M: ", 0) == 0 && w.text.find("\"OS\"") != std::string::npos);
    EXPECT_TRUE(mOnOs);
  }
  // The two what-ifs: parameter 255 turns it off under revision 2.16, not under 2.8.
  const std::string off = std::regex_replace(walkThrough, std::regex("\\[1, 1\\]"), "[1, 255]");
  ASSERT_NE(off, walkThrough);
  EXPECT_EQ(ReportedRun(off).report.road, Road::None);
  const std::string older = std::regex_replace(off, std::regex("\\[2, 16\\]"), "[2, 8]");
  ASSERT_NE(older, off);
  EXPECT_EQ(ReportedRun(older).report.road, Road::RapidStart);
}

}  // namespace
}  // namespace quorvane::report
