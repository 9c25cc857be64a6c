// Partition roles, the SSD by size, the system-disk choice and the disk mode on simulated machines.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "run/layout_job.h"
#include "tests/unit/sim_fixture.h"

namespace quorvane {
namespace {

using Lines = std::vector<std::string>;

// A job on a simulated machine with the disk count the main sequence would have taken.
struct Classify {
  Classify(const std::string& profile, int32_t diskCount)
      : sim(profile), job(sim.platform(), CLayoutJob::NoRun{}) {
    job.m_DiskCount = diskCount;
  }
  Lines Log() const { return sim.LoggedLines(); }
  bool Logged(const std::string& line) const {
    Lines log = Log();
    return std::find(log.begin(), log.end(), line) != log.end();
  }
  // The lines from the first one equal to `first`, `count` of them.
  Lines From(const std::string& first, size_t count) const {
    Lines log = Log();
    auto it = std::find(log.begin(), log.end(), first);
    Lines out(it, it + static_cast<std::ptrdiff_t>(std::min<size_t>(count, log.end() - it)));
    return out;
  }
  sim::SimFixture sim;
  CLayoutJob job;
};

void ExpectSlot(const RoleSlot& slot, bool found, int32_t disk, int32_t partition) {
  EXPECT_EQ(slot.bFound, found);
  EXPECT_EQ(slot.nDisk, disk);
  EXPECT_EQ(slot.nPartition, partition);
}

TEST(PartitionRoles, LabelsFillTheirSlotsWithTheirNumberingRules) {
  Classify c(R"({"disks": [
    {"sizeMB": 100000, "style": "gpt", "partitions": [
      {"sizeMB": 1000, "label": "pqservice", "letter": "D:"},
      {"sizeMB": 1000, "label": "PQSERVICE ", "letter": "E:"},
      {"sizeMB": 1000, "label": "Recovery tools", "letter": "F:"},
      {"sizeMB": 1000, "label": "My Recovery", "letter": "G:"},
      {"sizeMB": 1000, "label": "OS", "letter": "H:"}]},
    {"sizeMB": 500000, "style": "mbr", "partitions": [
      {"sizeMB": 1000, "label": "PQSERVICE2", "letter": "I:"},
      {"sizeMB": 1000, "label": "Talvo", "letter": "J:"},
      {"sizeMB": 1000, "label": "system reserved", "letter": "K:"}]}]})",
             2);
  ASSERT_TRUE(c.job.UpdateDiskInfo());
  const std::string disk0 = " \\\\.\\PHYSICALDRIVE0", disk1 = " \\\\.\\PHYSICALDRIVE1";
  EXPECT_EQ(c.From("HDD 0, Sim Disk 0, \\\\.\\PHYSICALDRIVE0, #P=5, 100000, GPT=", 5),
            (Lines{"HDD 0, Sim Disk 0, \\\\.\\PHYSICALDRIVE0, #P=5, 100000, GPT=",
                   "HDD 1, Sim Disk 1, \\\\.\\PHYSICALDRIVE1, #P=3, 500000, MBR=",
                   "QHP existence=true on 0 1" + disk0, "SSD existence=true on 0 1" + disk0,
                   "[0]0 0 D: PQSERVICE 0.98GB GPT: BASIC DATA="}));
  // A trailing blank is no PQSERVICE; only the first word may be Recovery.
  EXPECT_TRUE(c.Logged("[1]0 1 E: PQSERVICE  0.98GB GPT: BASIC DATA="));
  EXPECT_TRUE(c.Logged("RECOVERY existence=true on 0 3" + disk0));
  EXPECT_TRUE(c.Logged("[3]0 3 G: MY RECOVERY 0.98GB GPT: BASIC DATA="));
  EXPECT_TRUE(c.Logged("OS existence=true on 0 6" + disk0));  // +2 without a signature
  EXPECT_TRUE(c.Logged("HDD existence=true on 1 1" + disk1));
  EXPECT_TRUE(c.Logged("OS existence=true on 1 2" + disk1));  // +1 with one
  EXPECT_TRUE(c.Logged("SYS existence=true on 1 3" + disk1));

  ExpectSlot(c.job.m_PBRInfo, true, 0, 1);
  ExpectSlot(c.job.m_SSDInfo, true, 0, 3);  // the recovery-tools test came later
  ExpectSlot(c.job.m_RecoveryInfo, true, 0, 3);
  ExpectSlot(c.job.m_HDDInfo, true, 1, 1);
  ExpectSlot(c.job.m_OSInfo, true, 1, 2);
  ExpectSlot(c.job.m_SYSInfo, true, 1, 3);
  EXPECT_EQ(c.job.m_Partitions[2].VolumeName, L"RECOVERY TOOLS");  // upper-cased in the table
  // With a push-button-recovery partition and a hard disk's recovery partition found, neither
  // the SSD-by-size step nor the system-disk probe runs.
  EXPECT_FALSE(c.Logged("SSDCount = 0="));
  EXPECT_FALSE(c.sim.ReadVolumeFile("X", "GetSystemPart.ini"));
  EXPECT_EQ(c.Log().back(), "######################################################=");
}

