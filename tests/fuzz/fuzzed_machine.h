// Fuzz helper: a valid machine built from the fuzzer's bytes (disks, partitions, labels, letters,
// files, firmware, capability records, tool answers and every fault the simulator can inject).
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "base/text.h"
#include "classify/disk_sizes.h"
#include "classify/role_labels.h"
#include "letters/device_path.h"
#include "platform/sim/profile.h"
#include "platform/sim/smbios_table.h"
#include "procedure/rapid_start.h"

namespace quorvane::sim::fuzzing {

// The labels the run looks for, spelled as machines spell them, and some it must pass over.
inline const std::vector<std::wstring> kLabels = {
    kPushButtonLabel, L"Push Button Reset", kEspLabel,          L"esp",
    kRecoveryLabel,   L"Recovery tools",    kPqServiceLabel,    L"pqservice",
    kPqService2Label, kSystemReservedLabel, L"System Reserved", L"OS",
    L"Talvo",         L"Miravel",           L"Rostane Vale",    L"DATA",
    L"PQSERVICE ",    L"MY PUSH BUTTON",    L"Windows",         L"ESP RECOVERY"};
// The files the run and its tools look at, on any volume.
inline const std::vector<std::string> kFolders = {"RecoveryImage/", "RyTools/", "Windows/System32/",
                                                  "RYTOOLS/"};
inline const std::vector<std::string> kTexts = {
    "Quorvane.log",      "NAPP2P_SSDHDD.ini",    "RebuildEnd_CopyFile.cmd",
    "GetSystemPart.txt", "ParseinstallInfo.log", "RyTools/RegisterInstall.cmd"};
// The run's own paths and programs, for the faults.
inline const std::vector<std::wstring> kPaths = {L"X:\\Quorvane.log",
                                                 L"M:\\Quorvane.log",
                                                 L"X:\\NAPP2P_SSDHDD.ini",
                                                 L"X:\\GetSystemPart.ini",
                                                 L"X:\\GetSystemPart.cmd",
                                                 L"X:\\GetSystemPart.txt",
                                                 L"X:\\ParseinstallCmd.cmd",
                                                 L"X:\\ParseinstallInfo.log",
                                                 L"M:\\RyTools\\RegisterInstall.cmd",
                                                 L"M:\\RebuildEnd_CopyFile.cmd",
                                                 L"M:\\RYTOOLS\\Quorvane.log"};
inline const std::vector<std::wstring> kPrograms = {L"diskpart",
                                                    L"Diskpart.exe",
                                                    L"dism.exe",
                                                    L"find",
                                                    L"ReagentC",
                                                    L"xcopy",
                                                    L"X:\\GetSystemPart.cmd",
                                                    L"X:\\ParseinstallCmd.cmd",
                                                    L"M:\\RyTools\\RegisterInstall.cmd",
                                                    L"M:\\RebuildEnd_CopyFile.cmd"};
inline const std::vector<std::wstring> kFaultLetters = {L"M:", L"W:", L"C:", L"D:", L"E:", L"X:"};

class MachineMaker {
 public:
  explicit MachineMaker(FuzzedDataProvider& in) : in_(in) {}

  Profile Make() {
    Profile p;
    p.name = "fuzzed";
    p.start = LocalTime{in_.ConsumeIntegralInRange(2000, 2099), in_.ConsumeIntegralInRange(1, 12),
                        in_.ConsumeIntegralInRange(1, 28),      in_.ConsumeIntegralInRange(0, 23),
                        in_.ConsumeIntegralInRange(0, 59),      in_.ConsumeIntegralInRange(0, 59),
                        in_.ConsumeIntegralInRange(0, 999)};
    MakeFirmware(p.firmware);
    if (in_.ConsumeBool()) p.smbios = MakeSmbios();
    const int disks = in_.ConsumeIntegralInRange(0, 22);
    int index = -1;
    for (int i = 0; i < disks; ++i) {
      index += in_.ConsumeBool() ? 1 : in_.ConsumeIntegralInRange(1, 40);
      if (index > 998) break;
      p.disks.push_back(MakeDisk(index));
    }
    if (p.disks.size() > 1 && in_.ConsumeBool()) std::swap(p.disks.front(), p.disks.back());
    p.drives.push_back(DriveSpec{L"X:",
                                 in_.ConsumeIntegralInRange(0, 15) == 0
                                     ? std::nullopt
                                     : std::optional<std::wstring>(L"Boot"),
                                 {},
                                 {}});
    if (p.drives[0].label) p.drives[0].files = MakeFiles();
    for (int n = in_.ConsumeIntegralInRange(0, 2); n > 0; --n)
      if (auto letter = FreeLetter()) p.drives.push_back(DriveSpec{*letter, MakeLabel(), {}, {}});
    MakeTools(p.tools, static_cast<int>(p.disks.size()));
    MakeFaults(p.faults);
    // Last, so that a shorter input makes the machine it made before: now and then a letter
    // defined on a partition's device path (an earlier run's M:, a second letter), and rarely
    // no RAM drive at all.
    if (in_.ConsumeBool())
      if (auto letter = FreeLetter())
        p.drives.push_back(DriveSpec{*letter,
                                     std::nullopt,
                                     {},
                                     PartitionDevicePath(in_.ConsumeIntegralInRange(0, 3),
                                                         in_.ConsumeIntegralInRange(1, 6))});
    if (in_.ConsumeIntegralInRange(0, 15) == 15) {
      p.drives.erase(p.drives.begin());  // X:, always the first
      p.ramDrive = false;
    }
    return p;
  }

