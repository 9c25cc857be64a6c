// Warnings of whole simulated runs: letters on the wrong volume, wiped disks, lost log lines,
// message boxes, failed commands, what the run could not see, and their order.
#include "report/warnings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/reported_run.h"

namespace quorvane::report {
namespace {

// The texts of the warnings of one kind, after a whole run on the machine.
std::vector<std::string> WarningsOf(const ReportedRun& run, const std::string& kind) {
  std::vector<std::string> texts;
  for (const auto& warning : run.report.warnings)
    if (warning.kind == kind) texts.push_back(warning.text);
  return texts;
}

constexpr char kEsp[] = R"({"label": "ESP", "type": "GPT: System", "sizeMB": 100})";
constexpr char kMsr[] = R"({"hidden": true, "label": null, "sizeMB": 16})";

std::string GptDisk(const std::string& partitions, int sizeMB = 244198) {
  return R"({"sizeMB": )" + std::to_string(sizeMB) + R"(, "style": "gpt", "partitions": [)" +
         partitions + "]}";
}

TEST(Warnings, FixedLetterOnAVolumeOfAnotherRole) {
  // PQSERVICE after an MSR: its WMI number plus one names the Recovery partition before it.
  ReportedRun shifted(R"({"disks": [)" +
                      GptDisk(std::string(kEsp) + "," + kMsr +
                              R"(, {"label": "OS", "sizeMB": 9000, "letter": "C:"},
                                  {"label": "Recovery", "sizeMB": 900},
                                  {"label": "PQSERVICE", "sizeMB": 9000})") +
                      "]}");
  EXPECT_EQ(WarningsOf(shifted, "letter-role"),
            std::vector<std::string>{"M: maps to \\Device\\Harddisk0\\Partition4 (the pbr role), "
                                     "the volume \"Recovery\", which is not a "
                                     "push-button-recovery partition"});

  // A C: the run never set is not the run's doing, whatever it holds.
  ReportedRun legacy(R"({"firmware": "legacy", "disks": [{"sizeMB": 400000, "style": "mbr",
      "partitions": [{"label": "System Reserved", "sizeMB": 100, "letter": "C:"},
                     {"label": "OS", "sizeMB": 90000, "letter": "D:"},
                     {"label": "PQSERVICE", "sizeMB": 9000}]}]})");
  EXPECT_TRUE(WarningsOf(legacy, "letter-role").empty());
}

TEST(Warnings, RegistrationLettersAreChecked) {
  // The recovery-tools partition after an MSR: W: lands on the MSR, C: on Windows.
  ReportedRun sim(R"({"disks": [)" +
                  GptDisk(std::string(kEsp) + "," + kMsr +
                          R"(, {"label": "Recovery tools", "sizeMB": 900},
                              {"label": "OS", "sizeMB": 9000, "letter": "C:", "files": {"Windows/": ""}},
                              {"label": "PQSERVICE", "sizeMB": 9000})") +
                  R"(, {"sizeMB": 953869, "style": "mbr", "partitions": [
                     {"label": "PQSERVICE2", "sizeMB": 9000, "letter": "Q:"}]}]})");
  EXPECT_EQ(WarningsOf(sim, "letter-role"),
            std::vector<std::string>{"W: maps to \\Device\\Harddisk0\\Partition2 (the recovery "
                                     "role), a partition without a file system, not a "
                                     "recovery-tools partition"});
}

TEST(Warnings, UnmappedMNamesTheMeantPartitionAndTheBoxes) {
  ReportedRun sim(R"({"faults": {"mountFailures": {"M:": "always"}}, "disks": [)" +
                  GptDisk(std::string(kEsp) + "," + kMsr +
                          R"(, {"label": "OS", "sizeMB": 9000, "letter": "C:"},
                              {"label": "PUSH BUTTON RESET", "sizeMB": 9000})") +
                  "]}");
  const auto& warnings = sim.report.warnings;
  std::vector<std::string> kinds;
  for (const auto& warning : warnings) kinds.push_back(warning.kind);
  EXPECT_EQ(kinds, (std::vector<std::string>{"letter-role", "message-box", "message-box",
                                             "command-failed"}));
  EXPECT_EQ(warnings[0].text,
            "M: is not mapped (it was meant for \\Device\\Harddisk0\\Partition4): the log stayed "
            "on the RAM drive X:, which is lost at the next reboot");
  EXPECT_EQ(warnings[1].text,
            "a message box stops the run until someone presses OK: \"Mount Failed\"");
  EXPECT_EQ(warnings[3].text, "could not start (error 2): M:\\RebuildEnd_CopyFile.cmd");
}

