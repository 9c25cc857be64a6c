// The three roads on the simulated machine: rapid-start carving, image index, registration and the
// closing log copy.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "base/text.h"
#include "letters/volume_mapping.h"
#include "run/layout_job.h"
#include "tests/unit/sim_fixture.h"

namespace quorvane {
namespace {

using sim::SimFixture;
using Lines = std::vector<std::string>;

Lines Concat(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Every log line the engine wrote, in order. (The file itself keeps one line per key and
// millisecond, as the INI writer replaces a repeated key.)
Lines Logged(SimFixture& sim) { return sim.LoggedLines(); }

// ---- Rapid-start carving ----

// Disk 0 holds Windows; disk 1 is the cache SSD, with an old partition the carving replaces.
std::string CacheMachine(uint32_t cacheMB, const std::string& firmware = "uefi") {
  return R"({"firmware": ")" + firmware + R"(", "disks": [
    {"sizeMB": 500000, "style": "mbr", "partitions": [{"sizeMB": 100000, "label": "OS"}]},
    {"sizeMB": )" +
         std::to_string(cacheMB) + R"(, "partitions": [{"sizeMB": 1000, "label": "OLD"}]}]})";
}

// The run context as the earlier steps leave it on a mini-SSD machine that asks for rapid start.
void PrepareCarving(CLayoutJob& job, uint32_t cacheMB) {
  job.m_Disks[0].Index = 0;
  job.m_Disks[0].SizeMB = 500000;
  job.m_Disks[1].Index = 1;
  job.m_Disks[1].SizeMB = static_cast<int32_t>(cacheMB);
  job.m_SSDInfo = {true, 1, 1, L""};
  job.m_bminiSSD = true;
  job.m_biRST = true;
}

const Lines kCarvingHead = {"SSD is small than 64GB, and need iRST partition (No iSRT).=",
                            "SSD Disk 1 cut for iRST=", "Start Cutting iRST="};
const Lines kCarvingTail = {"ERROR_NOACCESS=Boot system from UEFI BIOS",
                            "Diskpart.exe /s X:\\NAPP2P_SSDHDD.ini=", "ExitCode:0x0="};

struct SizingCase {
  uint32_t diskMB;
  uint32_t limitMB;
  const char* sizeLine;
  int32_t cacheMB;
  std::optional<int32_t> adjustedMB;  // the size after the cache adjustment, if any
  int32_t carvedMB;                   // 0: the disk is left alone
};

void PrintTo(const SizingCase& c, std::ostream* out) {
  *out << c.diskMB << " MB disk, limit " << c.limitMB;
}

class RapidStartSizing : public testing::TestWithParam<SizingCase> {};

TEST_P(RapidStartSizing, LogsTheSizingAndCarvesTheCacheSsd) {
  const SizingCase& c = GetParam();
  SimFixture sim(CacheMachine(c.diskMB));
  CLayoutJob job(sim.platform(), CLayoutJob::NoRun{});
  PrepareCarving(job, c.diskMB);
  job.m_nRapidStartLimitMB = c.limitMB;

  job.CarveRapidStartPartition();

  Lines expected =
      Concat(kCarvingHead, {"Mini SSD size = " + std::to_string(c.diskMB) + "=", c.sizeLine,
                            "Expess Cache Size: " + std::to_string(c.cacheMB) + " MB="});
  if (c.adjustedMB) {
    expected.push_back("Expess Cache size less than minimum size 15259MB(16GM)=");
    expected.push_back("iRST size to " + std::to_string(*c.adjustedMB) + " MB=");
  }
  EXPECT_FALSE(job.m_biRST);
  const auto& disk = sim.platform().Disks()[1];
  if (c.carvedMB > 0) {
    EXPECT_EQ(Logged(sim), Concat(expected, kCarvingTail));
    auto script = sim.ReadVolumeFile("X", "NAPP2P_SSDHDD.ini");
    ASSERT_TRUE(script.has_value());
    EXPECT_NE(script->find("create partition primary size=" + std::to_string(c.carvedMB) + "\r\n"),
              std::string::npos);
    ASSERT_EQ(disk.partitions.size(), 1u);
    EXPECT_EQ(disk.partitions[0].sizeMB, c.carvedMB);
    EXPECT_EQ(disk.partitions[0].type, L"GPT: Unknown");
  } else {
    // Skipped: no script, no boot-mode question, no diskpart, the disk untouched.
    EXPECT_EQ(Logged(sim), Concat(expected, {"Mini SSD too small for iRST, skip cutting="}));
    EXPECT_FALSE(sim.ReadVolumeFile("X", "NAPP2P_SSDHDD.ini").has_value());
    EXPECT_TRUE(sim.platform().Commands().empty());
    ASSERT_EQ(disk.partitions.size(), 1u);
    EXPECT_EQ(disk.partitions[0].label, std::optional<std::wstring>(L"OLD"));
  }
}

constexpr char k8[] = "iRST Pratition size: 8GB=";
constexpr char k4[] = "iRST Pratition size: 4GB=";
constexpr char k0[] = "Disk size < 4GB=";
constexpr uint32_t kLimit = kRapidStartLimitMB;
constexpr std::nullopt_t kNone = std::nullopt;

INSTANTIATE_TEST_SUITE_P(, RapidStartSizing,
                         testing::Values(SizingCase{30000, 0, k8, 21808, kNone, 8192},
                                         SizingCase{20000, 0, k8, 11808, 4741, 4741},
                                         SizingCase{23451, 0, k8, 15259, kNone, 8192},
                                         SizingCase{30000, kLimit, k8, 21808, kNone, 8192},
                                         SizingCase{23451, kLimit, k8, 15259, kNone, 8192},
                                         SizingCase{20000, kLimit, k4, 15904, kNone, 4096},
                                         SizingCase{19000, kLimit, k4, 14904, 3741, 3741},
                                         SizingCase{16000, kLimit, k4, 11904, 741, 741},
                                         SizingCase{4000, kLimit, k0, 4000, -11259, 0},
                                         SizingCase{3000, kLimit, k0, 3000, -12259, 0},
                                         // Each limit at its edge and one below it: the cache
                                         // minimum, the 8 GB limit, the partition of exactly
                                         // 0 MB (skipped), the 4 GB floor.
                                         SizingCase{23450, 0, k8, 15258, 8191, 8191},
                                         SizingCase{23450, kLimit, k4, 19354, kNone, 4096},
                                         SizingCase{15260, kLimit, k4, 11164, 1, 1},
                                         SizingCase{15259, kLimit, k4, 11163, 0, 0},
                                         SizingCase{4096, kLimit, k4, 0, -11163, 0},
                                         SizingCase{4095, kLimit, k0, 4095, -11164, 0}),
                         [](const testing::TestParamInfo<SizingCase>& info) {
                           return "Disk" + std::to_string(info.param.diskMB) + "Limit" +
                                  std::to_string(info.param.limitMB);
                         });

TEST(RapidStart, LeavesACacheSsdThatHoldsPartitionsInUse) {
  // The cache SSD is disk 1. A role found there, or the log on M: of its disk, keeps it whole; a
  // role not found, a role elsewhere or the log still on X: does not.
  struct Case {
    const char* name;
    RoleSlot CLayoutJob::*slot;
    RoleSlot value;
    const wchar_t* logDir;
    bool carved;
  };
  for (const Case& c : {
           Case{"pbr", &CLayoutJob::m_PBRInfo, {true, 1, 1, L""}, L"", false},
           Case{"sys", &CLayoutJob::m_SYSInfo, {true, 1, 1, L""}, L"", false},
           Case{"os", &CLayoutJob::m_OSInfo, {true, 1, 3, L""}, L"", false},
           Case{"recovery", &CLayoutJob::m_RecoveryInfo, {true, 1, 2, L""}, L"", false},
           Case{"log on M:", &CLayoutJob::m_PBRInfo, {false, 1, 1, L""}, L"M:", false},
           Case{"os not found", &CLayoutJob::m_OSInfo, {false, 1, 3, L""}, L"", true},
           Case{"os elsewhere", &CLayoutJob::m_OSInfo, {true, 0, 1, L""}, L"M:", true},
           Case{"log on X:", &CLayoutJob::m_PBRInfo, {false, 1, 1, L""}, L"", true},
       }) {
    SCOPED_TRACE(c.name);
    SimFixture sim(CacheMachine(30000));
    CLayoutJob job(sim.platform(), CLayoutJob::NoRun{});
    PrepareCarving(job, 30000);
    job.*c.slot = c.value;
    *job.m_pLogDir = c.logDir;

    job.CarveRapidStartPartition();

    EXPECT_FALSE(job.m_biRST);
    const Lines sizing =
        Concat(kCarvingHead, {"Mini SSD size = 30000=", k8, "Expess Cache Size: 21808 MB="});
    const auto& disk = sim.platform().Disks()[1];
    ASSERT_EQ(disk.partitions.size(), 1u);
    if (c.carved) {
      EXPECT_EQ(Logged(sim), Concat(sizing, kCarvingTail));
      EXPECT_EQ(disk.partitions[0].sizeMB, 8192);
    } else {
      // As for a disk too small: no script, no boot-mode question, no diskpart.
      EXPECT_EQ(Logged(sim), Concat(sizing, {"Mini SSD holds partitions in use, skip cutting="}));
      EXPECT_FALSE(sim.ReadVolumeFile("X", "NAPP2P_SSDHDD.ini").has_value());
      EXPECT_TRUE(sim.platform().Commands().empty());
      EXPECT_EQ(disk.partitions[0].label, std::optional<std::wstring>(L"OLD"));
    }
  }
}

TEST(RapidStart, BootModeChoosesTheDiskStyleAndPartitionType) {
  struct Case {
    std::string firmware;
    std::string script;
    bool gpt;
    std::wstring type;
  };
  const std::string common = "select disk 1\r\nclean\r\n";
  for (const Case& c :
       {Case{"uefi",
             common + "convert gpt\r\nselect disk 1\r\ncreate partition primary size=8192\r\n"
                      "set id=\"d3bfe2de-3daf-11df-ba40-e3a556d89593\"\r\n",
             true, L"GPT: Unknown"},
        Case{"legacy",
             common + "convert mbr\r\nselect disk 1\r\ncreate partition primary size=8192\r\n"
                      "set id=\"84\"\r\n",
             false, L"Unknown"}}) {
    SCOPED_TRACE(c.firmware);
    SimFixture sim(CacheMachine(30000, c.firmware));
    CLayoutJob job(sim.platform(), CLayoutJob::NoRun{});
    PrepareCarving(job, 30000);
    job.CarveRapidStartPartition();
    EXPECT_EQ(sim.ReadVolumeFile("X", "NAPP2P_SSDHDD.ini"), std::optional<std::string>(c.script));
    const auto& disk = sim.platform().Disks()[1];
    EXPECT_EQ(disk.gpt, c.gpt);
    ASSERT_EQ(disk.partitions.size(), 1u);
    EXPECT_EQ(disk.partitions[0].type, c.type);
  }
}

// ---- Install image index ----

constexpr char kImagePath[] = "M:\\RecoveryImage\\install.wim";

// M: holds a recovery image; `tools` may replace dism's listing or inject faults.
std::string ImageMachine(const std::string& extra = "") {
  return R"({"drives": [{"letter": "M:", "label": "PQSERVICE", "files": {
      "RecoveryImage/install.wim": {"wimImages": ["Home", "Home N", "Pro"]}}}])" +
         extra + "}";
}