TEST(PartitionRoles, PushButtonAndTheGptSystemRoute) {
  Classify c(R"({"disks": [
    {"sizeMB": 100000, "style": "gpt", "partitions": [
      {"sizeMB": 260, "label": "SYSTEM", "type": "GPT: System", "letter": "D:"},
      {"sizeMB": 100, "label": "A", "letter": "E:"},
      {"sizeMB": 100, "label": "B", "letter": "F:"},
      {"sizeMB": 9000, "label": "Push Button Reset", "letter": "G:"}]},
    {"sizeMB": 200000, "style": "mbr", "partitions": [
      {"sizeMB": 260, "label": "SYSTEM", "type": "GPT: System", "letter": "H:"}]}]})",
             2);
  ASSERT_TRUE(c.job.UpdateDiskInfo());
  // The type route holds on disk 0 (no signature, the disk m_PBRInfo names at that moment).
  EXPECT_TRUE(c.Logged("EFI existence=true on 0 1 \\\\.\\PHYSICALDRIVE0"));
  EXPECT_TRUE(c.Logged("[0]0 0 D: SYSTEM 0.25GB GPT: SYSTEM="));
  EXPECT_TRUE(c.Logged("PBR existence=true on 0 5 \\\\.\\PHYSICALDRIVE0"));
  EXPECT_TRUE(c.Logged("HDD existence=true on 0 4 \\\\.\\PHYSICALDRIVE0"));
  ExpectSlot(c.job.m_SYSInfo, true, 0, 1);  // the MBR disk's "GPT: System" does not count
  ExpectSlot(c.job.m_PBRInfo, true, 0, 5);
  ExpectSlot(c.job.m_HDDInfo, true, 0, 4);
  EXPECT_EQ(c.job.m_Partitions[4].Type, L"GPT: System");  // disk 1 was never scanned
}

TEST(SsdBySize, BoundariesAndTheSizeRouteOfTheSystemDisk) {
  Classify c(R"({"disks": [{"sizeMB": 59392}, {"sizeMB": 59393}, {"sizeMB": 163840},
                           {"sizeMB": 163841}]})",
             4);
  ASSERT_TRUE(c.job.UpdateDiskInfo());
  EXPECT_EQ(c.From("Disk 0 size: 59392=", 8),
            (Lines{"Disk 0 size: 59392=", "SSD Disk is 0 < 64GB=", "Disk 1 size: 59393=",
                   "Disk 2 size: 163840=", "Disk 3 size: 163841=", "SSDCount = 3=",
                   "SSD existence=true on 0 1 ",
                   "Not QHP in system and try to find out bios first boot disk 1="}));
  ExpectSlot(c.job.m_SSDInfo, true, 0, 1);
  ExpectSlot(c.job.m_PBRInfo, false, 1, 1);
  EXPECT_FALSE(c.sim.ReadVolumeFile("X", "GetSystemPart.ini"));  // no probe on this route
}

