// Drive letters of the simulated machine: stacked definitions, exact removal, injected mount
// failures, the drive lists and labels read through letters.
#include <gtest/gtest.h>

#include "tests/unit/sim_fixture.h"

namespace quorvane::sim {
namespace {

constexpr uint32_t kRaw = win::kDddRawTargetPath;
constexpr uint32_t kRemoveExact = 7;

constexpr char kMachine[] = R"({
  "disks": [{"sizeMB": 1000, "partitions": [
    {"sizeMB": 100, "label": "ESP"},
    {"sizeMB": 100, "label": null},
    {"sizeMB": 100, "label": "PQSERVICE", "letter": "E:"}]}],
  "drives": [{"letter": "R:", "label": null}],
  "faults": {"mountFailures": {"M:": 2, "N:": "always"}}})";

TEST(SimDevices, DefinitionsStackAndExactRemovalTakesOnlyTheMatchingOne) {
  SimFixture sim(kMachine);
  auto& p = sim.platform();
  const std::wstring part1 = L"\\Device\\Harddisk0\\Partition1";
  const std::wstring part3 = L"\\Device\\Harddisk0\\Partition3";
  EXPECT_EQ(p.GetVolumeLabel(L"E:\\"), std::optional<std::wstring>(L"PQSERVICE"));
  ASSERT_TRUE(p.DefineDosDevice(kRaw, L"E:", part1));
  EXPECT_EQ(p.QueryDosDevice(L"E:", 2048), part1);
  EXPECT_EQ(p.GetVolumeLabel(L"E:\\"), std::optional<std::wstring>(L"ESP"));
  // Removing a definition that is not the text given removes nothing.
  EXPECT_FALSE(p.DefineDosDevice(kRemoveExact, L"E:", part1 + L"0"));
  // Removing the older one leaves the newer in force.
  EXPECT_TRUE(p.DefineDosDevice(kRemoveExact, L"E:", part3));
  EXPECT_EQ(p.QueryDosDevice(L"E:", 2048), part1);
  EXPECT_TRUE(p.DefineDosDevice(kRemoveExact, L"E:", part1));
  EXPECT_EQ(p.QueryDosDevice(L"E:", 2048), std::nullopt);
  EXPECT_EQ(p.GetVolumeLabel(L"E:\\"), std::nullopt);
  // A buffer too small for the answer fails.
  EXPECT_EQ(p.QueryDosDevice(L"X:", 9), std::nullopt);
  EXPECT_EQ(p.QueryDosDevice(L"X:", 11), std::optional<std::wstring>(L"volume:X:"));
}

TEST(SimDevices, RawTargetsAreNotCheckedAndLabelsFollowTheTarget) {
  SimFixture sim(kMachine);
  auto& p = sim.platform();
  EXPECT_TRUE(p.DefineDosDevice(kRaw, L"F:", L"\\Device\\Harddisk7\\Partition1"));
  EXPECT_TRUE(p.DefineDosDevice(kRaw, L"G:", L"\\Device\\Harddisk0\\Partition2"));
  EXPECT_EQ(p.GetVolumeLabel(L"F:\\"), std::nullopt);  // names nothing
  EXPECT_EQ(p.GetVolumeLabel(L"G:\\"), std::nullopt);  // no file system
  EXPECT_EQ(p.GetVolumeLabel(L"R:\\"), std::nullopt);  // drive without a medium
  EXPECT_EQ(p.GetVolumeLabel(L"x:\\"), std::optional<std::wstring>(L"Boot"));
  EXPECT_EQ(p.GetLogicalDrives(), (1u << 4) | (1u << 5) | (1u << 6) | (1u << 17) | (1u << 23));
  EXPECT_EQ(p.GetLogicalDriveStrings(256),
            (std::vector<std::wstring>{L"E:\\", L"F:\\", L"G:\\", L"R:\\", L"X:\\"}));
  EXPECT_TRUE(p.GetLogicalDriveStrings(20).empty());
}

TEST(SimDevices, MountFailuresCountDefinitionsOfThatLetterOnly) {
  SimFixture sim(kMachine);
  auto& p = sim.platform();
  const std::wstring target = L"\\Device\\Harddisk0\\Partition3";
  EXPECT_FALSE(p.DefineDosDevice(kRaw, L"M:", target));
  EXPECT_FALSE(p.DefineDosDevice(kRemoveExact, L"M:", target));  // a removal does not count
  EXPECT_TRUE(p.DefineDosDevice(kRaw, L"E:", target));
  EXPECT_FALSE(p.DefineDosDevice(kRaw, L"M:", target));
  EXPECT_TRUE(p.DefineDosDevice(kRaw, L"M:", target));
  for (int i = 0; i < 12; ++i) EXPECT_FALSE(p.DefineDosDevice(kRaw, L"N:", target));
  EXPECT_EQ(p.QueryDosDevice(L"N:", 2048), std::nullopt);
}

}  // namespace
}  // namespace quorvane::sim
