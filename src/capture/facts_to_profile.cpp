// Facts to profile: disks from WMI's rows and the partition tables, letters traced to partitions,
// the files found, firmware, SMBIOS and the system disk.
#include "capture/facts_to_profile.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "base/text.h"
#include "capture/capture_files.h"
#include "capture/capture_notes.h"
#include "capture/kernel_partitions.h"
#include "capture/system_disk_guess.h"
#include "capture/wim_images.h"
#include "inventory/disk_inventory.h"
#include "inventory/wmi_paths.h"
#include "letters/device_path.h"
#include "run/layout_job.h"

namespace quorvane::capture {
namespace {

using sim::DiskSpec;
using sim::DriveSpec;
using sim::FileSpec;
using sim::PartitionSpec;

constexpr int64_t kMiB = 1048576;
constexpr wchar_t kRamDrive[] = L"X:";
// Volumes of hard disks, "\Device\HarddiskVolume3" or "\Device\Harddisk0\Partition3".
constexpr wchar_t kHardDiskDevices[] = L"\\DEVICE\\HARDDISK";

std::string DiskText(int disk) { return "disk " + std::to_string(disk); }
std::string PartText(int disk, int number) {
  return "partition " + std::to_string(number) + " of " + DiskText(disk);
}

// A sentence that starts with a name ("partition 4 of disk 0 ...").
std::string Capital(std::string text) {
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 32);
  return text;
}

// "1 disk", "2 disks".
std::string Count(size_t n, const std::string& thing) {
  return std::to_string(n) + " " + thing + (n == 1 ? "" : "s");
}

std::string Hex32(int32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<uint32_t>(value));
  return text;
}

std::string WmiStepText(int step) {
  switch (step) {
    case 2:
      return "setting COM security";
    case 3:
      return "creating the WMI locator";
    case 4:
      return "connecting to root\\CIMV2";
    case 9:
      return "setting the proxy blanket";
    default:
      return "the disk query";
  }
}

sim::FirmwareSpec FirmwareOf(const FirmwareProbe& probe) {
  sim::FirmwareSpec f;
  if (probe.returned != 0) {
    f.kind = sim::FirmwareSpec::Kind::Readable;
    f.lastError = 0;
  } else if (probe.lastError == win::kErrorNoAccess) {
    f.kind = sim::FirmwareSpec::Kind::Uefi;
  } else if (probe.lastError == win::kErrorInvalidFunction) {
    f.kind = sim::FirmwareSpec::Kind::Legacy;
  } else {
    f.kind = sim::FirmwareSpec::Kind::LastError;
  }
  f.lastError = probe.returned != 0 ? 0 : probe.lastError;
  return f;
}

// The files of a volume as the simulator keeps them; `where` names the volume in notes.
std::map<std::string, FileSpec> FilesOf(const std::vector<FoundFile>& found,
                                        const std::string& where, Notes& notes) {
  std::map<std::string, FileSpec> files;
  for (const auto& f : found) {
    FileSpec entry;
    const std::string what = f.path + " on " + where;
    if (f.folder) {
      entry.kind = FileSpec::Kind::Folder;
    } else if (f.image && f.readError == 0) {
      WimImages images = ReadWimImages(f.imageHeader, f.imageXml);
      if (!images.isImage) {
        AddGuess(notes,
                 "The recovery image " + what +
                     " cannot be read as an image: the profile holds it empty, so dism finds "
                     "no image in it, which on the machine it may.",
                 what + ": " + images.notes.front() +
                     ": written as an empty file, in which dism finds no image");
      } else {
        for (const auto& note : images.notes)
          AddGuess(notes,
                   "The recovery image " + what +
                       " could not be read whole: the image names dism lists, and so the index "
                       "the run registers, may differ.",
                   what + ": " + note);
        entry.kind = FileSpec::Kind::Wim;
        entry.wimImages = images.names;
      }
    } else if (f.text) {
      entry.text = *f.text;
    } else if (f.tooLarge) {
      AddGuess(notes,
               "The file " + what +
                   " is too large for a profile, which holds it empty: a run that reads it may "
                   "differ.",
               what + " is larger than a profile should hold: written as an empty file");
    } else if (f.readError != 0) {
      AddGuess(notes,
               "The file " + what +
                   " could not be read, so the profile holds it empty: a run that reads it may "
                   "differ.",
               what + " could not be read (error " + std::to_string(f.readError) +
                   "): written as an empty file");
    }
    files[f.path] = std::move(entry);
  }
  return files;
}