std::string ListingMachine(const std::string& listing) {
  return ImageMachine(R"(, "tools": {"dismOutput": {"M:\\RecoveryImage\\install.wim": )" +
                      sim::JsonString(listing) + "}}");
}

TEST(InstallIndex, TakesTheLargestIndexOfTheImageListing) {
  SimFixture sim(ImageMachine());
  CLayoutJob job(sim.platform(), CLayoutJob::NoRun{});
  EXPECT_EQ(job.ParseInstallIndex(L"M:\\RecoveryImage\\install.wim"), L"3");
  EXPECT_EQ(Logged(sim),
            (Lines{"Parse Install Index Number=", "X:\\ParseinstallCmd.cmd=true", "ExitCode:0x0=",
                   "start Parse Install Index Info=", "Prase_IndexInfo:=1", "Prase_IndexInfo:=2",
                   "Prase_IndexInfo:=3", "[ParseInstallIndex] Install_index:=3"}));
  EXPECT_EQ(sim.ReadVolumeFile("X", "ParseinstallCmd.cmd"),
            std::optional<std::string>("dism.exe /Get-WimInfo /WimFile:" + std::string(kImagePath) +
                                       " /English | find /I \"index\" >> "
                                       "X:\\ParseinstallInfo.log\r\nexit\r\n"));
}