TEST(SsdBySize, TheLastLargerSsdWinsAndTheProbeAsksDiskpart) {
  Classify c(R"({"disks": [{"sizeMB": 500000}, {"sizeMB": 100000}, {"sizeMB": 120000}],
                 "tools": {"systemDisk": 2}})",
             3);
  ASSERT_TRUE(c.job.UpdateDiskInfo());
  EXPECT_EQ(c.From("Disk 0 size: 500000=", 11),
            (Lines{"Disk 0 size: 500000=", "Disk 1 size: 100000=", "SSD Disk is 1 >= 64GB=",
                   "Disk 2 size: 120000=", "SSD Disk is 2 >= 64GB=", "SSDCount = 2=",
                   "SSD existence=true on 2 1 ", "X:\\GetSystemPart.cmd=", "ExitCode:0x0=",
                   "Not QHP in system and try to find out bios first boot disk=2",
                   "QHP isn't exist, set default disk as disk 2="}));
  EXPECT_EQ(c.sim.ReadVolumeFile("X", "GetSystemPart.ini"), "select disk system\r\n");
  EXPECT_EQ(c.sim.ReadVolumeFile("X", "GetSystemPart.cmd"),
            "diskpart /s X:\\GetSystemPart.ini > X:\\GetSystemPart.txt\r\n");
  ExpectSlot(c.job.m_PBRInfo, false, 2, 1);
}

TEST(SsdBySize, AFailedSystemDiskSelectionFallsBackToDiskZero) {
  Classify c(R"({"disks": [{"sizeMB": 500000}, {"sizeMB": 600000}],
                 "tools": {"systemDisk": null}})",
             2);
  c.job.m_PBRInfo.nDisk = 7;
  ASSERT_TRUE(c.job.UpdateDiskInfo());
  EXPECT_TRUE(c.Logged("ExitCode:0x5="));  // diskpart could not select a disk
  EXPECT_TRUE(c.Logged("QHP isn't exist, set default disk as disk 0="));
  ExpectSlot(c.job.m_PBRInfo, false, 0, 1);
}

TEST(SsdBySize, ADiskNumberWithoutARecordIsNeverTakenAsAnSsd) {
  // Disk numbers 0 and 2: with two disks counted, number 1 has no record (its size would
  // read "0") and disk 2 lies beyond the count.
  Classify c(R"({"disks": [{"sizeMB": 500000}, {"index": 2, "sizeMB": 30000}]})", 2);
  ASSERT_TRUE(c.job.UpdateDiskInfo());
  EXPECT_FALSE(c.Logged("Disk 1 size: 0="));
  EXPECT_TRUE(c.Logged("SSDCount = 0="));
  ExpectSlot(c.job.m_SSDInfo, false, 0, 1);

  c.job.CheckSDDHDDMode();
  EXPECT_FALSE(c.Logged("0="));
  EXPECT_TRUE(c.Logged("Can not find miniSSD="));
  EXPECT_FALSE(c.job.m_bminiSSD);
}

TEST(PartitionRoles, InventoryRetriesThenGivesUp) {
  Classify retried(R"({"disks": [{"sizeMB": 500000}], "faults": {"inventory": [4, 9, 5]}})", 1);
  ASSERT_TRUE(retried.job.UpdateDiskInfo());
  EXPECT_EQ(retried.From("###################Updata Disk Info########################=", 5),
            (Lines{"###################Updata Disk Info########################=",
                   "[0]Error Getting System Disk Info. Return Code:4=",
                   "[1]Error Getting System Disk Info. Return Code:9=",
                   "[2]Error Getting System Disk Info. Return Code:5=",
                   "HDD 0, Sim Disk 0, \\\\.\\PHYSICALDRIVE0, #P=0, 500000, GPT="}));

  Classify failed(R"({"disks": [{"sizeMB": 500000, "mediaType": "Removable Media"}]})", 0);
  EXPECT_FALSE(failed.job.UpdateDiskInfo());
  Lines log = failed.Log();
  ASSERT_EQ(log.size(), 22u);
  EXPECT_EQ(log[1], "[0]Error Getting System Disk Info. Return Code:10=");
  EXPECT_EQ(log[20], "[19]Error Getting System Disk Info. Return Code:10=");
  EXPECT_EQ(log[21], "Error Getting System Disk Info=");
}