void FillVolume(const VolumeFacts* volume, const std::string& where,
                std::optional<std::wstring>& label, std::map<std::string, FileSpec>& files,
                Notes& notes) {
  label.reset();
  if (volume == nullptr || !volume->label) return;
  label = volume->label;
  files = FilesOf(volume->files, where, notes);
}

// Whole MiB as the simulator keeps them. A length that is not a whole MiB is rounded up: the
// inventory reads (EndingAddress − StartingAddress) / 1 MiB, which is then the same on both.
int64_t PartitionMB(int disk, const KernelPartition& p, Notes& notes) {
  if (p.gap) return 1;
  if (p.length <= 0) {
    AddGuess(notes,
             "The size of " + PartText(disk, p.number) +
                 " is unknown: the profile holds 1 MiB, so the size the run logs may differ.",
             PartText(disk, p.number) + " has no readable length: written as 1 MiB");
    return 1;
  }
  const int64_t mb = (p.length + kMiB - 1) / kMiB;
  if (p.length % kMiB != 0) {
    AddFact(notes,
            "The size of " + PartText(disk, p.number) +
                " is not a whole MiB: the profile rounds it up, and the run reads the same size "
                "from both.",
            PartText(disk, p.number) + " is " + std::to_string(p.length) +
                " bytes, not a whole MiB: written as " + std::to_string(mb) +
                " MiB, of which the inventory reads the same " + std::to_string(mb - 1) + " MB");
  }
  return mb;
}

// The simulated disk lays its partitions out from 1 MiB on, one after the other. When the
// partitions do not fit the size WMI gives (which may leave the disk's last cylinder out), the
// largest give way: their sizes are only logged, the disk's size decides the run's roads.
void FitPartitions(DiskSpec& disk, Notes& notes) {
  int64_t total = 0;
  for (const auto& p : disk.partitions) total += p.sizeMB;
  int64_t excess = total + 1 - disk.sizeMB;
  if (excess <= 0) return;
  if (!disk.media) {
    disk.sizeMB = total + 1;
    return;
  }
  const std::string rule = "the partitions of " + DiskText(disk.index) + " (" +
                           std::to_string(total) + " MiB) do not fit its " +
                           std::to_string(disk.sizeMB) + " MiB with the first MiB reserved";
  while (excess > 0) {
    auto largest =
        std::max_element(disk.partitions.begin(), disk.partitions.end(),
                         [](const auto& a, const auto& b) { return a.sizeMB < b.sizeMB; });
    if (largest == disk.partitions.end() || largest->sizeMB <= 1) {
      AddGuess(notes,
               "The partitions of " + DiskText(disk.index) +
                   " add up to more than the disk's size as WMI gives it: the profile makes the "
                   "disk larger, so the size the run reads may differ.",
               rule + ": the disk is written as " + std::to_string(disk.sizeMB + excess) + " MiB");
      disk.sizeMB += excess;
      return;
    }
    const int64_t cut = std::min(excess, largest->sizeMB - 1);
    const std::string number = std::to_string(largest - disk.partitions.begin() + 1);
    AddGuess(notes,
             "The partitions of " + DiskText(disk.index) +
                 " add up to more than the disk's size as WMI gives it: the profile makes "
                 "partition " +
                 number + " " + std::to_string(cut) +
                 " MiB smaller, so the size the run logs for it may differ a little.",
             rule + ": partition " + number + " is written " + std::to_string(cut) +
                 " MiB smaller, as " + std::to_string(largest->sizeMB - cut) + " MiB");
    largest->sizeMB -= cut;
    excess -= cut;
  }
}