TEST(InstallIndex, KeepsOnlyTheDigitsOfALargerIndexLine) {
  struct Case {
    std::string listing;
    std::wstring result;
    Lines tail;  // the lines after "start Parse Install Index Info"
  };
  const Lines none = {"[ParseInstallIndex] Not have index info.="};
  for (const Case& c : {
           Case{"Index : 4\r\nName : Pro\r\nIndex : 2\r\n",
                L"4",
                {"Prase_IndexInfo:=4", "[ParseInstallIndex] Install_index:=4"}},
           Case{"  INDEX : 7\r\n",
                L"7",
                {"Prase_IndexInfo:=7", "[ParseInstallIndex] Install_index:=7"}},
           Case{"Index: 7\r\n", L"2", none},
           Case{"Index : 0\r\nIndex : -5\r\nIndex : x9\r\n", L"2", none},
           Case{"Index : 12abc\r\n",
                L"12",
                {"Prase_IndexInfo:=12", "[ParseInstallIndex] Install_index:=12"}},
           Case{"Index : 3 & del C:\\x\r\n",
                L"3",
                {"Prase_IndexInfo:=3", "[ParseInstallIndex] Install_index:=3"}},
           Case{"", L"2", none},
       }) {
    SCOPED_TRACE(c.listing);
    SimFixture sim(ListingMachine(c.listing));
    CLayoutJob job(sim.platform(), CLayoutJob::NoRun{});
    EXPECT_EQ(job.ParseInstallIndex(L"M:\\RecoveryImage\\install.wim"), c.result);
    Lines lines = Logged(sim);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(Lines(lines.begin() + 4, lines.end()), c.tail);
  }
}