 private:
  std::wstring Text(size_t most) {
    std::wstring text;
    for (unsigned char c : in_.ConsumeRandomLengthString(most)) text += static_cast<wchar_t>(c);
    return text;
  }

  template <typename T>
  const T& Pick(const std::vector<T>& from) {
    return from[in_.ConsumeIntegralInRange<size_t>(0, from.size() - 1)];
  }

  // Sizes at the edges of every limit that decides a wipe, and any other.
  int64_t Size() {
    static const std::vector<int64_t> kEdges = {1,
                                                4095,
                                                4096,
                                                kCacheMinimumMB,
                                                kRapidStartLimitMB - 1,
                                                kRapidStartLimitMB,
                                                30533,
                                                23451,
                                                kSmallSsdLimitMB,
                                                kSmallSsdLimitMB + 1,
                                                kSsdSizedLimitMB,
                                                kSsdSizedLimitMB + 1,
                                                476940,
                                                953869};
    switch (in_.ConsumeIntegralInRange(0, 3)) {
      case 0:
        return in_.ConsumeIntegralInRange<int64_t>(1, int64_t{1} << 40);
      case 1:
        return in_.ConsumeIntegralInRange<int64_t>(1, 2 * kSsdSizedLimitMB);
      default:
        return Pick(kEdges);
    }
  }

  std::optional<std::wstring> MakeLabel() {
    switch (in_.ConsumeIntegralInRange(0, 5)) {
      case 0:
        return std::nullopt;
      case 1:
        return Text(40);
      default:
        return Pick(kLabels);
    }
  }

  std::optional<std::wstring> FreeLetter() {
    const wchar_t letter = static_cast<wchar_t>(L'C' + in_.ConsumeIntegralInRange(0, 23));
    const std::wstring name{letter, L':'};
    if (letter == L'X' || !used_.insert(name).second) return std::nullopt;
    return name;
  }

  std::map<std::string, FileSpec> MakeFiles() {
    std::map<std::string, FileSpec> files;
    for (int n = in_.ConsumeIntegralInRange(0, 3); n > 0; --n) {
      switch (in_.ConsumeIntegralInRange(0, 2)) {
        case 0:
          files[Pick(kFolders)] = FileSpec{FileSpec::Kind::Folder, "", {}};
          break;
        case 1: {
          FileSpec wim{FileSpec::Kind::Wim, "", {}};
          for (int i = in_.ConsumeIntegralInRange(0, 4); i > 0; --i)
            wim.wimImages.push_back(in_.ConsumeBool() ? L"Pro" : Text(20));
          files[in_.ConsumeBool() ? "RecoveryImage/install.wim" : "RecoveryImage/install.swm"] =
              wim;
          break;
        }
        default:
          files[Pick(kTexts)] = FileSpec{FileSpec::Kind::Text, Narrow8(Text(80)), {}};
      }
    }
    return files;
  }

  DiskSpec MakeDisk(int index) {
    DiskSpec d;
    d.index = index;
    d.model = L"Fuzzed disk " + std::to_wstring(index);
    d.deviceId = L"\\\\.\\PHYSICALDRIVE" + std::to_wstring(index);
    static const std::vector<std::wstring> kMedia = {
        L"Fixed hard disk media", L"Fixed hard disk media", L"External hard disk media",
        L"Removable Media", L"Fixed hard disk"};
    d.mediaType = in_.ConsumeIntegralInRange(0, 9) == 0 ? Text(30) : Pick(kMedia);
    d.sizeMB = Size();
    d.media = in_.ConsumeIntegralInRange(0, 15) != 0;
    d.gpt = in_.ConsumeBool();
    d.signature = in_.ConsumeBool() ? DefaultSignature(index)
                                    : in_.ConsumeIntegralInRange<uint32_t>(1, 0xFFFFFFFFu);
    int64_t free = d.sizeMB - 1;  // the first MiB stays free
    for (int n = in_.ConsumeIntegralInRange(0, 8); n > 0 && free > 0; --n) {
      PartitionSpec part;
      part.sizeMB =
          in_.ConsumeBool() ? std::min(free, Size()) : in_.ConsumeIntegralInRange<int64_t>(1, free);
      free -= part.sizeMB;
      part.label = MakeLabel();
      static const std::vector<std::wstring> kTypes = {L"GPT: System", L"GPT: Unknown",
                                                       L"Installable File System", L"Unknown"};
      part.type = in_.ConsumeBool() ? (d.gpt ? L"GPT: Basic Data" : L"Installable File System")
                                    : Pick(kTypes);
      part.hidden = in_.ConsumeIntegralInRange(0, 7) == 0;
      if (in_.ConsumeBool()) part.letter = FreeLetter();
      if (part.label) part.files = MakeFiles();
      d.partitions.push_back(std::move(part));
    }
    return d;
  }