const DiskLayoutFacts* LayoutOf(const MachineFacts& facts, int disk) {
  for (const auto& l : facts.layouts)
    if (l.disk == disk) return &l;
  return nullptr;
}

void AddPartitions(const MachineFacts& facts, DiskSpec& disk, Notes& notes) {
  const DiskLayoutFacts* layout = LayoutOf(facts, disk.index);
  Outcome<DriveLayout> unread;
  DiskPartitions parts =
      KernelPartitionsOf(disk.index, layout ? layout->layout : unread, facts.wmi);
  notes.insert(notes.end(), parts.notes.begin(), parts.notes.end());
  int place = 0;  // among the partitions WMI lists
  for (const auto& k : parts.partitions) {
    PartitionSpec p;
    p.sizeMB = PartitionMB(disk.index, k, notes);
    p.hidden = !k.listed || k.gap;
    if (!p.hidden && parts.wmiIndexesKept && *k.wmiIndex != place) {
      p.wmiIndex = static_cast<int>(*k.wmiIndex);
    }
    place += p.hidden ? 0 : 1;
    if (p.hidden) {
      p.type = disk.gpt ? L"GPT: Unknown" : L"Unknown";
    } else if (k.wmiType) {
      p.type = *k.wmiType;
    } else if (facts.wmi.partitionsListed) {
      AddFact(notes,
              "WMI gives " + PartText(disk.index, k.number) +
                  " no type: the run reads it as empty too.",
              "WMI gives " + PartText(disk.index, k.number) + " no Type: written as \"\"");
    } else {
      p.type = disk.gpt ? L"GPT: Basic Data" : L"Installable File System";
    }
    auto volume = facts.partitionVolumes.find({disk.index, k.number});
    FillVolume(volume == facts.partitionVolumes.end() || k.gap ? nullptr : &volume->second,
               PartText(disk.index, k.number), p.label, p.files, notes);
    disk.partitions.push_back(std::move(p));
  }
  FitPartitions(disk, notes);
}

