// Every reviewed output tree of the scenarios, read back from its logs alone: the row agrees with
// the tree's summary.json wherever a log can tell.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "base/text.h"
#include "fleet/log_file.h"
#include "fleet/log_reader.h"
#include "fleet/table_writers.h"

namespace quorvane::fleet {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

const fs::path kExpected = fs::path(QUORVANE_SOURCE_DIR) / "tests/scenarios/expected";

std::vector<LogFile> TreeLogs(const fs::path& tree) {
  std::vector<fs::path> paths;
  if (!fs::exists(tree / "volumes")) return {};  // a run that wrote nothing
  for (const auto& entry : fs::recursive_directory_iterator(tree / "volumes")) {
    if (EqualsIgnoreCaseAscii(FromUtf8(entry.path().filename().string()), L"Quorvane.log")) {
      paths.push_back(entry.path());
    }
  }
  std::sort(paths.begin(), paths.end());
  std::vector<LogFile> files;
  for (const auto& path : paths) files.push_back(ReadLogFile(path));
  return files;
}

std::vector<std::string> WarningTexts(const Json& warnings, const std::string& kind) {
  std::vector<std::string> texts;
  for (const auto& w : warnings) {
    if (w["kind"] == kind) texts.push_back(w["text"]);
  }
  return texts;
}

std::vector<std::string> WarningTexts(const FleetRow& row, const std::string& kind) {
  std::vector<std::string> texts;
  for (const auto& w : row.warnings) {
    if (w.kind == kind) texts.push_back(w.text);
  }
  return texts;
}

// The letter-role warnings a log can show: M: never mapped.
std::vector<std::string> Unmapped(std::vector<std::string> texts) {
  std::erase_if(texts, [](const std::string& t) { return !t.starts_with("M: is not mapped"); });
  return texts;
}

// "disk N was wiped": the labels differ (a log holds those of lettered partitions, upper-cased).
std::vector<std::string> WipedDisks(std::vector<std::string> texts) {
  for (auto& t : texts) t = t.substr(0, t.find(" while"));
  return texts;
}

TEST(FleetCorpus, EveryScenarioTreeReadsBackAsItsSummary) {
  size_t trees = 0;
  for (const auto& entry : fs::directory_iterator(kExpected)) {
    const fs::path tree = entry.path();
    const std::string name = tree.filename().string();
    SCOPED_TRACE(name);
    std::ifstream in(tree / "summary.json");
    const Json summary = Json::parse(in);
    const FleetRow row = ReadMachineRow(name, TreeLogs(tree));
    ++trees;
    // A run whose RAM drive could not take the log leaves no whole log: its row says so.
    if (!WarningTexts(summary["warnings"], "no-ram-log").empty()) {
      const bool noted = std::any_of(row.notes.begin(), row.notes.end(), [](const auto& note) {
        return note.find("the log before \"PBR letter\" is missing") != std::string::npos;
      });
      EXPECT_TRUE(StatusName(row.status) != std::string("read") || noted) << row.problem;
      continue;
    }

    EXPECT_EQ(StatusName(row.status), std::string("read")) << row.problem;
    // A note only where the writer merged the run's last "ExitCode:0x0" into an earlier one.
    for (const auto& note : row.notes) EXPECT_NE(note.find("merged"), std::string::npos) << note;
    EXPECT_EQ(row.road, summary["road"]);
    EXPECT_EQ(row.ssdHddMode, summary["flags"]["ssdHddMode"].get<bool>());
    EXPECT_EQ(row.miniSsd, summary["flags"]["miniSsd"].get<bool>());
    EXPECT_EQ(row.rapidStart, summary["flags"]["rapidStart"].get<bool>());

    ASSERT_TRUE(row.roles.has_value());
    for (int role = 0; role < kRoleCount; ++role) {
      const Json& want = summary["roles"][kRoleNames[role]];
      EXPECT_EQ((*row.roles)[role], (RoleCell{want["found"], want["disk"], want["partition"]}))
          << kRoleNames[role];
    }

    EXPECT_TRUE(row.commandsWhole);
    ASSERT_EQ(row.commands.size(), summary["commands"].size());
    for (size_t i = 0; i < row.commands.size(); ++i) {
      const Json& want = summary["commands"][i];
      EXPECT_EQ(row.commands[i].commandLine, want["commandLine"]);
      EXPECT_EQ(row.commands[i].started, want["started"]);
      if (want["exitCode"].is_null()) {
        EXPECT_FALSE(row.commands[i].exitCode.has_value()) << row.commands[i].commandLine;
      } else {
        EXPECT_EQ(row.commands[i].exitCode, want["exitCode"].get<uint32_t>());
      }
    }

    std::vector<std::string> boxes, wantBoxes;
    for (const auto& box : row.messageBoxes) boxes.push_back(box.text + "|" + box.caption);
    for (const auto& box : summary["messageBoxes"]) {
      wantBoxes.push_back(box["text"].get<std::string>() + "|" + box["caption"].get<std::string>());
    }
    EXPECT_EQ(boxes, wantBoxes);

    const Json& warnings = summary["warnings"];
    for (const char* kind : {"message-box", "lost-log-line", "command-failed"}) {
      EXPECT_EQ(WarningTexts(row, kind), WarningTexts(warnings, kind)) << kind;
    }
    EXPECT_EQ(WarningTexts(row, "letter-role"), Unmapped(WarningTexts(warnings, "letter-role")));
    // A log cannot tell a failed SMBIOS read from a machine without the record: every failed
    // read the simulator knows of shows, and so does every machine without the record.
    bool smbiosFailLogged = false;
    for (const LogFile& file : TreeLogs(tree)) {
      smbiosFailLogged |=
          std::string(file.bytes.begin(), file.bytes.end()).find(" Get SMBIOS fail=\r\n") !=
          std::string::npos;
    }
    EXPECT_EQ(WarningTexts(row, "smbios-unread").size(), smbiosFailLogged ? 1u : 0u);
    if (!WarningTexts(warnings, "smbios-unread").empty()) {
      EXPECT_TRUE(smbiosFailLogged);
    }
    // A log names the labels of lettered partitions only: a wiped disk without them shows no
    // warning, but the row still names the disk.
    const auto wiped = WipedDisks(WarningTexts(warnings, "disk-cleaned"));
    for (const auto& text : WipedDisks(WarningTexts(row, "disk-cleaned"))) {
      EXPECT_NE(std::find(wiped.begin(), wiped.end(), text), wiped.end()) << text;
    }
    for (const auto& text : wiped) {
      EXPECT_EQ(text, "disk " + std::to_string(row.wipedDisk.value_or(-1)) + " was wiped");
    }
  }
  EXPECT_GE(trees, 40u);
}

// What Windows' and Wine's INI writer leave: it rereads the file on every write, so a key that
// holds '=' ends at its first '=' with the blanks around that '=' dropped, and the trailing blanks
// of a value go; such a key written twice in one millisecond stays twice (the separator). Line
// ends as a copy tool may leave them: LF.
std::string AtFirstEquals(std::string text) {
  const size_t eq = text.find('=');
  if (eq == std::string::npos) return text;
  size_t end = eq, start = eq + 1;
  while (end > 0 && text[end - 1] == ' ') --end;
  while (start < text.size() && text[start] == ' ') ++start;
  return text.substr(0, end) + "=" + text.substr(start);
}

std::string RewrittenByWindows(const std::string& bytes) {
  std::string out;
  std::istringstream in(bytes);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.front() != '[') {
      line = AtFirstEquals(line);
      while (line.back() == ' ') line.pop_back();
    }
    out += line + "\n";
    if (line.size() > 24 && line.substr(23).starts_with("=====")) out += line + "\n";
  }
  return out;
}

