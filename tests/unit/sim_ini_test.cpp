// The INI writer as the run log relies on it: keys replaced in place, case ignored, CR LF,
// one section, 8-bit text, lost lines.
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

TEST(SimIni, KeysHoldingAnEqualsSignAreReplacedAsWholeKeys) {
  IniFile ini;
  ini.Set("Quorvane", "t byMajor= 2", "");
  ini.Set("Quorvane", "t byMajor", "other");
  ini.Set("Quorvane", "T BYMAJOR= 2", "late");
  EXPECT_EQ(ini.Bytes(), "[Quorvane]\r\nt byMajor= 2=late\r\nt byMajor=other\r\n");

  // Read back from bytes, a key ends at the first '='; other sections stay put.
  IniFile read = IniFile::Parse("[Other]\nk=1\n\n[quorvane]\r\nk=2\r\n\r\n[Last]\r\n");
  read.Set("Quorvane", "k", "3");
  read.Set("Quorvane", "new", "4");
  read.Set("Other", "k", "5");
  EXPECT_EQ(read.Bytes(), "[Other]\r\nk=5\r\n\r\n[quorvane]\r\nk=3\r\nnew=4\r\n\r\n[Last]\r\n");
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