DiskSpec DiskFromRow(const WmiDiskRow& row, const MachineFacts& facts, Notes& notes) {
  DiskSpec d;
  d.index = static_cast<int>(*row.index);
  const std::string name = DiskText(d.index);
  // The run keeps a field it cannot read empty.
  if (!row.caption)
    AddFact(notes, "WMI gives " + name + " no model name: the run logs it empty too.",
            "WMI gives " + name + " no Caption: written as \"\"");
  d.model = row.caption.value_or(L"");
  if (!row.deviceId)
    AddFact(notes, "WMI gives " + name + " no device name: the run logs it empty too.",
            "WMI gives " + name + " no DeviceID: written as \"\"");
  d.deviceId = row.deviceId.value_or(L"");
  if (!row.mediaType)
    AddFact(notes,
            "WMI gives " + name +
                " no media type: the run does not count a disk without one, nor does the profile.",
            "WMI gives " + name + " no MediaType: written as \"\"");
  d.mediaType = row.mediaType.value_or(L"");
  d.gpt = row.signatureNull;
  // The run tells only a null Signature from any other; a value that cannot be read is not null.
  if (!row.signatureNull && !row.signature)
    AddFact(notes,
            "WMI gives " + name +
                " a signature that cannot be read: the run takes it for an MBR disk, as the "
                "profile does.",
            "WMI gives " + name + " a Signature that cannot be read: written as mbr");
  d.signature = sim::DefaultSignature(d.index);
  if (!d.gpt && row.signature && (*row.signature & 0xFFFFFFFF) != 0)
    d.signature = static_cast<uint32_t>(*row.signature);
  const DiskLayoutFacts* layout = LayoutOf(facts, d.index);
  const auto style =
      layout && layout->layout.value ? layout->layout.value->style : DriveLayout::Style::Raw;
  if (style != DriveLayout::Style::Raw && (style == DriveLayout::Style::Gpt) != d.gpt) {
    const std::string seen = d.gpt ? "gpt" : "mbr";
    AddFact(notes,
            "The partition table of " + name +
                " and WMI disagree on its style: the run goes by "
                "WMI, and so does the profile.",
            name + " is " + (d.gpt ? "mbr" : "gpt") + " by its partition table, " + seen +
                " by WMI's Signature: written as the run sees it, " + seen);
  }
  if (!row.sizeBytes) {
    d.media = false;
    const auto bytes =
        layout && layout->layout.value ? layout->layout.value->diskBytes : std::nullopt;
    d.sizeMB = std::max<int64_t>(1, bytes ? *bytes / kMiB : 1);
    AddFact(notes,
            "Disk " + std::to_string(d.index) +
                " holds no medium (a card reader, say): the run does not see its size, so the "
                "size the profile holds does not matter.",
            name +
                " has no medium (WMI's Size is null): its size, which the run does not see, "
                "is written as " +
                std::to_string(d.sizeMB) + " MiB");
  } else {
    // The size the run reads: whole MB, truncated as the inventory truncates.
    d.sizeMB = BytesToMB(*row.sizeBytes);
    if (d.sizeMB < 1) {
      AddGuess(notes,
               "WMI gives " + name +
                   " a size under 1 MiB: the profile holds 1 MiB, so the size the run reads may "
                   "differ.",
               "WMI gives " + name + " a Size of " + std::to_string(*row.sizeBytes) +
                   " bytes: written as 1 MiB");
      d.sizeMB = 1;
    }
  }
  return d;
}

DiskSpec DiskFromLayout(const DiskLayoutFacts& layout, Notes& notes) {
  DiskSpec d;
  d.index = layout.disk;
  d.model = L"";
  d.deviceId = L"\\\\.\\PHYSICALDRIVE" + std::to_wstring(d.index);
  d.signature = sim::DefaultSignature(d.index);
  const DriveLayout* table = layout.layout.value ? &*layout.layout.value : nullptr;
  d.gpt = !table || table->style != DriveLayout::Style::Mbr;
  if (table && !d.gpt && table->mbrSignature != 0) d.signature = table->mbrSignature;
  const auto bytes = table ? table->diskBytes : std::nullopt;
  d.sizeMB = std::max<int64_t>(1, bytes ? *bytes / kMiB : 1);
  if (!bytes)
    AddGuess(notes,
             "The size of " + DiskText(d.index) +
                 " could not be read: the profile holds 1 MiB, so the size the run reads, and "
                 "the road it takes by it, may differ.",
             "the size of " + DiskText(d.index) + " could not be read: written as 1 MiB");
  return d;
}

