// The simulated command interpreter and tool stand-ins, run on an in-memory machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>

#include "base/text.h"
#include "platform/sim/commands/command_host.h"
#include "platform/sim/commands/command_words.h"

namespace quorvane::sim {
namespace {

// Files and folders by upper-cased Windows path; every drive root exists.
class FakeHost : public CommandHost {
 public:
  std::map<std::wstring, std::string> files;
  std::set<std::wstring> folders;
  std::vector<std::wstring> blocked;
  ToolsSpec tools;
  std::vector<DiskSpec> disks;
  std::vector<ToolRun> runs;

  void Put(const std::wstring& path, std::string bytes) { files[Key(path)] = std::move(bytes); }
  std::optional<std::string> Get(const std::wstring& path) { return ReadFile(path); }

  std::optional<std::string> ReadFile(const std::wstring& path) override {
    auto it = files.find(Key(path));
    if (it == files.end()) return std::nullopt;
    return it->second;
  }
  bool WriteFile(const std::wstring& path, std::string_view bytes, bool append) override {
    if (!IsFolder(Parent(path))) return false;
    std::string& file = files[Key(path)];
    if (!append) file.clear();
    file += bytes;
    return true;
  }
  MakeFolderResult MakeFolder(const std::wstring& path) override {
    if (IsFolder(path) || IsFile(path)) return MakeFolderResult::Exists;
    if (!IsFolder(Parent(path))) return MakeFolderResult::Failed;
    folders.insert(Key(path));
    return MakeFolderResult::Made;
  }
  bool DeleteFile(const std::wstring& path) override { return files.erase(Key(path)) == 1; }
  bool IsFolder(const std::wstring& path) override {
    std::wstring key = Key(path);
    return (key.size() == 2 && key[1] == L':') || folders.count(key) == 1;
  }
  bool IsFile(const std::wstring& path) override { return files.count(Key(path)) == 1; }
  // A listed name matches with or without its folder and ".exe" on either side.
  bool CannotStart(const std::wstring& program) override {
    return std::any_of(blocked.begin(), blocked.end(), [&](const std::wstring& name) {
      return standin::ProgramName(name) == standin::ProgramName(program);
    });
  }
  const ToolsSpec& Tools() override { return tools; }
  std::vector<DiskSpec>& Disks() override { return disks; }
  void CleanDisk(int diskIndex) override {
    for (auto& disk : disks) {
      if (disk.index == diskIndex) disk.partitions.clear();
    }
  }
  void ToolRan(ToolRun& run) override { runs.push_back(run); }

