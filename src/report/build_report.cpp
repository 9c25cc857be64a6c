// Turns a finished simulated run into its report: what the run logged, mapped, ran and changed.
#include "report/build_report.h"

#include <algorithm>
#include <set>

#include "base/text.h"
#include "base/utf8_path.h"
#include "letters/device_path.h"
#include "procedure/layout_sequence.h"
#include "report/changes.h"
#include "report/explanations.h"
#include "report/logged_lines.h"
#include "report/role_stories.h"
#include "report/sight.h"
#include "report/warnings.h"
#include "run/run_log.h"

namespace quorvane::report {
namespace {

namespace fs = std::filesystem;
using sim::SimPlatform;

std::string U8(const std::wstring& text) { return ToUtf8(text); }

DiskReport DiskOf(const sim::DiskSpec& disk) {
  DiskReport report;
  report.index = disk.index;
  report.model = U8(disk.model);
  report.style = disk.gpt ? "gpt" : "mbr";
  report.sizeMB = disk.sizeMB;
  report.media = disk.media;
  report.mediaType = U8(disk.mediaType);
  const std::vector<int> wmiIndexes = sim::WmiIndexes(disk);
  for (size_t i = 0; i < disk.partitions.size(); ++i) {
    const auto& part = disk.partitions[i];
    PartitionReport p;
    p.sizeMB = part.sizeMB;
    if (part.label) p.label = U8(*part.label);
    p.type = U8(part.type);
    p.hidden = part.hidden;
    p.wmiIndex = wmiIndexes[i];
    report.partitions.push_back(std::move(p));
  }
  return report;
}

DiskReport* FindDisk(std::vector<DiskReport>& disks, int index) {
  for (auto& disk : disks)
    if (disk.index == index) return &disk;
  return nullptr;
}

PartitionReport* FindPartition(std::vector<DiskReport>& disks, int disk, int number) {
  DiskReport* found = FindDisk(disks, disk);
  if (found == nullptr || number < 1 || static_cast<size_t>(number) > found->partitions.size())
    return nullptr;
  return &found->partitions[static_cast<size_t>(number) - 1];
}

// A letter onto its partition in `disks`, or into `others` when it names none.
void PlaceLetter(std::vector<DiskReport>& disks, std::vector<LetterReport>& others,
                 const LetterReport& letter) {
  if (auto place = ParsePartitionDevicePath(FromUtf8(letter.target))) {
    if (PartitionReport* part = FindPartition(disks, place->disk, place->partition)) {
      part->letters.push_back(letter.letter);
      return;
    }
  }
  others.push_back(letter);
}

void LettersAtStart(const sim::Profile& loaded, RunReport& report) {
  for (const auto& disk : loaded.disks) {
    for (size_t i = 0; i < disk.partitions.size(); ++i) {
      const auto& letter = disk.partitions[i].letter;
      if (!letter) continue;
      const std::wstring target = PartitionDevicePath(disk.index, static_cast<int>(i) + 1);
      const auto& label = disk.partitions[i].label;
      PlaceLetter(report.disksBefore, report.otherLettersBefore,
                  LetterReport{U8(*letter), U8(target),
                               label ? VolumeNote{VolumeNote::Kind::Label, U8(*label)}
                                     : VolumeNote{VolumeNote::Kind::NoFileSystem, ""}});
    }
  }
  for (const auto& drive : loaded.drives) {
    if (drive.target) {
      // A second letter of a partition, or one an earlier run defined: it opens the partition.
      const PartitionReport* part = nullptr;
      if (auto place = ParsePartitionDevicePath(*drive.target))
        part = FindPartition(report.disksBefore, place->disk, place->partition);
      VolumeNote note;
      if (part != nullptr)
        note = part->label ? VolumeNote{VolumeNote::Kind::Label, *part->label}
                           : VolumeNote{VolumeNote::Kind::NoFileSystem, ""};
      PlaceLetter(report.disksBefore, report.otherLettersBefore,
                  LetterReport{U8(drive.letter), U8(*drive.target), note});
      continue;
    }
    report.otherLettersBefore.push_back(
        LetterReport{U8(drive.letter), "volume:" + U8(drive.letter),
                     NoteOf(SimPlatform::Volume{true, drive.label, {}})});
  }
  for (auto& disk : report.disksBefore)
    for (auto& part : disk.partitions) std::sort(part.letters.begin(), part.letters.end());
}

void Letters(const SimPlatform& machine, RunReport& report) {
  for (const auto& letter : machine.DosDevices().Letters()) {
    const std::wstring target = *machine.DosDevices().InForce(letter);
    report.letters.push_back(
        LetterReport{U8(letter), U8(target), NoteOf(machine.VolumeOfTarget(target))});
  }
  for (const auto& letter : report.letters)
    PlaceLetter(report.disksAfter, report.otherLettersAfter, letter);
}

void Roles(const SimPlatform& machine, const CLayoutJob& job, RunReport& report) {
  const std::pair<const char*, const RoleSlot*> slots[] = {
      {kRoleNames[0], &job.m_PBRInfo}, {kRoleNames[1], &job.m_SYSInfo},
      {kRoleNames[2], &job.m_OSInfo},  {kRoleNames[3], &job.m_SSDInfo},
      {kRoleNames[4], &job.m_HDDInfo}, {kRoleNames[5], &job.m_RecoveryInfo}};
  for (const auto& [name, slot] : slots) {
    RoleReport role;
    role.name = name;
    role.found = slot->bFound;
    role.disk = slot->nDisk;
    role.partition = slot->nPartition;
    role.volume =
        NoteOf(machine.VolumeOfTarget(PartitionDevicePath(slot->nDisk, slot->nPartition)));
    report.roles.push_back(std::move(role));
  }
}

struct RoleKey {
  const char* name;
  PartitionRole role;
  const char* shown;
};

constexpr RoleKey kPartitionRoles[] = {{"pbr", PartitionRole::Pbr, "PBR"},
                                       {"sys", PartitionRole::System, "EFI/SYS"},
                                       {"os", PartitionRole::Os, "OS"},
                                       {"recovery", PartitionRole::Recovery, "Recovery"}};

const RoleReport* FoundRole(const RunReport& report, const char* name) {
  for (const auto& role : report.roles)
    if (role.name == name && role.found) return &role;
  return nullptr;
}

// Roles are what the run found, so they go on the disks as it left them; a role on a disk it
// cleaned names a partition that is gone.
void PlaceRoles(RunReport& report) {
  for (const RoleKey& key : kPartitionRoles) {
    const RoleReport* role = FoundRole(report, key.name);
    if (role == nullptr) continue;
    const DiskReport* disk = FindDisk(report.disksAfter, role->disk);
    PartitionReport* after = disk == nullptr || disk->cleaned
                                 ? nullptr
                                 : FindPartition(report.disksAfter, role->disk, role->partition);
    if (after != nullptr) {
      after->roles.push_back(key.role);
      continue;
    }
    report.unplacedRoles.push_back(
        std::string(key.shown) + " on disk " + std::to_string(role->disk) + ", partition " +
        std::to_string(role->partition) +
        (disk != nullptr && disk->cleaned ? " (a disk the run cleaned)" : ""));
  }
  for (const char* name : {"ssd", "hdd"}) {
    const RoleReport* role = FoundRole(report, name);
    if (role == nullptr) continue;
    if (DiskReport* disk = FindDisk(report.disksAfter, role->disk))
      disk->diskRoles.push_back(name[0] == 's' ? "SSD" : "HDD");
  }
}

// The letters in force on the volume of that name ("X", "disk1-part2").
std::vector<std::string> VolumeLetters(const SimPlatform& machine, const std::string& volume) {
  std::vector<std::string> letters;
  for (const auto& letter : machine.DosDevices().Letters()) {
    auto found = machine.VolumeOfTarget(*machine.DosDevices().InForce(letter));
    if (found.exists && found.label && found.name == volume) letters.push_back(U8(letter));
  }
  return letters;
}

// Every log file the run wrote and that is still there, with the letters on its volume when it
// lies in a volume's root.
void LogFiles(const SimPlatform& machine, RunReport& report) {
  std::set<std::string> seen;
  for (const auto& write : machine.LogWrites()) {
    if (!write.written || seen.count(write.hostFile)) continue;
    const fs::path path = PathFromUtf8(write.hostFile);
    if (!EqualsIgnoreCaseAscii(FromUtf8(Utf8OfPath(path.filename())), kLogFileName)) continue;
    if (machine.EntryAt(write.hostFile) == nullptr) continue;
    seen.insert(write.hostFile);
    report.logFiles.push_back(LogFileReport{
        write.hostFile, VolumeLetters(machine, Utf8OfPath(path.parent_path().filename())),
        U8(write.file)});
  }
}

bool IsProfileFile(const std::map<std::string, sim::FileSpec>& files, const std::string& relative) {
  for (const auto& [path, entry] : files)
    if (EqualsIgnoreCaseAscii(FromUtf8(path), FromUtf8(relative))) return true;
  return false;
}

// Every file on a volume that the profile did not put there and that is no log, sorted.
void FilesWritten(const sim::Profile& loaded, const SimPlatform& machine, RunReport& report) {
  std::map<std::string, const std::map<std::string, sim::FileSpec>*> given;
  for (const auto& disk : loaded.disks)
    for (size_t p = 0; p < disk.partitions.size(); ++p)
      given["disk" + std::to_string(disk.index) + "-part" + std::to_string(p + 1)] =
          &disk.partitions[p].files;
  for (const auto& drive : loaded.drives) given[U8(drive.letter.substr(0, 1))] = &drive.files;

  std::set<std::string> logs;
  for (const auto& log : report.logFiles) logs.insert(log.path);
  for (const auto& [name, files] : machine.Volumes()) {
    auto found = given.find(name);
    // Named, not the binding itself: clang 14 cannot capture a structured binding.
    const std::string& volume = name;
    files.ForEachFile([&](const std::string& inside, const sim::VolumeFiles::Entry&) {
      if (found != given.end() && IsProfileFile(*found->second, inside)) return;
      const std::string path = "volumes/" + volume + "/" + inside;
      if (!logs.count(path)) report.filesWritten.push_back(path);
    });
  }
  std::sort(report.filesWritten.begin(), report.filesWritten.end());
}

}  // namespace

VolumeNote NoteOf(const SimPlatform::Volume& volume) {
  if (!volume.exists) return VolumeNote{VolumeNote::Kind::NoSuchVolume, ""};
  if (!volume.label) return VolumeNote{VolumeNote::Kind::NoFileSystem, ""};
  return VolumeNote{VolumeNote::Kind::Label, U8(*volume.label)};
}

std::string VolumeText(const VolumeNote& volume) {
  switch (volume.kind) {
    case VolumeNote::Kind::NoSuchVolume:
      return "no such partition";
    case VolumeNote::Kind::NoFileSystem:
      return "no file system";
    case VolumeNote::Kind::Label:
      break;
  }
  return "\"" + volume.label + "\"";
}

std::string RoleText(const RoleReport& role) {
  if (!role.found) return role.story;
  return "disk " + std::to_string(role.disk) + " partition " + std::to_string(role.partition) +
         "  " + VolumeText(role.volume) + "; " + role.story;
}

const char* SeverityName(Severity severity) {
  switch (severity) {
    case Severity::Danger:
      return "danger";
    case Severity::Warning:
      return "warning";
    case Severity::Note:
      break;
  }
  return "note";
}

const char* RoadName(Road road) {
  switch (road) {
    case Road::Register:
      return kRoadRegisterName;
    case Road::RapidStart:
      return kRoadRapidStartName;
    case Road::None:
      break;
  }
  return kRoadNoneName;
}

RunReport BuildRunReport(const sim::Profile& loaded, const SimPlatform& machine,
                         const CLayoutJob& job) {
  const LoggedLines logged(machine.LogWrites());
  RunReport report;
  report.machine = machine.profile().name;
  report.description = loaded.description;
  report.ssdHddMode = logged.Flag(kSsdHddModeLine);
  report.miniSsd = logged.Flag(kMiniSsdLine);
  report.rapidStart = logged.Flag(kRapidStartLine);
  report.road = job.m_Road;
  Roles(machine, job, report);
  report.pbrPartition = U8(logged.LastValue(kPbrPartitionLine).value_or(L""));

  for (const auto& command : machine.Commands())
    report.commands.push_back(CommandReport{U8(command.commandLine), command.started,
                                            command.exitCode, command.lastError});
  for (const auto& box : machine.MessageBoxes())
    report.messageBoxes.push_back(MessageBoxReport{U8(box.text), U8(box.caption)});
  LogFiles(machine, report);
  FilesWritten(loaded, machine, report);
  report.simulatedMs = machine.ElapsedMs();

  for (const auto& disk : loaded.disks) report.disksBefore.push_back(DiskOf(disk));
  for (const auto& disk : machine.profile().disks) report.disksAfter.push_back(DiskOf(disk));
  for (const auto& cleaned : machine.CleanedDisks()) {
    if (DiskReport* disk = FindDisk(report.disksAfter, cleaned.index)) {
      disk->cleaned = true;
      for (auto& part : disk->partitions) part.created = true;
    }
  }
  LettersAtStart(loaded, report);
  Letters(machine, report);
  PlaceRoles(report);
  MarkWhatTheRunSaw(machine, job, logged, report);
  TellRoleStories(machine, logged, report);

  report.rapidStartWhy = RapidStartWhy(report, logged);
  report.roadWhy = RoadWhy(report, logged);
  report.warnings = BuildWarnings(machine, logged, report);
  report.changes = BuildChanges(loaded, machine, report);
  return report;
}

}  // namespace quorvane::report