std::vector<DiskSpec> Disks(const MachineFacts& facts, Notes& notes) {
  std::vector<DiskSpec> disks;
  std::set<int> seen;
  const bool brokeOff = facts.wmi.disksEnd != win::kSFalse;
  if (facts.wmi.failedStep == 0) {
    if (facts.wmi.disks.empty() && !brokeOff)
      AddFact(notes, "WMI lists no disk at all: the run finds none either.", "WMI lists no disk");
    for (const auto& row : facts.wmi.disks) {
      if (!row.index || *row.index < 0 || *row.index >= kEmptyIndex) {
        AddGuess(notes,
                 "WMI lists a disk without a usable number: the profile leaves it out, but the "
                 "run may count it.",
                 "WMI lists a disk without a usable Index (" +
                     (row.index ? std::to_string(*row.index) : std::string("unreadable")) +
                     "): left out");
        continue;
      }
      if (!seen.insert(static_cast<int>(*row.index)).second) {
        const std::string twice = DiskText(static_cast<int>(*row.index));
        AddGuess(notes,
                 "WMI lists " + twice +
                     " twice: the profile holds it once, but the run may "
                     "count it twice.",
                 "WMI lists " + twice + " twice: the second is left out");
        continue;
      }
      disks.push_back(DiskFromRow(row, facts, notes));
      if (row.partitions) {
        int64_t rows = 0;
        for (const auto& p : facts.wmi.partitions) rows += p.diskIndex == row.index ? 1 : 0;
        if (facts.wmi.partitionsListed && rows != *row.partitions)
          AddGuess(notes,
                   "WMI counts more or fewer partitions on " + DiskText(disks.back().index) +
                       " than it lists: the profile counts the listed ones, so the count the "
                       "run logs may differ.",
                   "WMI counts " + std::to_string(*row.partitions) + " partitions on " +
                       DiskText(disks.back().index) + " but lists " + std::to_string(rows) +
                       ": the profile's count is the listed ones");
      }
    }
    if (brokeOff) {
      AddGuess(notes,
               "WMI's list of disks broke off: the disks after it come from their partition "
               "tables, and the run may list others.",
               "WMI's disk list broke off with " + Hex32(facts.wmi.disksEnd) + " after " +
                   Count(facts.wmi.disks.size(), "disk") +
                   ": every other disk that opens is taken from its partition table");
      for (const auto& layout : facts.layouts) {
        if (seen.count(layout.disk)) continue;
        AddGuess(notes,
                 "The profile holds " + DiskText(layout.disk) +
                     ", which WMI's broken list left out, as a fixed disk without a model name.",
                 DiskText(layout.disk) +
                     " is missing from WMI's list: written as a fixed disk without a model");
        disks.push_back(DiskFromLayout(layout, notes));
      }
    }
  } else {
    for (const auto& layout : facts.layouts) disks.push_back(DiskFromLayout(layout, notes));
  }
  for (auto& d : disks) AddPartitions(facts, d, notes);
  return disks;
}

// The partition a letter opens: by its device number, else by a target the run itself would
// have mapped (\Device\HarddiskD\PartitionP).
std::optional<DevicePathNumbers> PartitionOfLetter(const LetterFacts& l, Notes& notes) {
  if (l.number.value) {
    const DeviceNumber& n = *l.number.value;
    if (n.deviceType != kFileDeviceDisk || n.partition == 0) return std::nullopt;
    return DevicePathNumbers{static_cast<int>(n.disk), static_cast<int>(n.partition)};
  }
  auto numbers = l.target ? ParsePartitionDevicePath(*l.target) : std::nullopt;
  const std::string letter = ToUtf8(l.letter);
  const std::string target = l.target ? "\"" + ToUtf8(*l.target) + "\"" : "nothing";
  if (numbers) {
    AddFact(notes,
            "The partition behind " + letter +
                " was told by the target it is defined on, as its device number could not be "
                "read.",
            "the device number of " + letter + " could not be read (error " +
                std::to_string(l.number.error) + "): its target " + target +
                " names the partition");
  } else if (l.target && StartsWith(ToUpperAscii(*l.target), kHardDiskDevices)) {
    // A RAM drive, an optical drive or a floppy is a drive of its own anyway.
    AddGuess(notes,
             letter +
                 " is on a hard disk, but on which partition could not be told: the profile "
                 "holds it as a drive of its own, which the run's inventory would not list.",
             "the device number of " + letter + " could not be read (error " +
                 std::to_string(l.number.error) + ") and its target " + target +
                 " names no partition: written as a drive of its own");
  }
  return numbers;
}