 private:
  static std::wstring Key(std::wstring path) {
    while (path.size() > 2 && path.back() == L'\\') path.pop_back();
    return ToUpperAscii(path);
  }
  static std::wstring Parent(const std::wstring& path) {
    return path.substr(0, std::min(path.find_last_of(L'\\'), path.size()));
  }
};

std::string Wim(std::initializer_list<const char*> names) {
  std::string bytes(kWimMarker);
  for (const char* name : names) bytes += std::string(name) + "\n";
  return bytes;
}

// The first white-space-separated token that is one digit, as the system-disk probe reads it.
std::string FirstSingleDigit(const std::string& report) {
  std::istringstream in(report);
  std::string token;
  while (in >> token) {
    if (token.size() == 1 && token[0] >= '0' && token[0] <= '9') return token;
  }
  return "";
}

DiskSpec Disk(int index, int64_t sizeMB, bool gpt, std::vector<int64_t> partitionSizes) {
  DiskSpec disk;
  disk.index = index;
  disk.sizeMB = sizeMB;
  disk.gpt = gpt;
  for (int64_t size : partitionSizes) {
    PartitionSpec partition;
    partition.sizeMB = size;
    partition.label = L"DATA";
    disk.partitions.push_back(partition);
  }
  return disk;
}

const char kCopyScript[] =
    "MKDIR M:\\RYTOOLS\r\n"
    "XCOPY /c /f /i /y /h X:\\NAPP2P_SSDHDD.ini M:\\RYTOOLS\\\r\n"
    "XCOPY /c /f /i /y /h X:\\Quorvane.log M:\\RYTOOLS\\\r\n"
    "XCOPY /c /f /i /y /h M:\\RebuildEnd_CopyFile.cmd M:\\RYTOOLS\\\r\n"
    "del /S /R M:\\RebuildEnd_CopyFile.cmd\r\n";

TEST(SimCommandScript, CopyScriptCarriesTheLogAndDeletesItself) {
  FakeHost host;
  host.Put(L"X:\\Quorvane.log", "[Quorvane]\r\nfirst=\r\n");
  host.Put(L"M:\\RebuildEnd_CopyFile.cmd", kCopyScript);
  ProcessOutcome outcome = RunSimulatedCommand(host, L"M:\\RebuildEnd_CopyFile.cmd");
  EXPECT_TRUE(outcome.started);
  EXPECT_EQ(outcome.exitCode, 0u);  // del's, although a source was missing
  EXPECT_TRUE(host.IsFolder(L"M:\\RYTOOLS"));
  EXPECT_EQ(host.Get(L"M:\\RYTOOLS\\Quorvane.log"), "[Quorvane]\r\nfirst=\r\n");
  EXPECT_EQ(host.Get(L"M:\\RyTools\\RebuildEnd_CopyFile.cmd"), kCopyScript);
  EXPECT_FALSE(host.IsFile(L"M:\\RYTOOLS\\NAPP2P_SSDHDD.ini"));
  EXPECT_FALSE(host.IsFile(L"M:\\RebuildEnd_CopyFile.cmd"));

  // A second run finds the folder (MKDIR fails and the script goes on) and overwrites.
  host.Put(L"X:\\Quorvane.log", "[Quorvane]\r\nsecond=\r\n");
  host.Put(L"X:\\NAPP2P_SSDHDD.ini", "select disk 1\r\n");
  host.Put(L"M:\\RebuildEnd_CopyFile.cmd", kCopyScript);
  EXPECT_EQ(RunSimulatedCommand(host, L"M:\\RebuildEnd_CopyFile.cmd").exitCode, 0u);
  EXPECT_EQ(host.Get(L"M:\\RYTOOLS\\Quorvane.log"), "[Quorvane]\r\nsecond=\r\n");
  EXPECT_EQ(host.Get(L"M:\\RYTOOLS\\NAPP2P_SSDHDD.ini"), "select disk 1\r\n");
}

TEST(SimCommandScript, ExitCodeIsThatOfTheLastCommand) {
  FakeHost host;
  host.Put(L"X:\\a.cmd", "XCOPY /y X:\\missing.ini M:\\T\\\r\n");
  EXPECT_EQ(RunSimulatedCommand(host, L"X:\\a.cmd").exitCode, 4u);
  EXPECT_FALSE(host.IsFolder(L"M:\\T"));

  host.Put(L"X:\\b.cmd", "MKDIR X:\\Q\r\nMKDIR X:\\Q\r\n");
  EXPECT_EQ(RunSimulatedCommand(host, L"X:\\b.cmd").exitCode, 1u);

  // XCOPY makes the whole target folder path.
  host.Put(L"X:\\c.cmd", "MKDIR X:\\Q\r\nXCOPY /y X:\\c.cmd M:\\New\\Deep\\\r\n");
  EXPECT_EQ(RunSimulatedCommand(host, L"X:\\c.cmd").exitCode, 0u);
  EXPECT_TRUE(host.IsFile(L"M:\\New\\Deep\\c.cmd"));

  host.Put(L"X:\\d.cmd", "exit 3\r\nMKDIR X:\\after\r\n");
  EXPECT_EQ(RunSimulatedCommand(host, L"X:\\d.cmd").exitCode, 3u);
  EXPECT_FALSE(host.IsFolder(L"X:\\after"));

  // A bare exit keeps the errorlevel of the command before it.
  host.Put(L"X:\\e.cmd", "MKDIR X:\\Q\r\nexit\r\n");
  EXPECT_EQ(RunSimulatedCommand(host, L"X:\\e.cmd").exitCode, 1u);
}

TEST(SimCommandScript, RedirectionsToNulAndTheErrorStreamKeepStandardOutputApart) {
  FakeHost host;
  host.Put(L"X:\\r.cmd",
           "MKDIR X:\\Q 2>nul\r\nXCOPY /y X:\\r.cmd X:\\Q\\ >NUL\r\n"
           "XCOPY /y X:\\r.cmd X:\\Q\\ 2> X:\\err.txt | find \"copied\" > X:\\out.txt\r\n");
  EXPECT_EQ(RunSimulatedCommand(host, L"X:\\r.cmd").exitCode, 0u);
  EXPECT_TRUE(host.IsFile(L"X:\\Q\\r.cmd"));
  EXPECT_FALSE(host.IsFile(L"X:\\nul"));
  EXPECT_EQ(host.Get(L"X:\\err.txt"), "");
  EXPECT_EQ(host.Get(L"X:\\out.txt"), "1 File(s) copied\r\n");
}

class SimIndexCommand : public ::testing::Test {
 protected:
  SimIndexCommand() {
    host.folders.insert(L"M:\\RECOVERYIMAGE");
    host.Put(L"X:\\ParseinstallCmd.cmd",
             "dism.exe /Get-WimInfo /WimFile:M:\\RecoveryImage\\install.wim /English | find /I "
             "\"index\" >> X:\\ParseinstallInfo.log\r\nexit\r\n");
  }
  ProcessOutcome Run() { return RunSimulatedCommand(host, L"X:\\ParseinstallCmd.cmd"); }
  FakeHost host;
};

TEST_F(SimIndexCommand, KeepsExactlyTheIndexLinesAndAppends) {
  host.Put(L"M:\\RecoveryImage\\install.wim", Wim({"Home", "Home N", "Pro"}));
  EXPECT_EQ(Run().exitCode, 0u);
  EXPECT_EQ(host.Get(L"X:\\ParseinstallInfo.log"), "Index : 1\r\nIndex : 2\r\nIndex : 3\r\n");
  Run();
  EXPECT_EQ(host.Get(L"X:\\ParseinstallInfo.log")->size(), 2 * 33u);
}

TEST_F(SimIndexCommand, GivenListingReplacesTheGeneratedOne) {
  host.Put(L"M:\\RecoveryImage\\install.wim", Wim({"Home"}));
  host.tools.dismOutput[L"M:\\RecoveryImage\\install.wim"] =
      "Details\nINDEX : 7\nName : index of nothing\nIndex: 9\n";
  EXPECT_EQ(Run().exitCode, 0u);
  EXPECT_EQ(host.Get(L"X:\\ParseinstallInfo.log"),
            "INDEX : 7\r\nName : index of nothing\r\nIndex: 9\r\n");
}

TEST_F(SimIndexCommand, NoImageLeavesAnEmptyFile) {
  EXPECT_EQ(Run().exitCode, 1u);  // find found nothing: dism only printed its error
  EXPECT_EQ(host.Get(L"X:\\ParseinstallInfo.log"), "");

  host.Put(L"M:\\RecoveryImage\\install.wim", "not an image\r\nIndex : 5\r\n");
  EXPECT_EQ(Run().exitCode, 1u);
  EXPECT_EQ(host.Get(L"X:\\ParseinstallInfo.log"), "");
}

TEST_F(SimIndexCommand, BlockedProgramsPrintNothingButTheRedirectionStillCreatesItsFile) {
  host.Put(L"M:\\RecoveryImage\\install.wim", Wim({"Home"}));
  host.blocked = {L"dism"};
  EXPECT_EQ(Run().exitCode, 1u);  // the last command is find, fed nothing
  EXPECT_EQ(host.Get(L"X:\\ParseinstallInfo.log"), "");

  host.files.erase(L"X:\\PARSEINSTALLINFO.LOG");
  host.blocked = {L"find.exe"};
  EXPECT_EQ(Run().exitCode, 9009u);
  EXPECT_EQ(host.Get(L"X:\\ParseinstallInfo.log"), "");
}

class SimDiskpart : public ::testing::Test {
 protected:
  SimDiskpart() {
    host.disks = {Disk(0, 244198, true, {260, 200000}), Disk(1, 30000, true, {10000, 19000})};
    host.Put(L"X:\\GetSystemPart.ini", "select disk system\r\n");
    host.Put(L"X:\\GetSystemPart.cmd",
             "diskpart /s X:\\GetSystemPart.ini > X:\\GetSystemPart.txt\r\n");
  }
  std::string Probe(uint32_t expectedExit) {
    EXPECT_EQ(RunSimulatedCommand(host, L"X:\\GetSystemPart.cmd").exitCode, expectedExit);
    return host.Get(L"X:\\GetSystemPart.txt").value_or("(none)");
  }
  ProcessOutcome Carve(const std::string& size, const std::string& style = "gpt",
                       const std::string& id = "d3bfe2de-3daf-11df-ba40-e3a556d89593") {
    host.Put(L"X:\\NAPP2P_SSDHDD.ini", "select disk 1\nclean\nconvert " + style +
                                           "\nselect disk 1\ncreate partition primary size=" +
                                           size + "\nset id=\"" + id + "\"\n");
    return RunSimulatedCommand(host, L"Diskpart.exe /s X:\\NAPP2P_SSDHDD.ini");
  }
  FakeHost host;
};

TEST_F(SimDiskpart, SystemDiskProbeReportsTheDiskAsTheFirstSingleDigit) {
  host.tools.systemDisk = 1;
  std::string report = Probe(0);
  EXPECT_EQ(FirstSingleDigit(report), "1");
  EXPECT_NE(report.find("Disk 1 is now the selected disk.\r\n"), std::string::npos);
  EXPECT_EQ(report.find("\n\n"), std::string::npos);  // every line end is CR LF

  host.tools.systemDisk = 0;
  EXPECT_EQ(FirstSingleDigit(Probe(0)), "0");

  host.tools.systemDisk.reset();
  EXPECT_EQ(FirstSingleDigit(Probe(5)), "");

  host.tools.systemDiskReport = "Odd report 2\nDisk 0\n";
  EXPECT_EQ(Probe(5), "Odd report 2\r\nDisk 0\r\n");
}

TEST_F(SimDiskpart, CarvingReplacesThePartitionsOfTheSelectedDiskOnly) {
  EXPECT_EQ(Carve("8192").exitCode, 0u);
  const DiskSpec& disk = host.disks[1];
  EXPECT_TRUE(disk.gpt);
  ASSERT_EQ(disk.partitions.size(), 1u);
  EXPECT_EQ(disk.partitions[0].sizeMB, 8192);
  EXPECT_EQ(disk.partitions[0].type, L"GPT: Unknown");
  EXPECT_FALSE(disk.partitions[0].label.has_value());
  EXPECT_EQ(host.disks[0].partitions.size(), 2u);

  EXPECT_EQ(Carve("4096", "mbr", "84").exitCode, 0u);
  EXPECT_FALSE(disk.gpt);
  EXPECT_EQ(disk.partitions[0].type, L"Unknown");

  // The whole disk less the first MiB is the largest that fits.
  EXPECT_EQ(Carve("29999").exitCode, 0u);
  EXPECT_EQ(disk.partitions[0].sizeMB, 29999);
}

TEST_F(SimDiskpart, FailingCommandStopsTheScriptAfterTheCleanWithExitFive) {
  for (const char* size : {"0", "-4741", "30000", "abc"}) {
    host.disks[1] = Disk(1, 30000, true, {10000});
    EXPECT_EQ(Carve(size).exitCode, 5u) << size;
    EXPECT_TRUE(host.disks[1].partitions.empty()) << size;
  }
  // A GUID on an MBR disk is refused, after the partition was made.
  EXPECT_EQ(Carve("8192", "mbr").exitCode, 5u);
  EXPECT_EQ(host.disks[1].partitions[0].type, L"Installable File System");

  host.Put(L"X:\\convert.ini", "select disk 0\r\nconvert mbr\r\n");
  EXPECT_EQ(RunSimulatedCommand(host, L"diskpart /s X:\\convert.ini").exitCode, 5u);
  EXPECT_TRUE(host.disks[0].gpt);
  EXPECT_EQ(RunSimulatedCommand(host, L"DISKPART /S X:\\nothing.ini").exitCode, 3u);
}

TEST(SimCommands, ProgramsThatCannotStart) {
  FakeHost host;
  host.disks = {Disk(0, 30000, true, {10000})};
  host.Put(L"X:\\wipe.ini", "select disk 0\r\nclean\r\n");
  host.blocked = {L"diskpart"};
  ProcessOutcome outcome = RunSimulatedCommand(host, L"Diskpart.exe /s X:\\wipe.ini");
  EXPECT_FALSE(outcome.started);
  EXPECT_EQ(outcome.lastError, 2u);
  EXPECT_EQ(host.disks[0].partitions.size(), 1u);

  // Inside a command file: not recognised, nothing printed, the file still created.
  host.Put(L"X:\\probe.cmd", "diskpart /s X:\\wipe.ini > X:\\out.txt\r\n");
  outcome = RunSimulatedCommand(host, L"X:\\probe.cmd");
  EXPECT_TRUE(outcome.started);
  EXPECT_EQ(outcome.exitCode, 9009u);
  EXPECT_EQ(host.Get(L"X:\\out.txt"), "");
  EXPECT_EQ(host.disks[0].partitions.size(), 1u);

  // Built-in commands cannot be blocked.
  host.blocked = {L"mkdir", L"del", L"exit"};
  host.Put(L"X:\\builtin.cmd", "MKDIR X:\\made\r\ndel X:\\out.txt\r\nexit 6\r\n");
  EXPECT_EQ(RunSimulatedCommand(host, L"X:\\builtin.cmd").exitCode, 6u);
  EXPECT_TRUE(host.IsFolder(L"X:\\made"));
  EXPECT_FALSE(host.IsFile(L"X:\\out.txt"));
  EXPECT_FALSE(RunSimulatedCommand(host, L"MKDIR X:\\other").started);

  // A blocked agent named by its full path.
  host.blocked = {L"ReagentC"};
  EXPECT_FALSE(RunSimulatedCommand(host, L"C:\\Windows\\System32\\ReagentC /setosimage").started);
}

TEST(SimCommands, MissingScriptsAndUnknownPrograms) {
  FakeHost host;
  ProcessOutcome outcome = RunSimulatedCommand(host, L"M:\\RyTools\\RegisterInstall.cmd");
  EXPECT_FALSE(outcome.started);
  EXPECT_EQ(outcome.lastError, 2u);
  EXPECT_FALSE(RunSimulatedCommand(host, L"notepad.exe X:\\a.txt").started);
  host.Put(L"X:\\u.cmd", "notepad X:\\a.txt >> X:\\u.txt\r\n");
  EXPECT_EQ(RunSimulatedCommand(host, L"X:\\u.cmd").exitCode, 9009u);
  EXPECT_EQ(host.Get(L"X:\\u.txt"), "");
}

TEST(SimCommands, RecoveryAgentNeedsBothFoldersThroughTheLettersInForce) {
  FakeHost host;
  host.folders = {L"M:\\RECOVERYIMAGE"};
  host.Put(L"M:\\RyTools\\RegisterInstall.cmd",
           "C:\\Windows\\System32\\ReagentC /setosimage /path M:\\RecoveryImage /target "
           "C:\\Windows /index 2\r\n");
  EXPECT_EQ(RunSimulatedCommand(host, L"M:\\RyTools\\RegisterInstall.cmd").exitCode, 2u);
  host.folders.insert(L"C:\\WINDOWS");
  EXPECT_EQ(RunSimulatedCommand(host, L"M:\\RyTools\\RegisterInstall.cmd").exitCode, 0u);
}

}  // namespace
}  // namespace quorvane::sim
