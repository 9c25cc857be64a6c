// Letter mapping, the UEFI and legacy letter assignments and the boot mode on simulated machines.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "base/text.h"
#include "letters/volume_mapping.h"
#include "run/layout_job.h"
#include "tests/unit/sim_fixture.h"

namespace quorvane {
namespace {

using Strings = std::vector<std::string>;

// A job on a simulated machine; `partitions` fills the disk table as the inventory would
// (disk i has Index i and reports that many partitions).
struct Bench {
  explicit Bench(const std::string& profile, const std::vector<int>& partitions = {})
      : sim(profile), job(sim.platform(), CLayoutJob::NoRun{}) {
    for (size_t i = 0; i < partitions.size(); ++i) {
      job.m_Disks[i].Index = static_cast<int32_t>(i);
      job.m_Disks[i].Partitions = partitions[i];
    }
    job.m_DiskCount = static_cast<int32_t>(partitions.size());
  }
  sim::SimPlatform& platform() { return sim.platform(); }
  Strings Log() { return sim.LogLines("X"); }
  // Every defined letter with the target in force: "D:=\Device\Harddisk0\Partition1".
  Strings Letters() {
    Strings letters;
    const auto& table = sim.platform().DosDevices();
    for (const auto& letter : table.Letters())
      letters.push_back(ToUtf8(letter + L"=" + table.InForce(letter).value_or(L"")));
    return letters;
  }

