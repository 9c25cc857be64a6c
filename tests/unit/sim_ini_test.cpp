// The INI writer as the run log relies on it: keys up to the first '=' replaced in place, case
// ignored, CR LF, one section, 8-bit text, lost lines.
#include <gtest/gtest.h>

#include "platform/sim/ini_file.h"
#include "tests/unit/sim_fixture.h"

namespace quorvane::sim {
namespace {

constexpr char kMachine[] = R"({
  "disks": [{"sizeMB": 1000, "partitions": [
    {"sizeMB": 100, "label": "PQSERVICE", "letter": "M:"},
    {"sizeMB": 100, "label": "DATA", "letter": "D:"}]}],
  "faults": {"readOnly": ["D:"]}})";

TEST(SimIni, WritesAsThePrivateProfileWriter) {
  SimFixture sim(kMachine);
  auto& p = sim.platform();
  EXPECT_TRUE(p.WritePrivateProfileString(L"Quorvane", L"first", L"", L"M:\\Quorvane.log"));
  EXPECT_TRUE(p.WritePrivateProfileString(L"Quorvane", L"second", L"a ", L"m:\\quorvane.LOG"));
  EXPECT_TRUE(p.WritePrivateProfileString(L"QUORVANE", L"FIRST", L"again", L"M:\\Quorvane.log"));
  EXPECT_TRUE(
      p.WritePrivateProfileString(L"Quorvane", L"caf\u00e9 \u4e2d", L"x", L"M:\\Quorvane.log"));
  EXPECT_EQ(
      sim.ReadVolumeFile("disk0-part1", "Quorvane.log"),
      std::optional<std::string>("[Quorvane]\r\nfirst=again\r\nsecond=a \r\ncaf\xe9 ?=x\r\n"));
}

TEST(SimIni, AKeyEndsAtTheFirstEqualsSignAsOnWindows) {
  // The flag summary's separator holds '=' in its key: written twice, it stands twice; a key
  // that holds '=' matches no line, while a plain key matches the text before a line's '='.
  IniFile ini;
  ini.Set("Quorvane", "12:0 ====", "");
  ini.Set("Quorvane", "12:0 m_biRST", "false");
  ini.Set("Quorvane", "12:0 ====", "");
  ini.Set("Quorvane", "t call err=2, szCommand = X:\\a.cmd", "");
  ini.Set("Quorvane", "t call err=2, szCommand = X:\\a.cmd", "");
  ini.Set("Quorvane", " T CALL ERR ", "plain");
  EXPECT_EQ(ini.Bytes(),
            "[Quorvane]\r\n12:0 =====\r\n12:0 m_biRST=false\r\n12:0 =====\r\n"
            "t call err=plain\r\nt call err=2, szCommand = X:\\a.cmd=\r\n");

  // Read back from bytes, lines keep their bytes, a replaced key keeps its own spelling and
  // blanks, "[0]...=" is a key line, not a section; other sections stay put.
  IniFile read =
      IniFile::Parse("[Other]\nk=1\n\n[quorvane]\r\n K =2\r\n[0]Error=\r\n\r\n[Last]\r\n");
  read.Set("Quorvane", "k", "3");
  read.Set("Quorvane", "new", "4");
  read.Set("Other", "k", "5");
  read.Set("quorvane", "[0]error", "x");
  EXPECT_EQ(read.Bytes(),
            "[Other]\r\nk=5\r\n\r\n[quorvane]\r\n K =3\r\n[0]Error=x\r\nnew=4\r\n\r\n"
            "[Last]\r\n");
}

TEST(SimIni, LinesThroughAnUnwritableLetterAreLostAndRecorded) {
  SimFixture sim(kMachine);
  auto& p = sim.platform();
  EXPECT_FALSE(p.WritePrivateProfileString(L"Quorvane", L"k", L"v", L"D:\\Quorvane.log"));
  EXPECT_FALSE(p.WritePrivateProfileString(L"Quorvane", L"k", L"v", L"W:\\Quorvane.log"));
  EXPECT_FALSE(p.WritePrivateProfileString(L"Quorvane", L"k", L"v", L"M:\\NoFolder\\Quorvane.log"));
  EXPECT_TRUE(p.WritePrivateProfileString(L"Quorvane", L"k", L"v", L"X:\\Quorvane.log"));
  ASSERT_EQ(p.LogWrites().size(), 4u);
  EXPECT_FALSE(p.LogWrites()[0].written);
  EXPECT_FALSE(p.LogWrites()[1].written);
  EXPECT_FALSE(p.LogWrites()[2].written);
  EXPECT_TRUE(p.LogWrites()[3].written);
  EXPECT_EQ(p.LogWrites()[3].hostFile, "volumes/X/Quorvane.log");
  EXPECT_EQ(sim.ReadVolumeFile("disk0-part2", "Quorvane.log"), std::nullopt);
  EXPECT_EQ(sim.LogLines("X"), std::vector<std::string>{"k=v"});
}

}  // namespace
}  // namespace quorvane::sim