struct ModeCase {
  const char* name;
  std::vector<int32_t> sizesMB;
  RoleSlot ssd, hdd;
  bool ssdHddMode, miniSsd;
  RoleSlot ssdAfter;
  Lines tail;  // the lines after "Start CheckSDDHDDMode"
};

TEST(DiskMode, SsdHddModeOrTheMiniSsd) {
  const RoleSlot none = RoleSlot::Reset();
  const std::vector<ModeCase> cases = {
      {"two disks",
       {250000, 900000},
       {true, 0, 4, L""},
       {true, 1, 1, L""},
       true,
       false,
       {true, 0, 4, L""},
       {"m_SSDInfo &  m_HDDInfo is True=", "m_SSDInfo &  m_HDDInfo is different disk.=",
        "Set m_bSSDHDDMode = true=", "SSD Info: SSD Disk is 0=", "HDD Info: HDD Disk is 1="}},
      {"same disk",
       {250000, 900000},
       {true, 0, 4, L""},
       {true, 0, 1, L""},
       false,
       false,
       none,
       {"m_SSDInfo &  m_HDDInfo is True=", "Not PQSERVICE2 Set m_bSSDHDDMode = false=", "250000=",
        "900000=", "Can not find miniSSD="}},
      {"mini SSD second",
       {500000, 30000},
       none,
       none,
       false,
       true,
       {true, 1, 1, L""},
       {"Not PQSERVICE2 Set m_bSSDHDDMode = false=", "500000=", "30000=",
        "Find miniSSD, So Set m_bminiSSD = true=", "miniSSD Info: miniSSD Disk is 1="}},
      {"first mini SSD wins",
       {30000, 40000},
       none,
       none,
       false,
       true,
       {true, 0, 1, L""},
       {"Not PQSERVICE2 Set m_bSSDHDDMode = false=", "30000=",
        "Find miniSSD, So Set m_bminiSSD = true=", "miniSSD Info: miniSSD Disk is 0="}},
      // The mini-SSD limit at its edge: 59393 MB is no cache SSD, 59392 MB is one.
      {"mini SSD limit",
       {59393, 59392},
       none,
       none,
       false,
       true,
       {true, 1, 1, L""},
       {"Not PQSERVICE2 Set m_bSSDHDDMode = false=", "59393=", "59392=",
        "Find miniSSD, So Set m_bminiSSD = true=", "miniSSD Info: miniSSD Disk is 1="}},
      {"no mini SSD clears the SSD",
       {250000, 120000},
       {true, 1, 1, L""},
       none,
       false,
       false,
       none,
       {"Not PQSERVICE2 Set m_bSSDHDDMode = false=", "250000=", "120000=",
        "Can not find miniSSD="}},
  };
  for (const auto& mode : cases) {
    SCOPED_TRACE(mode.name);
    Classify c(R"({})", static_cast<int32_t>(mode.sizesMB.size()));
    for (size_t i = 0; i < mode.sizesMB.size(); ++i) {
      c.job.m_Disks[i].Index = static_cast<int32_t>(i);
      c.job.m_Disks[i].SizeMB = mode.sizesMB[i];
    }
    c.job.m_SSDInfo = mode.ssd;
    c.job.m_HDDInfo = mode.hdd;
    c.job.CheckSDDHDDMode();
    Lines log = c.Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "Start CheckSDDHDDMode=");
    EXPECT_EQ(Lines(log.begin() + 1, log.end()), mode.tail);
    EXPECT_EQ(c.job.m_bSSDHDDMode, mode.ssdHddMode);
    EXPECT_EQ(c.job.m_bminiSSD, mode.miniSsd);
    ExpectSlot(c.job.m_SSDInfo, mode.ssdAfter.bFound, mode.ssdAfter.nDisk,
               mode.ssdAfter.nPartition);
    if (!mode.ssdHddMode) ExpectSlot(c.job.m_HDDInfo, false, 0, 1);
  }
}

}  // namespace
}  // namespace quorvane