  sim::SimFixture sim;
  CLayoutJob job;
};

std::string Machine(const std::string& disks, const std::string& more = "") {
  return R"({"disks": [)" + disks + "]" + more + "}";
}
std::string Disk(const std::string& partitions) {
  return R"({"sizeMB": 100000, "partitions": [)" + partitions + "]}";
}

TEST(VolumeMapping, FreeLettersRunFromDToZ) {
  Bench used(Machine(Disk(R"({"sizeMB": 10, "letter": "C:"}, {"sizeMB": 10, "letter": "D:"})")));
  EXPECT_EQ(used.job.FindFreeDriveLetter(), L"E:");
  Bench low(Machine("", R"(, "drives": [{"letter": "A:"}, {"letter": "B:"}, {"letter": "C:"}])"));
  EXPECT_EQ(low.job.FindFreeDriveLetter(), L"D:");
  for (wchar_t c = L'D'; c <= L'Z'; ++c) MountPartition(low.platform(), {c, L':'}, L"\\Device\\N");
  EXPECT_EQ(low.job.FindFreeDriveLetter(), L"");
}

TEST(VolumeMapping, LabelsFollowTheDefinitionInForce) {
  Bench run(Machine(Disk(R"({"sizeMB": 10, "label": "Data", "letter": "E:"},
                          {"sizeMB": 10, "label": null})")));
  for (const wchar_t* drive : {L"E:", L"E:\\", L"E"})
    EXPECT_EQ(run.job.ReadVolumeLabel(drive), L"Data");
  // A raw target is not checked: the letter stands, with no volume behind it.
  EXPECT_TRUE(MountPartition(run.platform(), L"F:", PartitionDevicePath(7, 3)));
  EXPECT_EQ(run.job.ReadVolumeLabel(L"F:"), L"");
  EXPECT_TRUE(MountPartition(run.platform(), L"E:", PartitionDevicePath(0, 2)));
  EXPECT_EQ(run.job.ReadVolumeLabel(L"E:"), L"");  // unformatted
  // Removal takes exactly the definition in force; the older one comes back.
  RemoveLetterMapping(run.platform(), L"E:");
  RemoveLetterMapping(run.platform(), L"Q:");  // maps to nothing
  EXPECT_EQ(run.job.ReadVolumeLabel(L"E:"), L"Data");
  EXPECT_EQ(run.Letters(), (Strings{"E:=\\Device\\Harddisk0\\Partition1",
                                    "F:=\\Device\\Harddisk7\\Partition3", "X:=volume:X:"}));
}

TEST(VolumeMapping, TenFailedMappingsThenTheBox) {
  Bench run(Machine("", R"(, "faults": {"mountFailures": {"D:": 10}})"));
  EXPECT_FALSE(MountPartition(run.platform(), L"D:", PartitionDevicePath(0, 1)));
  EXPECT_EQ(run.platform().ElapsedMs(), 3000u);
  ASSERT_EQ(run.platform().MessageBoxes().size(), 1u);
  const auto& box = run.platform().MessageBoxes()[0];
  EXPECT_EQ(std::tie(box.text, box.caption, box.flags),
            std::make_tuple(std::wstring(L"Mount Failed"), std::wstring(L"Quorvane"), 0x30u));
  // Exactly ten definitions were used up: the next one succeeds at once.
  EXPECT_TRUE(MountPartition(run.platform(), L"D:", PartitionDevicePath(0, 1)));
  EXPECT_EQ(run.platform().ElapsedMs(), 3000u);
}

TEST(EfiLetters, ProbesOneBeyondTheReportedCount) {
  // Partitions 2 and 5 are hidden from the inventory, which reports 3.
  Bench run(Machine(Disk(R"({"sizeMB": 100, "label": "ESP"}, {"sizeMB": 16, "hidden": true},
      {"sizeMB": 900, "label": "OS", "letter": "C:"}, {"sizeMB": 500, "label": "PQSERVICE"},
      {"sizeMB": 500, "label": "RECOVERY", "hidden": true})")),
            {3});
  run.job.AssignLetterToEFI();
  EXPECT_EQ(
      run.Log(),
      (Strings{"Disks 0 : Partitions 4=", "[EFI]AssignLetterToEFI=", "[EFI]Need to mount EFI=ESP",
               "[EFI]AssignLetterToQHP=", "[EFI]No need to mount QHP=PQSERVICE"}));
  EXPECT_EQ(run.Letters(),
            (Strings{"C:=\\Device\\Harddisk0\\Partition3", "D:=\\Device\\Harddisk0\\Partition1",
                     "E:=\\Device\\Harddisk0\\Partition4", "X:=volume:X:"}));
}

TEST(EfiLetters, KeptLettersAscendAndReleasedOnesAreReused) {
  Bench run(Machine(Disk(R"({"sizeMB": 10, "label": "Push Button Reset"},
      {"sizeMB": 10, "label": "MY PUSH BUTTON"}, {"sizeMB": 10, "label": "Recovery"})"),
                    R"(, "drives": [{"letter": "C:", "label": "OS"}])"),
            {2});
  run.job.AssignLetterToEFI();
  EXPECT_EQ(run.Log(),
            (Strings{"Disks 0 : Partitions 3=", "[EFI]AssignLetterToPBR=",
                     "[EFI]Need to mount PBR=PUSH BUTTON RESET",
                     "[EFI]AssignLetterToRECOVERY=", "[EFI]Need to mount RECOVERY=RECOVERY"}));
  EXPECT_EQ(run.Letters(), (Strings{"C:=volume:C:", "D:=\\Device\\Harddisk0\\Partition1",
                                    "E:=\\Device\\Harddisk0\\Partition3", "X:=volume:X:"}));
}

TEST(EfiLetters, LabelsAreTestedUpperCasedInOrder) {
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {"esp", "[EFI]AssignLetterToEFI=", "[EFI]Need to mount EFI=ESP"},
      {"RECOVERY ESP", "[EFI]AssignLetterToRECOVERY=", "[EFI]Need to mount RECOVERY=RECOVERY ESP"},
      {"ESP RECOVERY", "[EFI]AssignLetterToEFI=", "[EFI]Need to mount EFI=ESP RECOVERY"},
      {"pqservice", "[EFI]AssignLetterToQHP=", "[EFI]No need to mount QHP=PQSERVICE"},
      {"PQSERVICE2", "", ""},
      {"My Push Button", "", ""},
  };
  for (const auto& [label, assign, mount] : cases) {
    SCOPED_TRACE(label);
    Bench run(Machine(Disk(R"({"sizeMB": 10, "label": ")" + label + "\"}")), {0});
    run.job.AssignLetterToEFI();
    Strings expected{"Disks 0 : Partitions 1="};
    if (!assign.empty()) expected.insert(expected.end(), {assign, mount});
    EXPECT_EQ(run.Log(), expected);
    EXPECT_EQ(run.Letters().size(), assign.empty() ? 1u : 2u);  // X: and a kept probe letter
  }
}

TEST(EfiLetters, AFailedProbeIsReleasedAndTheScanGoesOn) {
  Bench run(Machine(Disk(R"({"sizeMB": 10, "label": "ESP"}, {"sizeMB": 10, "label": "ESP"})"),
                    R"(, "faults": {"mountFailures": {"D:": 10}})"),
            {1});
  run.job.AssignLetterToEFI();
  EXPECT_EQ(run.platform().MessageBoxes().size(), 1u);
  EXPECT_EQ(run.Letters(), (Strings{"D:=\\Device\\Harddisk0\\Partition2", "X:=volume:X:"}));
}

TEST(LegacyLetters, LetteredPartitionsNeedNoProbe) {
  Bench run(Machine(Disk(R"({"sizeMB": 10, "label": "System Reserved", "letter": "C:"},
      {"sizeMB": 10, "label": "PQSERVICE", "letter": "D:"},
      {"sizeMB": 10, "label": "Push Button", "letter": "F:"})")),
            {3});
  const Strings before = run.Letters();
  run.job.AssignLetterToSYS();
  run.job.AssignLetterToPBRorQHP();
  EXPECT_EQ(run.Log(), (Strings{"[1]AssignLetterToSYS=", "[1]No need to mount SYS=System Reserved",
                                "[1]AssignLetterToQHP=", "[1]No need to mount QHP=PQSERVICE"}));
  EXPECT_EQ(run.Letters(), before);
}

TEST(LegacyLetters, ProbesKeepOnlyTheFirstHit) {
  Bench run(Machine(Disk(R"({"sizeMB": 10, "label": "System Reserved"},
      {"sizeMB": 10, "label": "OS", "letter": "C:"}, {"sizeMB": 10, "label": "PUSH BUTTON"},
      {"sizeMB": 10, "label": "pqservice"})")),
            {4});
  run.job.AssignLetterToSYS();
  run.platform().Sleep(1);  // the same line from two steps in one millisecond would be one key
  run.job.AssignLetterToPBRorQHP();
  EXPECT_EQ(run.Log(), (Strings{"Disks 0 : Partitions 5=", "[2]AssignLetterToSYS=",
                                "[2]Need to mount SYS=System Reserved", "Disks 0 : Partitions 5=",
                                "[2]AssignLetterToQHP=", "[2]Need to mount QHP=pqservice"}));
  EXPECT_EQ(run.Letters(),
            (Strings{"C:=\\Device\\Harddisk0\\Partition2", "D:=\\Device\\Harddisk0\\Partition1",
                     "E:=\\Device\\Harddisk0\\Partition4", "X:=volume:X:"}));
}

TEST(LegacyLetters, PushButtonScanLinesShowTheDiskCount) {
  Bench run(Machine(Disk(R"({"sizeMB": 10, "label": "OS", "letter": "C:"},
                          {"sizeMB": 10, "label": "Data"})") +
                    "," + Disk(R"({"sizeMB": 10, "label": "push button reset"})")),
            {2, 1});
  run.job.AssignLetterToPBRorQHP();
  EXPECT_EQ(run.Log(),
            (Strings{"Disks 0 : Partitions 3=", "Disks 1 : Partitions 2=",
                     "Disks 2 : Partitions 3=", "Disks 2 : Partitions 2=", "[2]AssignLetterToPBR=",
                     "[2]Need to mount PBR=PUSH BUTTON RESET"}));
  EXPECT_EQ(run.Letters()[1], "D:=\\Device\\Harddisk1\\Partition1");
}

TEST(LetterAssignment, WithoutDisksNothingIsProbed) {
  Bench run(
      Machine(Disk(R"({"sizeMB": 10, "label": "ESP"}, {"sizeMB": 10, "label": "PQSERVICE"})")));
  run.job.AssignLetterToEFI();
  run.job.AssignLetterToSYS();
  run.job.AssignLetterToPBRorQHP();
  EXPECT_EQ(run.Log(), Strings{});
  EXPECT_EQ(run.Letters(), Strings{"X:=volume:X:"});
}

TEST(BootMode, TheProbeErrorDecides) {
  const std::tuple<std::string, bool, std::string> cases[] = {
      {R"("uefi")", true, "ERROR_NOACCESS=Boot system from UEFI BIOS"},
      {R"("legacy")", false, "ERROR_INVALID_FUNCTION=Boot system from Legacy BIOS"},
      {R"({"lastError": 203})", false, "DEFAULT=Boot system from Legacy BIOS"},
      {R"("readable")", false, "DEFAULT=Boot system from Legacy BIOS"},
  };
  for (const auto& [firmware, uefi, line] : cases) {
    SCOPED_TRACE(firmware);
    Bench run(R"({"firmware": )" + firmware + "}");
    EXPECT_EQ(run.job.IsUefiBoot(), uefi);
    EXPECT_EQ(run.Log(), Strings{line});
  }
}

}  // namespace
}  // namespace quorvane