PartitionSpec* FindPartition(std::vector<DiskSpec>& disks, const DevicePathNumbers& where) {
  for (auto& d : disks) {
    if (d.index != where.disk) continue;
    if (where.partition < 1 || static_cast<size_t>(where.partition) > d.partitions.size())
      return nullptr;
    return &d.partitions[static_cast<size_t>(where.partition) - 1];
  }
  return nullptr;
}

void PlaceLetters(const MachineFacts& facts, sim::Profile& profile, Notes& notes) {
  bool hasRamDrive = false;
  for (const auto& l : facts.letters) {
    const std::string letter = ToUtf8(l.letter);
    auto where = PartitionOfLetter(l, notes);
    PartitionSpec* partition = where ? FindPartition(profile.disks, *where) : nullptr;
    // A letter defined on a partition's device path (an earlier run's M:, say) keeps that target.
    const auto defined = l.target ? ParsePartitionDevicePath(*l.target) : std::nullopt;
    if (where && l.letter == kRamDrive) {
      AddGuess(notes,
               "X: opens " + PartText(where->disk, where->partition) +
                   " here, not a RAM drive: the profile holds X: as a drive of its own, which "
                   "the run's inventory would not list.",
               letter + " opens " + PartText(where->disk, where->partition) +
                   ", but X: is the RAM drive: written as a drive of its own");
    } else if (partition != nullptr && !partition->letter) {
      partition->letter = l.letter;
      // The run reaches partitions by their device paths: what those show is what it finds.
      if (!partition->label && l.volume.label) {
        AddFact(notes,
                Capital(PartText(where->disk, where->partition)) + " shows a volume through " +
                    letter +
                    " but none through its device path, which the run reads: the profile "
                    "holds it without a file system.",
                PartText(where->disk, where->partition) +
                    " shows no volume by its device path, but one labelled \"" +
                    ToUtf8(*l.volume.label) + "\" through " + letter +
                    ": written without a file system, as the run's own letters find it");
      }
      continue;
    } else if (partition != nullptr || defined) {
      // A second letter of a partition, or one defined on a partition's device path: it opens
      // that partition, so a run that defines it there again changes nothing.
      const DevicePathNumbers on = defined ? *defined : *where;
      if (FindPartition(profile.disks, on) == nullptr) {
        AddGuess(notes,
                 letter + " is defined on " + PartText(on.disk, on.partition) +
                     ", which the profile does not hold: the run finds no volume through it, "
                     "which it may on the machine.",
                 letter + " opens " + PartText(on.disk, on.partition) +
                     ", which the profile does not hold: written with that target, without a "
                     "volume");
      }
      DriveSpec drive;
      drive.letter = l.letter;
      drive.label.reset();
      drive.target = PartitionDevicePath(on.disk, on.partition);
      profile.drives.push_back(std::move(drive));
      continue;
    } else if (where) {
      AddGuess(notes,
               letter + " opens " + PartText(where->disk, where->partition) +
                   ", which the profile does not hold: the profile keeps it as a drive of its "
                   "own, which the run's inventory would not list.",
               letter + " opens " + PartText(where->disk, where->partition) +
                   ", which the profile does not hold: written as a drive of its own");
    }
    DriveSpec drive;
    drive.letter = l.letter;
    FillVolume(&l.volume, letter, drive.label, drive.files, notes);
    hasRamDrive = hasRamDrive || l.letter == kRamDrive;
    profile.drives.push_back(std::move(drive));
  }
  if (!hasRamDrive) {
    profile.ramDrive = false;
    AddFact(notes,
            "There is no drive X: (WinPE's RAM drive): the real run cannot write its log there, "
            "and a what-if warns of it.",
            "no drive X: (the RAM drive): written as \"ramDrive\": false");
  }
}