TEST(Warnings, WipedDiskNamesItsLabels) {
  // A cache SSD that still holds a user's labelled partitions (no role the run relies on).
  ReportedRun data(R"({"smbios": {"capabilities": {"revision": [2, 16], "entries": [[1, 1]]}},
      "disks": [{"sizeMB": 476940, "style": "mbr", "partitions": [
                   {"label": "PQSERVICE", "sizeMB": 9000}]},)" +
                   GptDisk(R"({"label": "DATA", "sizeMB": 20000}, {"label": "", "sizeMB": 100},
                             {"label": "Photos", "sizeMB": 9000})",
                           29820) +
                   "]}");
  EXPECT_EQ(WarningsOf(data, "disk-cleaned"),
            std::vector<std::string>{"disk 1 was wiped while it held \"DATA\", \"Photos\""});

  // A cache SSD holding only an unformatted partition is no surprise.
  ReportedRun cache(R"({"smbios": {"capabilities": {"revision": [2, 16], "entries": [[1, 1]]}},
      "disks": [{"sizeMB": 476940, "style": "mbr", "partitions": [
                   {"label": "PQSERVICE", "sizeMB": 9000}]},
                {"sizeMB": 30533, "partitions": [{"label": null, "sizeMB": 8192}]}]})");
  EXPECT_TRUE(WarningsOf(cache, "disk-cleaned").empty());
  EXPECT_EQ(cache.sim.platform().CleanedDisks().size(), 1u);
}

TEST(Warnings, LostLinesReadAsOneFindingPerFile) {
  // A write-protected RAM drive loses every line until the log moves to M:.
  ReportedRun sim(R"({"firmware": "legacy", "faults": {"readOnly": ["X:"]},
      "disks": [{"sizeMB": 400000, "style": "mbr", "partitions": [
                   {"label": "OS", "sizeMB": 90000, "letter": "C:"},
                   {"label": "PQSERVICE", "sizeMB": 9000}]}]})");
  auto lost = WarningsOf(sim, "lost-log-line");
  size_t count = 0;
  for (const auto& write : sim.sim.platform().LogWrites()) count += write.written ? 0 : 1;
  ASSERT_EQ(lost.size(), 1u);
  EXPECT_EQ(lost[0], std::to_string(count) +
                         " log lines lost, from \"Get SMBIOS fail=\" to \"PBR "
                         "Partition=\\Device\\Harddisk0\\Partition2\" "
                         "(X:\\Quorvane.log cannot be written)");
}

TEST(Warnings, CommandsThatFailToStartOrEndNonZero) {
  // No recovery partition and no system disk: the diskpart probe ends with 5.
  ReportedRun probe(R"({"tools": {"systemDisk": null}, "disks": [)" +
                    GptDisk(std::string(kEsp) + R"(, {"label": "OS", "sizeMB": 9000})") + "]}");
  EXPECT_EQ(WarningsOf(probe, "command-failed"),
            std::vector<std::string>{"ended with exit code 5: X:\\GetSystemPart.cmd"});

  ReportedRun blocked(R"({"faults": {"cannotStart": ["diskpart"]},
      "smbios": {"capabilities": {"revision": [2, 8], "entries": [[1, 1]]}},
      "disks": [{"sizeMB": 476940, "style": "mbr", "partitions": [{"label": "PQSERVICE", "sizeMB": 9000}]},
                {"sizeMB": 30533}]})");
  EXPECT_EQ(WarningsOf(blocked, "command-failed"),
            std::vector<std::string>{"could not start (error 2): Diskpart.exe /s "
                                     "X:\\NAPP2P_SSDHDD.ini"});
}

TEST(Warnings, WhatTheRunCouldNotSeeIsNamedWithItsReason) {
  // Only the partition no letter and no probe reached: the probed ESP and PQSERVICE are seen.
  ReportedRun pqservice2(MachineProfile("unseen-pqservice2"));
  EXPECT_EQ(WarningsOf(pqservice2, "label-unreachable"),
            std::vector<std::string>{"\"PQSERVICE2\" on disk 1, partition 1 was never reached: it "
                                     "had no letter at start and no probe kept one on it, and the "
                                     "run lists only lettered partitions"});

  ReportedRun external(MachineProfile("external-usb-disk"));
  EXPECT_EQ(WarningsOf(external, "disk-not-inventoried"),
            std::vector<std::string>{"disk 1 (\"USB HDD 1TB\", 953869 MB) is not in the run's "
                                     "inventory: its media type is \"External hard disk media\"; "
                                     "the run counts, probes and sizes only the disks it lists"});
  EXPECT_EQ(external.report.warnings.back().severity, Severity::Note);

  ReportedRun none(MachineProfile("unseen-no-disk"));
  EXPECT_EQ(WarningsOf(none, "no-disk"),
            std::vector<std::string>{"the run counted no disk (the machine has none), so it probed "
                                     "no partition for a letter and looked for neither SSD+HDD "
                                     "mode nor a cache SSD"});

  ReportedRun firmware(MachineProfile("unseen-firmware-probe"));
  EXPECT_EQ(WarningsOf(firmware, "firmware-undetermined"),
            std::vector<std::string>{"the firmware probe failed with error 1314, which tells "
                                     "neither legacy BIOS (error 1) nor UEFI (error 998), so the "
                                     "run took legacy BIOS for its letters and any carving; a "
                                     "rerun may decide otherwise"});
  // A probe that answers as legacy or UEFI firmware does is no finding.
  EXPECT_TRUE(WarningsOf(external, "firmware-undetermined").empty());
}