TEST(InstallIndex, MissingListingOrCommandFile) {
  {
    SimFixture sim(ImageMachine(R"(, "faults": {"cannotCreate": ["X:\\ParseinstallInfo.log"]})"));
    CLayoutJob job(sim.platform(), CLayoutJob::NoRun{});
    EXPECT_EQ(job.ParseInstallIndex(L"M:\\RecoveryImage\\install.wim"), L"2");
    Lines lines = Logged(sim);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "[ParseInstallIndex] Not found ParseinstallInfo.log file.=");
  }
  {
    SimFixture sim(ImageMachine(R"(, "faults": {"cannotCreate": ["X:\\ParseinstallCmd.cmd"]})"));
    CLayoutJob job(sim.platform(), CLayoutJob::NoRun{});
    EXPECT_EQ(job.ParseInstallIndex(L"M:\\RecoveryImage\\install.wim"), L"");
    EXPECT_EQ(Logged(sim), Lines{"Parse Install Index Number="});
    EXPECT_TRUE(sim.platform().Commands().empty());
  }
}

TEST(InstallIndex, ReadTextLinesTrimsAndSkipsEmptyLines) {
  SimFixture sim(R"({"drives": [{"letter": "X:", "label": "Boot", "files": {
      "list.txt": " \tIndex : 1 \r\n\r\n   \r\nlast"}}]})");
  CLayoutJob job(sim.platform(), CLayoutJob::NoRun{});
  std::vector<std::wstring> lines;
  EXPECT_TRUE(job.ReadTextLines(L"X:\\list.txt", lines));
  EXPECT_EQ(lines, (std::vector<std::wstring>{L"Index : 1", L"last"}));
  EXPECT_FALSE(job.ReadTextLines(L"X:\\none.txt", lines));
  ASSERT_EQ(sim.platform().MessageBoxes().size(), 1u);
  EXPECT_EQ(sim.platform().MessageBoxes()[0].text, L"Fail to open file: \nX:\\none.txt");
}