// Volumes that say they are read-only: the profile's list holds the letters they are reached by.
void MarkReadOnly(const MachineFacts& facts, sim::Profile& profile, Notes& notes) {
  std::set<std::wstring> letters;
  for (const auto& l : facts.letters)
    if (l.volume.readOnly) letters.insert(l.letter);
  for (const auto& disk : profile.disks) {
    for (size_t i = 0; i < disk.partitions.size(); ++i) {
      const int number = static_cast<int>(i) + 1;
      auto volume = facts.partitionVolumes.find({disk.index, number});
      if (volume == facts.partitionVolumes.end() || !volume->second.readOnly) continue;
      const auto& letter = disk.partitions[i].letter;
      if (letter) {
        letters.insert(*letter);
      } else {
        AddGuess(notes,
                 Capital(PartText(disk.index, number)) +
                     " is read-only but has no letter to mark it by: the profile holds it "
                     "writable, so a run that writes there through a letter it gives it may "
                     "fail on the machine.",
                 PartText(disk.index, number) +
                     " is read-only but has no letter, and the profile keeps read-only volumes "
                     "by letter: written as writable through any letter the run gives it");
      }
    }
  }
  profile.faults.readOnly.assign(letters.begin(), letters.end());
}

std::string StartText(const LocalTime& t) {
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

}  // namespace

sim::Profile ProfileFromFacts(const MachineFacts& facts, const std::string& name) {
  sim::Profile p;
  Notes notes;
  p.name = name;
  p.start = facts.start;
  p.firmware = FirmwareOf(facts.firmware);

  if (facts.smbiosRead) {
    sim::SmbiosSpec s;
    const size_t size = std::min<size_t>(facts.smbios.DataSize, facts.smbios.SMBiosData.size());
    s.table.assign(facts.smbios.SMBiosData.begin(), facts.smbios.SMBiosData.begin() + size);
    s.majorVersion = facts.smbios.SmbiosMajorVersion;
    s.minorVersion = facts.smbios.SmbiosMinorVersion;
    p.smbios = std::move(s);
  } else {
    AddFact(notes,
            "The SMBIOS table could not be read through WMI: the run cannot read it either, so "
            "it decides rapid start as on a machine without the table.",
            "the raw SMBIOS table could not be read through WMI: written without one, as the run "
            "finds it");
  }

  if (facts.wmi.failedStep != 0) {
    AddFact(notes,
            "WMI could not be used (is WinPE-WMI in the image?): every disk inventory of the "
            "run fails the same way, with code " +
                std::to_string(facts.wmi.failedStep) + " in the log.",
            "WMI could not be used: " + WmiStepText(facts.wmi.failedStep) + " failed (" +
                Hex32(facts.wmi.hresult) +
                "): the disks are taken from their partition tables, and every inventory "
                "attempt of the run fails with code " +
                std::to_string(facts.wmi.failedStep));
    // The first inventory and the refresh each try as often.
    p.faults.inventory.assign(2 * kInventoryAttempts, facts.wmi.failedStep);
  } else if (!facts.wmi.partitionsListed) {
    const WmiFacts& wmi = facts.wmi;
    AddGuess(notes,
             "WMI's list of partitions could not be read whole: every partition but an MSR is "
             "taken as one WMI lists, which the run may find otherwise.",
             (win::Succeeded(wmi.partitionsQuery)
                  ? "WMI's partition list broke off with " + Hex32(wmi.partitionsEnd) + " after " +
                        Count(wmi.partitions.size(), "partition")
                  : "WMI's partition list could not be read (" + Hex32(wmi.partitionsQuery) + ")") +
                 ": every partition it does not list but an MSR is taken as one WMI lists");
  }
  p.disks = Disks(facts, notes);
  PlaceLetters(facts, p, notes);
  MarkReadOnly(facts, p, notes);
  p.tools.systemDisk = GuessSystemDisk(facts, notes);

  p.captureNotes = std::move(notes);
  p.description = std::string(kCapturedBy) + StartText(facts.start) + ": " + CaptureCounts(p);
  return p;
}

}  // namespace quorvane::capture
