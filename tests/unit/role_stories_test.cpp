// Each role's story on every scenario: told alike by the terminal, summary.json and the page, and
// true to the letters, wiped disks and mode check of the run.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "letters/device_path.h"
#include "report/layout_picture.h"
#include "report/summary_json.h"
#include "report/terminal_summary.h"
#include "tests/unit/reported_run.h"

namespace quorvane::report {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> ScenarioNames() {
  std::vector<std::string> names;
  for (const auto& entry :
       fs::directory_iterator(fs::path(QUORVANE_SOURCE_DIR) / "tests/scenarios/expected"))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The Roles entry of the terminal summary, a role a line (wrapped lines joined).
std::vector<std::string> TerminalRoles(const RunReport& report) {
  std::ostringstream out;
  PrintTerminalSummary(report, "out", out, false);
  const std::string text = std::regex_replace(out.str(), std::regex("\n {21,}"), " ");
  std::vector<std::string> lines;
  std::istringstream in(text.substr(text.find("\nRoles ") + 1));
  for (std::string line; std::getline(in, line) && lines.size() < report.roles.size();)
    lines.push_back(line.substr(11));
  return lines;
}

const LetterReport* Letter(const RunReport& report, const std::string& letter) {
  for (const auto& l : report.letters)
    if (l.letter == letter) return &l;
  return nullptr;
}

TEST(RoleStories, EveryScenarioTellsEachRoleAlikeAndTrueToTheRun) {
  size_t resets = 0, wiped = 0, letters = 0;
  for (const std::string& name : ScenarioNames()) {
    SCOPED_TRACE(name);
    ReportedRun run(MachineProfile(name));
    const RunReport& report = run.report;
    const auto summary = nlohmann::json::parse(SummaryJson(report));
    const std::string page = RenderLayoutPicture(report);
    const auto terminal = TerminalRoles(report);
    ASSERT_EQ(terminal.size(), 6u);
    for (size_t i = 0; i < report.roles.size(); ++i) {
      const RoleReport& role = report.roles[i];
      SCOPED_TRACE(role.name);
      ASSERT_FALSE(role.story.empty());
      // A terminal shows a label's control characters as '?' (bad-labels).
      const std::string shown = std::regex_replace(RoleText(role), std::regex("[\x01-\x1f]"), "?");
      EXPECT_EQ(terminal[i], role.name + std::string(10 - role.name.size(), ' ') + shown);
      EXPECT_NE(page.find("<li><b>" + role.name + "</b> " + EscapeHtml(RoleText(role)) + "</li>"),
                std::string::npos);
      const auto& json = summary["roles"][role.name];
      EXPECT_EQ(json["use"], role.use);
      EXPECT_EQ(json["reset"].is_null(), !role.reset.has_value());

      // A letter on the role is in force there, unless its story says the mapping failed.
      const std::string path = ToUtf8(PartitionDevicePath(role.disk, role.partition));
      for (const std::string& use : role.use) {
        if (use == "wiped disk") continue;
        ++letters;
        const LetterReport* letter = Letter(report, use);
        const bool failed = role.story.find(use + " meant for it") != std::string::npos ||
                            role.story.find(use + " was meant for") != std::string::npos;
        EXPECT_EQ(letter != nullptr && letter->target == path, !failed) << use;
      }
      // The wiped disk is the cleaned one, and only the SSD's.
      bool cleaned = false;
      for (const auto& disk : report.changes.disks) cleaned |= disk.cleaned && disk.index == role.disk;
      const bool saysWiped = std::count(role.use.begin(), role.use.end(), "wiped disk") > 0;
      EXPECT_EQ(saysWiped, role.name == "ssd" && role.found && cleaned);
      wiped += saysWiped;
      // Only the mode check empties a slot the refresh filled, and only when it found no
      // SSD+HDD mode.
      if (role.reset) {
        ++resets;
        EXPECT_FALSE(role.found);
        EXPECT_NE(report.road, Road::Register);
        EXPECT_TRUE(role.name == "ssd" || role.name == "hdd");
      }
    }
  }
  // The scenarios hold each kind of story.
  EXPECT_GE(resets, 5u);
  EXPECT_GE(wiped, 4u);
  EXPECT_GE(letters, 50u);
}

TEST(RoleStories, ASlotEmptiedByTheModeCheckAndAStandInSayWhat) {
  // PUSH BUTTON on the hard disk fills the hard disk's slot; no SSD on another disk, so the
  // cache SSD search empties it again.
  ReportedRun carve(MachineProfile("uefi-rapid-start"));
  EXPECT_EQ(TerminalRoles(carve.report)[4],
            "hdd       reset: SSD+HDD mode not met (it was disk 0 partition 3)");
  EXPECT_EQ(TerminalRoles(carve.report)[3],
            "ssd       disk 1 partition 1  no file system; its disk was wiped: the cache SSD of "
            "the carving");
  ReportedRun probe(MachineProfile("no-pbr-diskpart-probe"));
  EXPECT_EQ(TerminalRoles(probe.report)[0],
            "pbr       not found; M: went to disk 0 partition 1, on the disk that stands in for it");
}

}  // namespace
}  // namespace quorvane::report