// ---- Recovery image registration ----

// Disk 0 (GPT SSD): ESP, MSR, Windows, recovery tools. Disk 1 (MBR HDD): the recovery partition.
std::string RegistrationMachine(const std::string& recoveryFiles, const std::string& extra = "") {
  return R"({"disks": [
    {"sizeMB": 244198, "style": "gpt", "partitions": [
      {"label": "ESP", "type": "GPT: System", "sizeMB": 260},
      {"hidden": true, "type": "GPT: Unknown", "sizeMB": 16, "label": null},
      {"label": "OS", "sizeMB": 200000, "files": {"Windows/System32/": ""}},
      {"label": "Recovery tools", "sizeMB": 1000}]},
    {"sizeMB": 953869, "style": "mbr", "partitions": [
      {"label": "PQSERVICE2", "sizeMB": 30000, "files": {)" +
         recoveryFiles + "}}]}]" + extra + "}";
}

constexpr char kImageFiles[] =
    R"("RecoveryImage/install.wim": {"wimImages": ["Home", "Home N", "Pro"]}, "RyTools/": "")";

// The run context of an SSD+HDD machine after the flag summary: M: on the hard disk's
// recovery partition, the log there, the system partition first on disk 0.
void PrepareRegistration(SimFixture& sim, CLayoutJob& job) {
  job.m_Disks[0].Index = 0;
  job.m_Disks[0].NoSignature = true;
  job.m_Disks[1].Index = 1;
  job.m_PBRInfo = {true, 1, 1, L""};
  job.m_HDDInfo = {true, 1, 1, L""};
  job.m_SYSInfo = {true, 0, 1, L""};
  job.m_RecoveryInfo = {true, 0, 4, L""};
  job.m_bSSDHDDMode = true;
  ASSERT_TRUE(MountPartition(sim.platform(), L"M:", PartitionDevicePath(1, 1)));
  *job.m_pLogDir = L"M:";
}

std::wstring Target(SimFixture& sim, const wchar_t* letter) {
  return sim.platform().QueryDosDevice(letter, 2048).value_or(L"");
}

TEST(Registration, LettersWAndCFollowTheRolesFound) {
  struct Case {
    RoleSlot recovery, sys, os;
    std::wstring w, c;
  };
  const RoleSlot none = RoleSlot::Reset();
  for (const Case& c : {
           // Recovery tools and Windows found.
           Case{{true, 0, 4, L""},
                {true, 0, 1, L""},
                {true, 0, 3, L""},
                L"\\Device\\Harddisk0\\Partition4",
                L"\\Device\\Harddisk0\\Partition3"},
           // No recovery tools: the partition before the system one.
           Case{none,
                {true, 0, 2, L""},
                {true, 0, 3, L""},
                L"\\Device\\Harddisk0\\Partition1",
                L"\\Device\\Harddisk0\\Partition3"},
           // No Windows: past the MSR on a disk without signature, next on one with it.
           Case{{true, 0, 4, L""},
                {true, 0, 1, L""},
                none,
                L"\\Device\\Harddisk0\\Partition4",
                L"\\Device\\Harddisk0\\Partition3"},
           Case{{true, 0, 4, L""},
                {true, 1, 1, L""},
                none,
                L"\\Device\\Harddisk0\\Partition4",
                L"\\Device\\Harddisk1\\Partition2"},
           Case{{true, 0, 4, L""},
                {true, 7, 1, L""},
                none,
                L"\\Device\\Harddisk0\\Partition4",
                L"\\Device\\Harddisk7\\Partition2"},
       }) {
    SimFixture sim(RegistrationMachine(""));
    CLayoutJob job(sim.platform(), CLayoutJob::NoRun{});
    job.m_Disks[0].Index = 0;
    job.m_Disks[0].NoSignature = true;
    job.m_Disks[1].Index = 1;
    job.m_RecoveryInfo = c.recovery;
    job.m_SYSInfo = c.sys;
    job.m_OSInfo = c.os;
    job.RegisterRecoveryImage();
    SCOPED_TRACE(c.c);
    EXPECT_EQ(Target(sim, L"W:"), c.w);
    EXPECT_EQ(Target(sim, L"C:"), c.c);
    // Without a recovery partition found nothing follows the 2000 ms pause.
    EXPECT_EQ(Logged(sim), Lines{"Register PBR="});
    EXPECT_EQ(sim.platform().ElapsedMs(), 2000u);
    EXPECT_TRUE(sim.platform().Commands().empty());
  }
}

TEST(Registration, RegistersTheImageWithItsIndex) {
  SimFixture sim(RegistrationMachine(kImageFiles));
  CLayoutJob job(sim.platform(), CLayoutJob::NoRun{});
  PrepareRegistration(sim, job);
  job.RegisterRecoveryImage();
  EXPECT_EQ(
      Logged(sim),
      (Lines{"Register PBR=", "Parse Install Index Number=", "X:\\ParseinstallCmd.cmd=true",
             "ExitCode:0x0=", "start Parse Install Index Info=", "Prase_IndexInfo:=1",
             "Prase_IndexInfo:=2", "Prase_IndexInfo:=3", "[ParseInstallIndex] Install_index:=3",
             "M:\\RyTools\\RegisterInstall.cmd=", "ExitCode:0x0="}));
  EXPECT_EQ(sim.ReadVolumeFile("disk1-part1", "RyTools/RegisterInstall.cmd"),
            std::optional<std::string>("C:\\Windows\\System32\\ReagentC /setosimage /path "
                                       "M:\\RecoveryImage /target C:\\Windows /index 3\r\n"));
  EXPECT_EQ(Target(sim, L"C:"), L"\\Device\\Harddisk0\\Partition3");
}

TEST(Registration, ReagentCFailsWhenCMissesWindows) {
  // Taken for a disk with a signature, the system disk's MSR gets C:.
  SimFixture sim(RegistrationMachine(kImageFiles));
  CLayoutJob job(sim.platform(), CLayoutJob::NoRun{});
  PrepareRegistration(sim, job);
  job.m_Disks[0].NoSignature = false;
  job.RegisterRecoveryImage();
  EXPECT_EQ(Target(sim, L"C:"), L"\\Device\\Harddisk0\\Partition2");
  EXPECT_EQ(Logged(sim).back(), "ExitCode:0x2=");
}

std::optional<std::string> RegistrationScript(const std::string& files, const std::string& extra) {
  SimFixture sim(RegistrationMachine(files, extra));
  CLayoutJob job(sim.platform(), CLayoutJob::NoRun{});
  PrepareRegistration(sim, job);
  job.RegisterRecoveryImage();
  return sim.ReadVolumeFile("disk1-part1", "RyTools/RegisterInstall.cmd");
}

std::string RegistrationLine(const std::string& index) {
  return "C:\\Windows\\System32\\ReagentC /setosimage /path M:\\RecoveryImage /target C:\\Windows "
         "/index " +
         index + "\r\n";
}

TEST(Registration, TheIndexTextThatReachesTheScript) {
  // A split image wins over a single one, and its listing does not see the other's lines.
  EXPECT_EQ(RegistrationScript(R"("RyTools/": "",
      "RecoveryImage/install.wim": {"wimImages": ["A", "B", "C", "D", "E"]},
      "RecoveryImage/install.swm": {"wimImages": ["A", "B", "C", "D"]})",
                               ""),
            RegistrationLine("4"));
  // No image file: the default index.
  EXPECT_EQ(RegistrationScript(R"("RyTools/": "", "RecoveryImage/": "")", ""),
            RegistrationLine("2"));
  // The index probe cannot write its command file: the index found so far stands.
  EXPECT_EQ(RegistrationScript(kImageFiles,
                               R"(, "faults": {"cannotCreate": ["X:\\ParseinstallCmd.cmd"]})"),
            RegistrationLine("2"));
  // Tool output never reaches the script beyond the number.
  EXPECT_EQ(RegistrationScript(kImageFiles,
                               R"(, "tools": {"dismOutput": {"M:\\RecoveryImage\\install.wim":
                                    "Index : 3 & del C:\\x\r\n"}})"),
            RegistrationLine("3"));
}

