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
        const bool mapped = std::any_of(report.letters.begin(), report.letters.end(), [&](auto& l) {
          return l.letter == use && l.target == path;
        });
        EXPECT_EQ(mapped, role.story.find(" meant for") == std::string::npos) << use;
      }
      // The wiped disk is the cleaned one, and only the SSD's.
      bool cleaned = false;
      for (const auto& disk : report.changes.disks)
        cleaned |= disk.cleaned && disk.index == role.disk;
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

}  // namespace
}  // namespace quorvane::report