TEST(Warnings, AFailedInventoryIsNotBlamedOnMediaTypesOrLabels) {
  // Without WMI nothing is listed: the failure is the finding, not each disk or label.
  ReportedRun wmi(MachineProfile("fault-inventory-no-wmi"));
  EXPECT_EQ(WarningsOf(wmi, "no-disk"),
            std::vector<std::string>{"the run counted no disk (every attempt of its first "
                                     "inventory failed), so it probed no partition for a letter "
                                     "and looked for neither SSD+HDD mode nor a cache SSD; a "
                                     "rerun may decide otherwise"});
  EXPECT_TRUE(WarningsOf(wmi, "disk-not-inventoried").empty());
  EXPECT_TRUE(WarningsOf(wmi, "label-unreachable").empty());

  // The disk query that never finds a fixed disk: each disk left out names its media type.
  ReportedRun usb(MachineProfile("fault-no-fixed-disk"));
  EXPECT_EQ(WarningsOf(usb, "disk-not-inventoried").size(), 2u);
  EXPECT_NE(WarningsOf(usb, "no-disk").at(0).find("found no fixed disk in any attempt"),
            std::string::npos);

  // A refresh that fails after a good first count leaves the run without any role.
  ReportedRun refresh(MachineProfile("fault-inventory-refresh-exhausted"));
  EXPECT_EQ(WarningsOf(refresh, "no-disk").size(), 1u);
  EXPECT_TRUE(WarningsOf(refresh, "label-unreachable").empty());
}

TEST(Warnings, SizesThatCannotBeADisksInMegabytesAtTheirEdges) {
  // Disk size and the total of its partitions (the first MiB stays free) against the note.
  struct Case {
    int64_t diskMB;
    int64_t partitionsMB;
    const char* says;  // "" for no note
  };
  const int64_t tb64 = int64_t{64} << 20;
  const Case cases[] = {
      {1023, 0,
       "disks[0].sizeMB is 1023, under 1024 MB: sizes in a profile are in MB (a size "
       "in GB times 1024: 1023 GB is 1047552 MB)"},
      {1024, 1023, ""},
      {1024, 1024, "disks[0].partitions add up to 1024 MB, more than the disk's 1024 MB: sizes"},
      {tb64, 0, ""},
      {tb64 + 1, 0, "is 67108865, over 64 TB: sizes in a profile are in MB (a size in bytes"},
      {2147483648, 0,
       "over 64 TB and beyond the run's 32-bit size field (its log shows "
       "2147483647): sizes in a profile are in MB (a size in bytes divided by "
       "1048576: 2147483648 bytes is 2048 MB)"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.diskMB);
    std::string disk = R"({"sizeMB": )" + std::to_string(c.diskMB);
    if (c.partitionsMB > 0)
      disk += R"(, "partitions": [{"sizeMB": )" + std::to_string(c.partitionsMB) + "}]";
    ReportedRun run(R"({"disks": [)" + disk + R"(}, {"sizeMB": 476940, "media": false}]})");
    const auto notes = WarningsOf(run, "implausible-size");
    if (std::string(c.says).empty()) {
      EXPECT_TRUE(notes.empty()) << notes.front();
    } else {
      ASSERT_EQ(notes.size(), 1u);
      EXPECT_NE(notes[0].find(c.says), std::string::npos) << notes[0];
    }
  }
}

TEST(Warnings, OrderedBySeverity) {
  // A wiped data disk, M: on the wrong volume, an external disk, and an unlettered OS partition.
  ReportedRun sim(R"({"smbios": {"capabilities": {"revision": [2, 16], "entries": [[1, 1]]}},
      "disks": [{"sizeMB": 476940, "style": "mbr", "partitions": [
                   {"label": "OS", "sizeMB": 90000},
                   {"label": "DATA", "sizeMB": 9000, "letter": "D:"}]},
                {"sizeMB": 30533, "partitions": [{"label": "Photos", "sizeMB": 9000}]},
                {"sizeMB": 953869, "mediaType": "External hard disk media"}]})");
  std::vector<std::pair<Severity, std::string>> seen;
  for (const auto& warning : sim.report.warnings) seen.push_back({warning.severity, warning.kind});
  EXPECT_EQ(seen, (std::vector<std::pair<Severity, std::string>>{
                      {Severity::Danger, "disk-cleaned"},
                      {Severity::Warning, "letter-role"},
                      {Severity::Warning, "label-unreachable"},
                      {Severity::Note, "disk-not-inventoried"}}));
}

}  // namespace
}  // namespace quorvane::report