TEST(Registration, StopsWithoutAnImageFolderOrAScript) {
  {
    SimFixture sim(RegistrationMachine(R"("RyTools/": "")"));
    CLayoutJob job(sim.platform(), CLayoutJob::NoRun{});
    PrepareRegistration(sim, job);
    job.RegisterRecoveryImage();
    EXPECT_EQ(Logged(sim), Lines{"Register PBR="});
    EXPECT_TRUE(sim.platform().Commands().empty());
  }
  {
    SimFixture sim(RegistrationMachine(
        kImageFiles, R"(, "faults": {"cannotCreate": ["M:\\RyTools\\RegisterInstall.cmd"]})"));
    CLayoutJob job(sim.platform(), CLayoutJob::NoRun{});
    PrepareRegistration(sim, job);
    job.RegisterRecoveryImage();
    EXPECT_EQ(Logged(sim).back(), "[ParseInstallIndex] Install_index:=3");
    EXPECT_EQ(sim.platform().Commands().size(), 1u);  // the index probe only
  }
}

// ---- Log copy ----

TEST(LogCopy, CarriesTheRamDriveFilesIntoTheToolsFolderAndDeletesItself) {
  const std::string copyScript =
      "MKDIR M:\\RYTOOLS\r\n"
      "XCOPY /c /f /i /y /h X:\\NAPP2P_SSDHDD.ini M:\\RYTOOLS\\\r\n"
      "XCOPY /c /f /i /y /h X:\\Quorvane.log M:\\RYTOOLS\\\r\n"
      "XCOPY /c /f /i /y /h M:\\RebuildEnd_CopyFile.cmd M:\\RYTOOLS\\\r\n"
      "del /S /R M:\\RebuildEnd_CopyFile.cmd\r\n";
  struct Case {
    std::string pbrFiles;
    std::string ramFiles;
  };
  // A fresh partition with a rapid-start script; then a tools folder already there and no script.
  for (const Case& c :
       {Case{"", R"("NAPP2P_SSDHDD.ini": "select disk 1\r\n")"}, Case{R"("RYTOOLS/": "")", ""}}) {
    SCOPED_TRACE(c.pbrFiles);
    SimFixture sim(R"({"disks": [{"sizeMB": 100000, "partitions": [
        {"sizeMB": 20000, "label": "PQSERVICE", "letter": "M:", "files": {)" +
                   c.pbrFiles + R"(}}]}],
        "drives": [{"letter": "X:", "label": "Boot", "files": {)" +
                   c.ramFiles + "}}]}");
    auto& p = sim.platform();
    CLayoutJob job(p, CLayoutJob::NoRun{});
    job.WriteLog(L"Get Disk info");
    *job.m_pLogDir = L"M:";
    job.CopyLogToPbr(L"M:");

    EXPECT_EQ(sim.LogLines("disk0-part1"), (Lines{"Copy log to PBR partition=", "ExitCode:0x0="}));
    EXPECT_FALSE(p.IsFile(L"M:\\RebuildEnd_CopyFile.cmd"));
    EXPECT_EQ(p.ReadFileBytes(L"M:\\RYTOOLS\\RebuildEnd_CopyFile.cmd"),
              std::optional<std::string>(copyScript));
    EXPECT_EQ(p.ReadFileBytes(L"M:\\RYTOOLS\\Quorvane.log"), p.ReadFileBytes(L"X:\\Quorvane.log"));
    EXPECT_EQ(p.ReadFileBytes(L"M:\\RYTOOLS\\NAPP2P_SSDHDD.ini"),
              p.ReadFileBytes(L"X:\\NAPP2P_SSDHDD.ini"));
  }
}

}  // namespace
}  // namespace quorvane
