// Real logs as technicians collect them: a small fleet folder, copies of one part, runs appended
// to one log, Windows' spelling, and logs that are foreign, damaged or cut short.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "fleet/log_folders.h"
#include "fleet/log_messages.h"
#include "fleet/log_reader.h"
#include "fleet/table_writers.h"
#include "tests/unit/small_fleet.h"

namespace quorvane::fleet {
namespace {

namespace fs = std::filesystem;

LogFile FromBytes(const std::string& path, const std::string& bytes) {
  LogFile file;
  file.path = path;
  file.bytes.assign(bytes.begin(), bytes.end());
  ScanLogFile(file);
  return file;
}

FleetRow RowOf(const std::vector<std::pair<std::string, std::string>>& files) {
  std::vector<LogFile> logs;
  for (const auto& [path, bytes] : files) logs.push_back(FromBytes(path, bytes));
  return ReadMachineRow("NB", logs);
}

TEST(FleetLogs, SmallFleetTableAsReviewed) {
  TempFolder fleet;
  PutSmallFleet(fleet);
  std::vector<std::string> errors;
  const auto machines = FindMachineLogs({fleet.root().string()}, errors);
  EXPECT_TRUE(errors.empty());
  const std::vector<FleetRow> rows = ReadFleetLogs(machines);
  ASSERT_EQ(rows.size(), 6u);

  EXPECT_EQ(rows[0].status, RowStatus::Read);
  EXPECT_TRUE(rows[0].notes.empty());
  EXPECT_EQ(rows[2].status, RowStatus::CutShort);  // the log on M:, with the run's end, is missing
  EXPECT_EQ(rows[3].status, RowStatus::Foreign);
  EXPECT_EQ(rows[4].status, RowStatus::CutShort);
  EXPECT_EQ(rows[4].wipedDisk, 1);  // diskpart had begun: the cache SSD counts as wiped
  EXPECT_EQ(rows[5].status, RowStatus::Damaged);
  EXPECT_EQ(rows[5].road, "none");  // the lines around the zero bytes are still read

  ExpectReviewedCsv(rows, fleet, "small-fleet.csv");
}

TEST(FleetLogs, MachinesAreTheFoldersAboveTheLogs) {
  TempFolder fleet;
  PutSmallFleet(fleet);
  fleet.Put("empty/notes.txt", "nothing here");
  const std::string nb1 = (fleet.root() / "NB-0001").string();
  std::vector<std::string> errors;
  const auto machines = FindMachineLogs(
      {fleet.root().string(), nb1 + "/RYTOOLS/Quorvane.log", (fleet.root() / "empty").string(),
       (fleet.root() / "missing").string(), "/dev/null"},
      errors);
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_EQ(errors[2], "/dev/null: neither a file nor a folder");
  EXPECT_NE(errors[0].find("empty: no Quorvane.log in it"), std::string::npos) << errors[0];
  EXPECT_NE(errors[1].find("missing: no such file or folder"), std::string::npos) << errors[1];
  ASSERT_EQ(machines.size(), 6u);
  EXPECT_EQ(machines[0].machine, "NB-0001");
  EXPECT_EQ(machines[0].files.size(), 2u);    // the file named twice is read once
  EXPECT_EQ(machines[2].machine, "NB-0003");  // "rytools" names no machine, in any case
  EXPECT_EQ(machines[5].files.size(), 2u);    // other files beside the logs are passed over
}

TEST(FleetLogs, PartsOfOneRunAndRunsOfOneLog) {
  const std::string early = TreeLog("wmi-slow-start", "X/Quorvane.log");
  const std::string copy = TreeLog("wmi-slow-start", "disk0-part3/RYTOOLS/Quorvane.log");
  const std::string late = TreeLog("wmi-slow-start", "disk0-part3/Quorvane.log");
  const FleetRow both = RowOf({{"X", early}, {"M", late}});
  ASSERT_EQ(both.status, RowStatus::Read);

  // The RAM-drive log and its tools copy are one part: read once.
  const FleetRow copies = RowOf({{"X", early}, {"RYTOOLS", copy}, {"M", late}});
  ASSERT_FALSE(both.inventoryErrors.empty());
  EXPECT_EQ(copies.inventoryErrors, both.inventoryErrors);
  EXPECT_EQ(copies.commands.size(), both.commands.size());
  EXPECT_TRUE(copies.notes.empty());

  // A copy that disagrees is named; the longer one is read.
  const FleetRow differ =
      RowOf({{"X", Through(early, "m_DiskCount")}, {"RYTOOLS", copy}, {"M", late}});
  ASSERT_EQ(differ.notes.size(), 0u);  // a shorter copy is a prefix: no disagreement
  std::string altered = copy;
  altered.replace(altered.find("AssignLetterToEFI"), 17, "Assign");
  const FleetRow disagree = RowOf({{"X", early}, {"RYTOOLS", altered}, {"M", late}});
  ASSERT_EQ(disagree.notes.size(), 1u);
  EXPECT_NE(disagree.notes[0].find("differ"), std::string::npos);

  // The log on M: outlives a run: the next run appends to it. The row is the latest run.
  auto nextDay = [](std::string log) {
    for (size_t at; (at = log.find("2026/ 3/ 3")) != std::string::npos;)
      log.replace(at, 10, "2026/ 3/ 4");
    return log;
  };
  ASSERT_NE(early.find("2026/ 3/ 3"), std::string::npos);
  const std::string appended = late + nextDay(late).substr(late.find('\n') + 1);
  const FleetRow twice = RowOf({{"RYTOOLS", nextDay(copy)}, {"M", appended}});
  EXPECT_EQ(twice.status, RowStatus::Read);
  EXPECT_EQ(twice.startMs, *both.startMs + 86400000);
  EXPECT_EQ(twice.endMs, *both.endMs + 86400000);
  EXPECT_EQ(twice.commands.size(), both.commands.size());
  ASSERT_EQ(twice.notes.size(), 1u);
  EXPECT_EQ(twice.notes[0], "1 earlier run(s) in these logs; the row is the latest run");

  // Only the log on M:: the road and commands, not the start or the roles.
  const FleetRow lateOnly = RowOf({{"M", late}});
  EXPECT_EQ(lateOnly.status, RowStatus::Read);
  EXPECT_EQ(lateOnly.road, both.road);
  EXPECT_FALSE(lateOnly.startMs || lateOnly.roles || lateOnly.commandsWhole);
  EXPECT_EQ(lateOnly.endMs, both.endMs);
}

// `count` lines of a log from line `first` (0: the section line).
std::string Lines(const std::string& log, size_t first, size_t count) {
  std::istringstream in(log);
  std::string line, out;
  for (size_t n = 0; std::getline(in, line); ++n) {
    if (n >= first && n < first + count) out += line + "\n";
  }
  return out;
}

std::string Repeated(const std::string& line, size_t times) {
  std::string out = "[Quorvane]\r\n";
  for (size_t i = 0; i < times; ++i) out += line;
  return out;
}

// As an editor saves it in "Unicode": a byte-order mark, two bytes a character.
std::string Utf16(const std::string& text) {
  std::string out = "\xFF\xFE";
  for (char c : text) out += std::string{c, '\0'};
  return out;
}

TEST(FleetLogs, FilesThatAreNotWholeLogsOfOurs) {
  const std::string log = TreeLog("uefi-rapid-start", "X/Quorvane.log");
  auto statusOf = [](const FleetRow& row) { return std::string(StatusName(row.status)); };
  const struct {
    const char* what;
    std::string bytes;
    const char* status;
    const char* problem;
  } cases[] = {
      {"empty", "", "damaged", "the file is empty"},
      {"binary",
       std::string("\x7f"
                   "ELF\x02\x01\x01\0\0\0",
                   10),
       "foreign", "not a run log"},
      {"another program's INI", "[Settings]\r\nWidth=3\r\n", "foreign", "not a run log"},
      {"no header", log.substr(log.find('\n') + 1), "damaged", "line 1: no [Quorvane] section"},
      {"header only", "[Quorvane]\r\n", "damaged", "line 1: no log line after the section"},
      {"a line without stamp", log + "Get Disk info=\r\n", "damaged", "no time stamp"},
      {"a second section", log + "[Other]\r\n", "damaged", "a section of its own"},
      {"a line without '='", log + log.substr(12, 40) + "\r\n", "damaged", "no '='"},
      {"saved as UTF-16", Utf16(log), "damaged",
       "UTF-16 text: save it as the program wrote it, 8-bit"},
      {"one line over and over", Repeated("2026/ 5/ 4 10:30: 0:125 Get Disk info=\r\n", 5000),
       "damaged",
       "line 3: the time stamp and key of the line before again, which the writer would have "
       "merged"},
      {"six lines from the middle", "[Quorvane]\r\n" + Lines(log, 20, 6), "cut-short",
       "no run starts in these logs"},
      {"cut inside its last line", log.substr(0, log.size() - 4), "cut-short", "ends inside line"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const FleetRow row = RowOf({{"NB/Quorvane.log", c.bytes}});
    EXPECT_EQ(statusOf(row), c.status);
    EXPECT_NE(row.problem.find(c.problem), std::string::npos) << row.problem;
    if (row.status != RowStatus::CutShort) {
      EXPECT_NE(row.problem.find("NB/Quorvane.log: "), std::string::npos) << row.problem;
    }
  }

  // A foreign file beside the logs of a machine: the row is read, and says it is not whole.
  const FleetRow mixed = RowOf({{"X", log},
                                {"M", TreeLog("uefi-rapid-start", "disk0-part4/Quorvane.log")},
                                {"odd", "hello\n"}});
  EXPECT_EQ(mixed.status, RowStatus::Damaged);
  EXPECT_EQ(mixed.road, "rapid-start");
  EXPECT_EQ(mixed.problem, "odd: not a run log: it does not start with [Quorvane]");

  // A file over the size limit is not read, and says which limit.
  TempFolder folder;
  folder.Put("big/Quorvane.log", "");
  fs::resize_file(folder.root() / "big/Quorvane.log", kMaxLogBytes + 1);
  const LogFile big = ReadLogFile(folder.root() / "big/Quorvane.log");
  EXPECT_EQ(big.verdict, FileVerdict::Foreign);
  EXPECT_NE(big.problem.find("over the limit of 64 MiB"), std::string::npos) << big.problem;
}

TEST(FleetLogs, RunsCutShort) {
  const std::string early = TreeLog("uefi-rapid-start", "X/Quorvane.log");
  const std::string late = TreeLog("uefi-rapid-start", "disk0-part4/Quorvane.log");
  const struct {
    const char* what;
    std::string early;
    std::string late;
    const char* endsAt;
  } cases[] = {
      {"during the refresh", Through(early, "[1]"), "", "\"PBR Partition\" should follow"},
      {"after the flags", early, Through(late, "m_biRST"), "\"m_biRST=true\""},
      {"while diskpart ran", early, Through(late, "Diskpart.exe"),
       "\"Diskpart.exe /s X:\\NAPP2P_SSDHDD.ini=\""},
      {"before the copy ended", early, Through(late, "Copy log"), "\"Copy log to PBR partition=\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::pair<std::string, std::string>> files{{"X", c.early}};
    if (!c.late.empty()) files.emplace_back("M", c.late);
    const FleetRow row = RowOf(files);
    EXPECT_EQ(row.status, RowStatus::CutShort);
    EXPECT_NE(row.problem.find(c.endsAt), std::string::npos) << row.problem;
  }
  // Diskpart's end is not in the log: its exit code is unknown, the disk counts as wiped.
  const FleetRow during = RowOf({{"X", early}, {"M", Through(late, "Diskpart.exe")}});
  ASSERT_EQ(during.commands.size(), 1u);
  EXPECT_FALSE(during.commands[0].exitCode.has_value());
  EXPECT_EQ(during.wipedDisk, 1);
  // The RAM-drive log up to "PBR Partition" holds no road's end: the log on M: is missing.
  const FleetRow earlyOnly = RowOf({{"X", early}});
  EXPECT_EQ(earlyOnly.status, RowStatus::CutShort);
  EXPECT_NE(earlyOnly.problem.find("\"PBR letter\" should follow"), std::string::npos);
  EXPECT_FALSE(earlyOnly.endMs || !earlyOnly.road.empty());
  // The log on M: alone, its road over but no copy: only the first part tells whether the copy
  // was due.
  const FleetRow lateOnly = RowOf({{"M", Through(late, "ExitCode")}});
  EXPECT_EQ(lateOnly.status, RowStatus::CutShort);
  EXPECT_NE(lateOnly.problem.find("when the run found the recovery partition"), std::string::npos);
}

TEST(FleetLogs, MessagesInBothSpellingsOfTheirFirstEquals) {
  // The INI writer rereads a key holding '=' up to that '=' and drops the blanks around it.
  for (const char* line : {"SSDCount = 0=", "SSDCount=0="}) {
    const LogMessage m = ClassifyLine(line);
    EXPECT_EQ(m.kind, LineKind::SsdCount) << line;
    EXPECT_EQ(m.number[0], 0) << line;
  }
  const LogMessage call = ClassifyLine("call err=2, szCommand = M:\\RebuildEnd_CopyFile.cmd=");
  EXPECT_EQ(call.kind, LineKind::CallError);
  EXPECT_EQ(call.number[0], 2);
  EXPECT_EQ(call.text, "M:\\RebuildEnd_CopyFile.cmd");
  // A value may hold '=': the key is the known message before it.
  const LogMessage mount = ClassifyLine("PBR Partition=\\Device\\Harddisk0\\Partition4=x");
  EXPECT_EQ(mount.kind, LineKind::PbrPartition);
  EXPECT_EQ(mount.value, "\\Device\\Harddisk0\\Partition4=x");
  // A label may hold anything, the size being the last "d.ddGB" after a blank.
  const auto part = ParsePartitionLine("[3]0 1 F: A 1.00GB =B 0.98GB GPT: BASIC DATA");
  ASSERT_TRUE(part);
  EXPECT_EQ(part->label, "A 1.00GB =B");
  EXPECT_EQ(part->sizeGB, "0.98");
  EXPECT_EQ(part->type, "GPT: BASIC DATA");
  const auto disk = ParseDiskLine("HDD 2, Disk, model 7, \\\\.\\PHYSICALDRIVE2, #P=1, 30533, GPT");
  ASSERT_TRUE(disk);
  EXPECT_EQ(disk->model, "Disk, model 7");
  EXPECT_EQ(disk->partitions, 1);
}

TEST(FleetLogs, TimeStamps) {
  int64_t ms = 0;
  ASSERT_TRUE(ParseTimeStamp("2027/ 1/ 1  0: 0: 0:  0", ms));
  EXPECT_EQ(FormatLocalTime(ms), "2027-01-01 00:00:00.000");
  ASSERT_TRUE(ParseTimeStamp("2028/ 2/29 23:59:59:999", ms));
  EXPECT_EQ(FormatLocalTime(ms + 1), "2028-03-01 00:00:00.000");
  for (const char* bad :
       {"2026/13/ 7 14: 5: 3: 42", "2026/12/ 7 14: 5: 3:4 2", "2026-12- 7 14: 5: 3: 42",
        "2026/12/ 7 24: 5: 3: 42", "2026/12/07 14:05:03:042x"}) {
    EXPECT_FALSE(ParseTimeStamp(bad, ms)) << bad;
  }
}

}  // namespace
}  // namespace quorvane::fleet