TEST(FleetCorpus, WindowsRewrittenKeysReadAsWritten) {
  size_t rewritten = 0;
  for (const auto& entry : fs::directory_iterator(kExpected)) {
    const std::string name = entry.path().filename().string();
    SCOPED_TRACE(name);
    std::vector<LogFile> asWritten = TreeLogs(entry.path());
    std::vector<LogFile> asRewritten;
    for (const LogFile& file : asWritten) {
      LogFile copy;
      copy.path = file.path;
      const std::string text =
          RewrittenByWindows(std::string(file.bytes.begin(), file.bytes.end()));
      rewritten += text != std::string(file.bytes.begin(), file.bytes.end()) ? 1 : 0;
      copy.bytes.assign(text.begin(), text.end());
      ScanLogFile(copy);
      asRewritten.push_back(std::move(copy));
    }
    Json written = RowJson(ReadMachineRow(name, asWritten));
    const Json read = RowJson(ReadMachineRow(name, asRewritten));
    // A label is part of its line's key: its first '=' loses its blanks too.
    for (auto& part : written["partitions"]) part["label"] = AtFirstEquals(part["label"]);
    for (const auto& [field, value] : written.items()) EXPECT_EQ(read[field], value) << field;
  }
  EXPECT_GE(rewritten, 40u);
}

}  // namespace
}  // namespace quorvane::fleet
