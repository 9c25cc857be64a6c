// Files of the simulated machine: paths through the letters in force, case-insensitive names
// keeping their first spelling, folders required, read-only and blocked paths, script text
// mode, searches, cleaned disks and the virtual clock.
#include <gtest/gtest.h>

#include "tests/unit/sim_fixture.h"

namespace quorvane::sim {
namespace {

constexpr char kMachine[] = R"({
  "start": "2026-12-31T23:59:59.900",
  "disks": [
    {"sizeMB": 1000, "partitions": [
      {"sizeMB": 100, "label": "PQSERVICE", "letter": "M:",
       "files": {"RyTools/": "", "RecoveryImage/install.wim": {"wimImages": ["Home", "Pro"]}}},
      {"sizeMB": 100, "label": null, "letter": "R:"},
      {"sizeMB": 100, "label": "DATA", "letter": "D:", "files": {"notes.txt": "caf\u00e9"}}]}],
  "faults": {"readOnly": ["D:"], "cannotCreate": ["X:\\Blocked.ini"]}})";

TEST(SimFiles, PathsResolveThroughTheLetterInForceIgnoringCase) {
  SimFixture sim(kMachine);
  auto& p = sim.platform();
  EXPECT_EQ(sim.ReadVolumeFile("disk0-part1", "RecoveryImage/install.wim"),
            std::optional<std::string>(std::string(kWimMarker) + "Home\nPro\n"));
  EXPECT_EQ(p.ReadFileBytes(L"d:\\NOTES.TXT"), std::optional<std::string>("caf\xe9"));
  EXPECT_TRUE(p.WriteFile(L"M:\\rytools\\Run.cmd", "a", false));
  EXPECT_TRUE(p.WriteFile(L"M:\\RYTOOLS\\RUN.CMD", "b", true));
  EXPECT_EQ(sim.ReadVolumeFile("disk0-part1", "RyTools/Run.cmd"), std::optional<std::string>("ab"));
  // The same letter on another volume reaches that volume's files.
  ASSERT_TRUE(p.DefineDosDevice(1, L"M:", L"\\Device\\Harddisk0\\Partition3"));
  EXPECT_TRUE(p.IsFile(L"M:\\notes.txt"));
  EXPECT_FALSE(p.IsFolder(L"M:\\RyTools"));
  // ".." stays inside the volume, as on Windows.
  EXPECT_TRUE(p.IsFile(L"M:\\..\\..\\notes.txt"));
  EXPECT_TRUE(p.WriteFile(L"M:\\..\\..\\..\\escaped.txt", "x", false));
  EXPECT_EQ(sim.ReadVolumeFile("disk0-part3", "escaped.txt"), std::optional<std::string>("x"));
}

TEST(SimFiles, CreatingNeedsAFileSystemAFolderAndAWritableLetter) {
  SimFixture sim(kMachine);
  auto& p = sim.platform();
  EXPECT_EQ(p.CreateScriptFile(L"M:\\NoSuchFolder\\a.cmd"), nullptr);
  EXPECT_EQ(p.CreateScriptFile(L"R:\\a.cmd"), nullptr);  // no file system
  EXPECT_EQ(p.CreateScriptFile(L"Q:\\a.cmd"), nullptr);  // no such letter
  EXPECT_EQ(p.CreateScriptFile(L"D:\\a.cmd"), nullptr);  // read-only letter
  EXPECT_EQ(p.CreateScriptFile(L"x:\\BLOCKED.INI"), nullptr);
  EXPECT_FALSE(p.DeleteFile(L"D:\\notes.txt"));
  EXPECT_EQ(p.MakeFolder(L"D:\\New"), CommandHost::MakeFolderResult::Failed);
  EXPECT_EQ(p.MakeFolder(L"M:\\rytools"), CommandHost::MakeFolderResult::Exists);
  EXPECT_EQ(p.MakeFolder(L"M:\\RyTools\\Logs\\Old"), CommandHost::MakeFolderResult::Made);
  EXPECT_TRUE(p.IsFolder(L"m:\\rytools\\logs\\old"));

  auto script = p.CreateScriptFile(L"X:\\Script.ini");
  ASSERT_NE(script, nullptr);
  script->Write(L"select disk 1\nlabel \u00e9\u4e2d\n");
  script->Close();
  script->Write(L"after close\n");
  EXPECT_EQ(sim.ReadVolumeFile("X", "Script.ini"),
            std::optional<std::string>("select disk 1\r\nlabel \xe9?\r\n"));
  EXPECT_TRUE(p.DeleteFile(L"X:\\script.INI"));
  EXPECT_FALSE(p.ReadFileBytes(L"X:\\Script.ini").has_value());
}

TEST(SimFiles, FindFirstFileHonoursWildcardsAndFolders) {
  SimFixture sim(kMachine);
  auto& p = sim.platform();
  EXPECT_TRUE(p.FindFirstFile(L"M:\\RecoveryImage"));
  EXPECT_TRUE(p.FindFirstFile(L"M:\\recoveryimage\\*.WIM"));
  EXPECT_TRUE(p.FindFirstFile(L"M:\\RecoveryImage\\install.wi?"));
  EXPECT_FALSE(p.FindFirstFile(L"M:\\RecoveryImage\\*.esd"));
  EXPECT_TRUE(p.FindFirstFile(L"M:\\RyTools\\*"));  // "." and ".." of a folder
  EXPECT_FALSE(p.FindFirstFile(L"M:\\"));
  EXPECT_FALSE(p.FindFirstFile(L"R:\\*"));
}

TEST(SimFiles, CleaningADiskRemovesItsVolumesAndLeavesItsLettersDangling) {
  SimFixture sim(kMachine);
  auto& p = sim.platform();
  p.CleanDisk(0);
  EXPECT_TRUE(p.Disks()[0].partitions.empty());
  EXPECT_EQ(p.FilesOf("disk0-part1"), nullptr);
  EXPECT_EQ(p.FilesOf("disk0-part3"), nullptr);
  EXPECT_EQ(p.QueryDosDevice(L"M:", 2048),
            std::optional<std::wstring>(L"\\Device\\Harddisk0\\Partition1"));
  EXPECT_FALSE(p.GetVolumeLabel(L"M:\\").has_value());
  ASSERT_EQ(p.CleanedDisks().size(), 1u);
  EXPECT_EQ(p.CleanedDisks()[0].labels, (std::vector<std::wstring>{L"PQSERVICE", L"DATA"}));
}

TEST(SimFiles, TheClockMovesOnlyBySleepsAndRollsOverTheYear) {
  SimFixture sim(kMachine);
  auto& p = sim.platform();
  LocalTime t = p.GetLocalTime();
  EXPECT_EQ(t.year, 2026);
  EXPECT_EQ(t.millisecond, 900);
  p.Sleep(100);
  t = p.GetLocalTime();
  EXPECT_EQ((std::vector<int>{t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond}),
            (std::vector<int>{2027, 1, 1, 0, 0, 0, 0}));
  for (int day = 0; day < 59; ++day) p.Sleep(86400000u);
  t = p.GetLocalTime();
  EXPECT_EQ(t.month, 3);  // 2027 is no leap year
  EXPECT_EQ(t.day, 1);
  EXPECT_EQ(p.ElapsedMs(), 100u + 86400000ull * 59u);
}

}  // namespace
}  // namespace quorvane::sim