  void MakeFirmware(FirmwareSpec& f) {
    switch (in_.ConsumeIntegralInRange(0, 3)) {
      case 0:
        f = FirmwareSpec{FirmwareSpec::Kind::Uefi, 998};
        break;
      case 1:
        f = FirmwareSpec{FirmwareSpec::Kind::Legacy, 1};
        break;
      case 2:
        f = FirmwareSpec{FirmwareSpec::Kind::Readable, 0};
        break;
      default:
        f = FirmwareSpec{FirmwareSpec::Kind::LastError, in_.ConsumeIntegral<uint32_t>()};
    }
  }

  SmbiosSpec MakeSmbios() {
    SmbiosSpec s;
    if (in_.ConsumeBool()) {
      s.majorVersion = in_.ConsumeIntegral<uint8_t>();
      s.minorVersion = in_.ConsumeIntegral<uint8_t>();
    }
    if (in_.ConsumeIntegralInRange(0, 4) == 0) {
      const std::string raw = in_.ConsumeRandomLengthString(256);
      s.table.assign(raw.begin(), raw.end());
      return s;
    }
    SmbiosCapabilityRecord record;
    static const std::vector<std::pair<uint8_t, uint8_t>> kRevisions = {
        {2, 5}, {2, 6}, {2, 15}, {2, 16}, {3, 0}};
    std::tie(record.revisionMajor, record.revisionMinor) =
        in_.ConsumeBool() ? Pick(kRevisions)
                          : std::pair<uint8_t, uint8_t>{in_.ConsumeIntegral<uint8_t>(),
                                                        in_.ConsumeIntegral<uint8_t>()};
    record.handle = in_.ConsumeIntegral<uint16_t>();
    for (int n = in_.ConsumeIntegralInRange(0, 8); n > 0; --n) {
      const auto id = in_.ConsumeBool() ? in_.ConsumeIntegralInRange<uint8_t>(1, 4)
                                        : in_.ConsumeIntegral<uint8_t>();
      const auto parameter = in_.ConsumeBool() ? in_.ConsumeIntegralInRange<uint16_t>(0, 1)
                                               : in_.ConsumeIntegral<uint16_t>();
      record.entries.emplace_back(id, parameter);
    }
    s.table = BuildSmbiosTable(record);
    return s;
  }

  void MakeTools(ToolsSpec& t, int disks) {
    switch (in_.ConsumeIntegralInRange(0, 3)) {
      case 0:
        t.systemDisk.reset();
        break;
      case 1:
        t.systemDisk = in_.ConsumeIntegralInRange(0, 998);
        break;
      default:
        t.systemDisk = in_.ConsumeIntegralInRange(0, std::max(disks, 1) - 1);
    }
    if (in_.ConsumeIntegralInRange(0, 3) == 0)
      t.systemDiskReport = in_.ConsumeRandomLengthString(200);
    for (const char* image : {"M:\\RecoveryImage\\install.wim", "M:\\RecoveryImage\\install.swm"})
      if (in_.ConsumeIntegralInRange(0, 3) == 0)
        t.dismOutput[FromUtf8(image)] = "Index : " + in_.ConsumeRandomLengthString(12) + "\n" +
                                        in_.ConsumeRandomLengthString(120);
    static const std::vector<uint32_t> kDurations = {0, 0, 1000, 2000, 3500};
    t.durationMs = in_.ConsumeBool() ? Pick(kDurations) : in_.ConsumeIntegralInRange(0, 100000);
  }

  void MakeFaults(FaultsSpec& f) {
    f.comInitFails = in_.ConsumeIntegralInRange(0, 7) == 0;
    f.smbiosFetchFails = in_.ConsumeIntegralInRange(0, 7) == 0;
    static const std::vector<int> kCodes = {0, 2, 3, 4, 5, 9};
    if (in_.ConsumeIntegralInRange(0, 3) == 0)
      for (int n = in_.ConsumeIntegralInRange(0, 45); n > 0; --n)
        f.inventory.push_back(Pick(kCodes));
    for (const auto& letter : kFaultLetters) {
      if (in_.ConsumeIntegralInRange(0, 11) == 0)
        f.mountFailures[letter] = in_.ConsumeBool() ? -1 : in_.ConsumeIntegralInRange(0, 12);
      if (in_.ConsumeIntegralInRange(0, 11) == 0) f.readOnly.push_back(letter);
    }
    for (const auto& path : kPaths)
      if (in_.ConsumeIntegralInRange(0, 15) == 0) f.cannotCreate.push_back(path);
    for (const auto& program : kPrograms)
      if (in_.ConsumeIntegralInRange(0, 15) == 0) f.cannotStart.push_back(program);
  }

  FuzzedDataProvider& in_;
  std::set<std::wstring> used_;  // letters given out
};

}  // namespace quorvane::sim::fuzzing
