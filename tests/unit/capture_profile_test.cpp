// Facts to profile: a hand-built machine comes back whole through the writer and the loader, and
// every fact that is missing, refused or odd gives a note and a profile the loader still accepts.
#include <gtest/gtest.h>

#include <cctype>

#include "capture/capture_command.h"
#include "capture/facts_to_profile.h"
#include "platform/sim/profile_loader.h"
#include "platform/sim/profile_writer.h"

namespace quorvane::capture {
namespace {

constexpr int64_t kMiB = 1048576;
constexpr wchar_t kEsp[] = L"c12a7328-f81f-11d2-ba4b-00a0c93ec93b";
constexpr wchar_t kMsr[] = L"e3c9e316-0b5c-4db8-817d-f92df00215ae";
constexpr wchar_t kData[] = L"ebd0a0a2-b9e5-4433-87c0-68b6b72699c7";

// A partition in both the table and (unless `msr`) WMI's list, laid out after the previous one.
struct Part {
  int64_t mb;
  const wchar_t* gptType;
  const wchar_t* wmiType;
  std::optional<std::wstring> label;
};

void AddDisk(MachineFacts& f, int disk, bool gpt, int64_t sizeMB, const std::vector<Part>& parts) {
  WmiDiskRow row;
  row.index = disk;
  row.caption = L"Disk " + std::to_wstring(disk);
  row.deviceId = L"\\\\.\\PHYSICALDRIVE" + std::to_wstring(disk);
  row.mediaType = L"Fixed hard disk media";
  row.sizeBytes = sizeMB * kMiB + 12345;
  row.signatureNull = gpt;
  if (!gpt) row.signature = 0x1234ABCD + disk;
  DriveLayout layout;
  layout.style = gpt ? DriveLayout::Style::Gpt : DriveLayout::Style::Mbr;
  layout.mbrSignature = gpt ? 0 : 0x1234ABCD + disk;
  layout.diskBytes = sizeMB * kMiB + 999;
  int64_t offset = kMiB;
  int64_t wmiIndex = 0;
  for (size_t i = 0; i < parts.size(); ++i) {
    const Part& p = parts[i];
    LayoutPartition e{static_cast<uint32_t>(i + 1),  offset,         p.mb * kMiB,
                      gpt ? uint8_t{0} : uint8_t{7}, !gpt && i == 0, gpt ? p.gptType : L""};
    layout.partitions.push_back(e);
    if (p.wmiType != nullptr) {
      f.wmi.partitions.push_back({disk, wmiIndex++, offset, p.mb * kMiB, p.wmiType});
    }
    if (p.label) f.partitionVolumes[{disk, static_cast<int>(i) + 1}].label = p.label;
    offset += p.mb * kMiB;
  }
  row.partitions = wmiIndex;
  f.wmi.disks.push_back(row);
  f.layouts.push_back({disk, {layout, 0}});
}

LetterFacts Letter(const wchar_t* letter, std::optional<DeviceNumber> number,
                   std::optional<std::wstring> label, const wchar_t* target = L"") {
  LetterFacts l;
  l.letter = letter;
  if (*target != L'\0') l.target = target;
  l.number = {number, number ? 0u : 1u};
  l.volume.label = std::move(label);
  return l;
}

FoundFile Folder(const char* path) {
  FoundFile f;
  f.path = path;
  f.folder = true;
  return f;
}

// A UEFI notebook: an SSD with ESP, MSR, tools, Windows (C:) and PQSERVICE; a hard disk with
// PQSERVICE2 (Q:) holding the recovery image; the RAM drive X:.
MachineFacts Notebook() {
  MachineFacts f;
  f.start = {2026, 12, 7, 14, 5, 3, 42};
  f.firmware = {0, 998};
  f.smbiosRead = true;
  f.smbios.SmbiosMajorVersion = 3;
  f.smbios.SmbiosMinorVersion = 4;
  f.smbios.SMBiosData = {0xAC, 0x0C, 0x34, 0x12, 0x02, 0x10, 0x01,
                         0x01, 0x00, 0x03, 0x00, 0x00, 0,    0};
  f.smbios.DataSize = 14;
  f.wmi.partitionsListed = true;
  AddDisk(f, 0, true, 244198,
          {{260, kEsp, L"GPT: System", L"ESP"},
           {16, kMsr, nullptr, std::nullopt},
           {1000, kData, L"GPT: Basic Data", L"Recovery tools"},
           {200000, kData, L"GPT: Basic Data", L"OS"},
           {20000, kData, L"GPT: Basic Data", L"PQSERVICE"}});
  AddDisk(f, 1, false, 953869,
          {{30000, nullptr, L"Installable File System", L"PQSERVICE2"},
           {900000, nullptr, L"Installable File System", L"DATA"}});
  f.partitionVolumes[{0, 4}].files = {Folder("Windows/"), Folder("Windows/System32/")};
  FoundFile log;
  log.path = "Quorvane.log";
  log.text = std::string("[Quorvane]\r\nold line\xE9=\r\n");
  f.partitionVolumes[{1, 1}].files = {Folder("RyTools/"), log};
  f.letters = {Letter(L"C:", DeviceNumber{7, 0, 4}, L"OS"),
               Letter(L"Q:", DeviceNumber{7, 1, 1}, L"PQSERVICE2"),
               Letter(L"X:", std::nullopt, L"Boot", L"\\Device\\Ramdisk{d9b257fc}")};
  return f;
}

// The profile written and read back: the same profile, or the test fails.
sim::Profile RoundTrip(const MachineFacts& facts) {
  sim::Profile p = ProfileFromFacts(facts, "bench");
  // Every note says what it means in a sentence, with its fact after it.
  for (const auto& note : p.captureNotes) {
    EXPECT_TRUE(!note.text.empty() && std::isupper(static_cast<unsigned char>(note.text[0])) &&
                note.text.back() == '.')
        << note.text;
    EXPECT_FALSE(note.fact.empty()) << note.text;
  }
  sim::Profile back;
  EXPECT_NO_THROW(back = sim::LoadProfile(sim::WriteProfile(p), "bench.json"))
      << sim::WriteProfile(p);
  EXPECT_TRUE(back == p) << sim::WriteProfile(p) << "\n--- read back as ---\n"
                         << sim::WriteProfile(back);
  return p;
}

std::string Notes(const sim::Profile& p) {
  std::string all;
  for (const auto& n : p.captureNotes) all += n.fact + "\n";
  return all;
}

#define EXPECT_NOTE(profile, text)                                                            \
  EXPECT_NE(Notes(profile).find(text), std::string::npos) << "no note with: " << text << "\n" \
                                                          << Notes(profile)

TEST(CaptureProfile, NotebookComesBackWholeWithoutNotes) {
  sim::Profile p = RoundTrip(Notebook());
  EXPECT_TRUE(p.captureNotes.empty()) << Notes(p);
  EXPECT_EQ(p.name, "bench");
  EXPECT_EQ(p.firmware.kind, sim::FirmwareSpec::Kind::Uefi);
  ASSERT_TRUE(p.smbios.has_value());
  EXPECT_EQ(p.smbios->table.size(), 14u);
  EXPECT_EQ(p.smbios->majorVersion, 3);
  ASSERT_EQ(p.disks.size(), 2u);
  const auto& ssd = p.disks[0];
  EXPECT_TRUE(ssd.gpt);
  EXPECT_EQ(ssd.sizeMB, 244198);  // WMI's size, truncated as the inventory truncates
  ASSERT_EQ(ssd.partitions.size(), 5u);
  EXPECT_TRUE(ssd.partitions[1].hidden);  // the MSR: in kernel numbering, not in WMI's list
  EXPECT_FALSE(ssd.partitions[1].label.has_value());
  EXPECT_EQ(ssd.partitions[3].letter, std::optional<std::wstring>(L"C:"));
  EXPECT_EQ(ssd.partitions[3].files.count("Windows/System32/"), 1u);
  const auto& hdd = p.disks[1];
  EXPECT_FALSE(hdd.gpt);
  EXPECT_EQ(hdd.signature, 0x1234ABCEu);
  EXPECT_EQ(hdd.partitions[0].letter, std::optional<std::wstring>(L"Q:"));
  EXPECT_EQ(hdd.partitions[0].files.at("Quorvane.log").text, "[Quorvane]\r\nold line\xE9=\r\n");
  ASSERT_EQ(p.drives.size(), 1u);
  EXPECT_EQ(p.drives[0].letter, L"X:");
  EXPECT_EQ(p.tools.systemDisk, std::optional<int>(0));  // the disk of the ESP
  EXPECT_TRUE(p.faults.inventory.empty());
}

TEST(CaptureProfile, WithoutWmiTheDisksComeFromTheirTablesAndEveryInventoryFails) {
  MachineFacts f = Notebook();
  f.wmi = WmiFacts{};
  f.wmi.failedStep = 3;
  f.wmi.hresult = static_cast<int32_t>(0x80040154);
  f.smbiosRead = false;
  sim::Profile p = RoundTrip(f);
  EXPECT_NOTE(p, "creating the WMI locator failed (0x80040154)");
  EXPECT_NOTE(p, "SMBIOS");
  EXPECT_EQ(p.faults.inventory, std::vector<int>(40, 3));
  EXPECT_FALSE(p.smbios.has_value());
  ASSERT_EQ(p.disks.size(), 2u);
  EXPECT_EQ(p.disks[0].sizeMB, 244198);
  EXPECT_EQ(p.disks[1].signature, 0x1234ABCEu);
  ASSERT_EQ(p.disks[0].partitions.size(), 5u);
  // Without WMI's list, the MSR is still known by its type.
  EXPECT_TRUE(p.disks[0].partitions[1].hidden);
  EXPECT_FALSE(p.disks[0].partitions[2].hidden);
}

TEST(CaptureProfile, RefusedTablesAndDeviceNumbersFallBackWithNotes) {
  MachineFacts f = Notebook();
  f.layouts[0].layout = {{}, 5};
  f.letters[0] = Letter(L"C:", std::nullopt, L"OS", L"\\Device\\HarddiskVolume4");
  f.letters[1] = Letter(L"Q:", std::nullopt, L"PQSERVICE2", L"\\Device\\Harddisk1\\Partition1");
  sim::Profile p = RoundTrip(f);
  // WMI's four partitions in WMI's order: without the MSR, the OS is number 3.
  ASSERT_EQ(p.disks[0].partitions.size(), 4u);
  EXPECT_EQ(p.disks[0].partitions[2].sizeMB, 200000);
  EXPECT_NOTE(p, "partition table of disk 0 could not be read (error 5)");
  EXPECT_NOTE(p, "one too low");
  // C: cannot be traced and becomes a drive; Q:'s target names its partition.
  EXPECT_NOTE(p, "device number of C: could not be read (error 1) and its target");
  EXPECT_EQ(p.disks[1].partitions[0].letter, std::optional<std::wstring>(L"Q:"));
  ASSERT_EQ(p.drives.size(), 2u);
  EXPECT_EQ(p.drives[0].letter, L"C:");
  EXPECT_EQ(p.drives[0].label, std::optional<std::wstring>(L"OS"));
  // The table of the disk with the ESP is unread: no system disk can be told.
  EXPECT_FALSE(p.tools.systemDisk.has_value());
  EXPECT_NOTE(p, "tables of disks 0 could not be read");
}

TEST(CaptureProfile, SizesThatDoNotFitTheSimulatedDiskAreAdjustedWithNotes) {
  MachineFacts f = Notebook();
  // Not a whole MiB; and the hard disk's last partition runs past WMI's size.
  f.layouts[0].layout.value->partitions[0].length += 512;
  f.layouts[1].layout.value->partitions[1].length += 100 * kMiB;
  // A card reader without a medium, with a stale table.
  AddDisk(f, 2, false, 1, {{64, nullptr, L"Installable File System", L"CARD"}});
  f.wmi.disks.back().sizeBytes.reset();
  f.wmi.disks.back().mediaType.reset();
  sim::Profile p = RoundTrip(f);
  EXPECT_EQ(p.disks[0].partitions[0].sizeMB, 261);
  EXPECT_NOTE(p, "is 272630272 bytes, not a whole MiB: written as 261 MiB");
  // 30000 + 900100 + 1 > 953869? No: the whole table must fit, so the largest gives way.
  int64_t total = 0;
  for (const auto& part : p.disks[1].partitions) total += part.sizeMB;
  EXPECT_LE(total + 1, p.disks[1].sizeMB);
  EXPECT_EQ(p.disks[1].sizeMB, 953869);
  EXPECT_FALSE(p.disks[2].media);
  EXPECT_NOTE(p, "disk 2 has no medium");
  EXPECT_NOTE(p, "no MediaType");
}

TEST(CaptureProfile, LettersThatCannotBePartitionLettersBecomeDrives) {
  MachineFacts f = Notebook();
  f.letters = {Letter(L"C:", DeviceNumber{7, 0, 4}, L"OS"),
               Letter(L"D:", DeviceNumber{2, 0, 0}, std::nullopt, L"\\Device\\CdRom0"),
               Letter(L"M:", DeviceNumber{7, 1, 1}, L"PQSERVICE2"),
               Letter(L"Q:", DeviceNumber{7, 1, 1}, L"PQSERVICE2"),
               Letter(L"R:", DeviceNumber{7, 5, 1}, L"STICK")};
  // As under Wine: the device path opens no volume, the letter does. The run maps device paths.
  f.partitionVolumes[{0, 4}] = VolumeFacts{};
  sim::Profile p = RoundTrip(f);
  EXPECT_FALSE(p.disks[0].partitions[3].label.has_value());
  EXPECT_NOTE(p,
              "partition 4 of disk 0 shows no volume by its device path, but one labelled \"OS\"");
  EXPECT_EQ(p.disks[1].partitions[0].letter, std::optional<std::wstring>(L"M:"));
  std::vector<std::wstring> drives;
  for (const auto& d : p.drives) drives.push_back(d.letter);
  EXPECT_EQ(drives, (std::vector<std::wstring>{L"D:", L"Q:", L"R:"}));
  EXPECT_FALSE(p.drives[0].label.has_value());  // an empty optical drive
  // A second letter opens its partition, as M: does: nothing to note.
  EXPECT_EQ(p.drives[1].target, std::optional<std::wstring>(L"\\Device\\Harddisk1\\Partition1"));
  EXPECT_EQ(Notes(p).find("Q:"), std::string::npos) << Notes(p);
  EXPECT_NOTE(p, "R: opens partition 1 of disk 5, which the profile does not hold");
  // No RAM drive: the profile says so, and the run on it has none either.
  EXPECT_FALSE(p.ramDrive);
  EXPECT_NOTE(p, "no drive X:");
}

TEST(CaptureProfile, OddNumberingAndSystemDisks) {
  MachineFacts f = Notebook();
  // The hard disk's table skips number 2; WMI numbers the SSD's partitions out of order.
  f.layouts[1].layout.value->partitions[1].number = 3;
  std::swap(f.wmi.partitions[2].index, f.wmi.partitions[3].index);
  sim::Profile p = RoundTrip(f);
  ASSERT_EQ(p.disks[1].partitions.size(), 3u);
  EXPECT_TRUE(p.disks[1].partitions[1].hidden);
  EXPECT_NOTE(p, "disk 1 has no partition 2");
  // The profile keeps WMI's numbers where they are not the partitions' places.
  std::vector<std::optional<int>> indexes;
  for (const auto& part : p.disks[0].partitions) indexes.push_back(part.wmiIndex);
  EXPECT_EQ(indexes, (std::vector<std::optional<int>>{{}, {}, {}, 3, 2}));
  EXPECT_EQ(sim::WmiIndexes(p.disks[0]), (std::vector<int>{0, -1, 1, 3, 2}));
  // Numbers it cannot keep (one given twice) are its places, with a note.
  f.wmi.partitions[3].index = 3;
  p = RoundTrip(f);
  EXPECT_FALSE(p.disks[0].partitions[4].wmiIndex.has_value());
  EXPECT_NOTE(p, "WMI numbers the partitions of disk 0 out of their order, but not each once");

  // Legacy boot: the disk of the active partition; none at all: the selection fails.
  f = Notebook();
  f.firmware = {0, 1};
  EXPECT_EQ(RoundTrip(f).tools.systemDisk, std::optional<int>(1));
  f.layouts[1].layout.value->partitions[0].active = false;
  sim::Profile none = RoundTrip(f);
  EXPECT_FALSE(none.tools.systemDisk.has_value());
  EXPECT_NOTE(none, "no disk holds an active partition");
  // Two EFI system partitions: the first disk's, said to be a guess.
  f = Notebook();
  f.layouts[1].layout.value->partitions[1].mbrType = 0xEF;
  sim::Profile two = RoundTrip(f);
  EXPECT_EQ(two.tools.systemDisk, std::optional<int>(0));
  EXPECT_NOTE(two, "disks 0, 1 each hold an EFI system partition");
}

TEST(CaptureProfile, WhatWmiCouldNotGiveIsNotedAndTakenFromElsewhere) {
  // The disk list broke off before the hard disk: it still comes from its partition table.
  MachineFacts f = Notebook();
  f.wmi.disks.pop_back();
  f.wmi.disksEnd = static_cast<int32_t>(0x80010108);  // RPC_E_DISCONNECTED
  sim::Profile p = RoundTrip(f);
  ASSERT_EQ(p.disks.size(), 2u);
  EXPECT_EQ(p.disks[1].index, 1);
  EXPECT_FALSE(p.disks[1].gpt);
  EXPECT_EQ(p.disks[1].partitions.size(), 2u);
  EXPECT_EQ(p.disks[1].partitions[0].letter, std::optional<std::wstring>(L"Q:"));
  EXPECT_NOTE(p, "WMI's disk list broke off with 0x80010108 after 1 disk:");
  EXPECT_NOTE(p, "disk 1 is missing from WMI's list");

  // A Signature that is not null but cannot be read either.
  f = Notebook();
  f.wmi.disks[1].signature.reset();
  p = RoundTrip(f);
  EXPECT_FALSE(p.disks[1].gpt);
  EXPECT_NOTE(p, "WMI gives disk 1 a Signature that cannot be read: written as mbr");

  // The partition list broke off, or could not be had: only the MSR stays hidden.
  for (int32_t result : {win::kWbemSTimedOut, static_cast<int32_t>(0x80041001)}) {
    f = Notebook();
    f.wmi.partitions.resize(2);
    f.wmi.partitionsListed = false;
    (result > 0 ? f.wmi.partitionsEnd : f.wmi.partitionsQuery) = result;
    p = RoundTrip(f);
    std::vector<bool> hidden;
    for (const auto& part : p.disks[0].partitions) hidden.push_back(part.hidden);
    EXPECT_EQ(hidden, (std::vector<bool>{false, true, false, false, false}));
    EXPECT_FALSE(p.disks[1].partitions[1].hidden);
    const char* note = result > 0 ? "WMI's partition list broke off with 0x00040004 after 2"
                                  : "WMI's partition list could not be read (0x80041001)";
    EXPECT_NOTE(p, note);
  }
}

TEST(CaptureProfile, ReadOnlyVolumesAreKeptByTheirLetters) {
  MachineFacts f = Notebook();
  f.letters[1].volume.readOnly = true;         // Q:, PQSERVICE2
  f.partitionVolumes[{0, 4}].readOnly = true;  // Windows, C: by its device path
  f.partitionVolumes[{0, 5}].readOnly = true;  // PQSERVICE, no letter
  sim::Profile p = RoundTrip(f);
  EXPECT_EQ(p.faults.readOnly, (std::vector<std::wstring>{L"C:", L"Q:"}));
  EXPECT_NOTE(p, "partition 5 of disk 0 is read-only but has no letter");
}

TEST(CaptureProfile, NameIsTheFileStem) {
  EXPECT_EQ(ProfileNameOf(L"C:\\captures\\bench-7.json"), "bench-7");
  EXPECT_EQ(ProfileNameOf(L"X:notebook.v2.json"), "notebook.v2");
  EXPECT_EQ(ProfileNameOf(L"../out/plain"), "plain");
  EXPECT_EQ(ProfileNameOf(L".hidden"), ".hidden");
}

}  // namespace
}  // namespace quorvane::capture
