// Turns a finished simulated run into the plain data of its layout picture.
#include "platform/sim/picture_of_run.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "base/text.h"
#include "letters/device_path.h"

namespace quorvane::sim {
namespace {

using Json = nlohmann::ordered_json;

struct RoleKey {
  const char* key;
  PartitionRole role;
  const char* name;
};

constexpr RoleKey kPartitionRoles[] = {{"pbr", PartitionRole::Pbr, "PBR"},
                                       {"sys", PartitionRole::System, "EFI/SYS"},
                                       {"os", PartitionRole::Os, "OS"},
                                       {"recovery", PartitionRole::Recovery, "Recovery"}};

std::optional<bool> FlagOf(const Json& flags, const char* name) {
  if (!flags.contains(name) || !flags[name].is_boolean()) return std::nullopt;
  return flags[name].get<bool>();
}

PictureDisk DiskOf(const DiskSpec& disk) {
  PictureDisk picture;
  picture.index = disk.index;
  picture.model = ToUtf8(disk.model);
  picture.style = disk.gpt ? "gpt" : "mbr";
  picture.sizeMB = disk.sizeMB;
  for (const auto& part : disk.partitions) {
    PicturePartition p;
    p.sizeMB = part.sizeMB;
    if (part.label) p.label = ToUtf8(*part.label);
    p.type = ToUtf8(part.type);
    p.hidden = part.hidden;
    picture.partitions.push_back(std::move(p));
  }
  return picture;
}

PictureDisk* FindDisk(std::vector<PictureDisk>& disks, int64_t index) {
  for (auto& disk : disks)
    if (disk.index == index) return &disk;
  return nullptr;
}

PicturePartition* FindPartition(std::vector<PictureDisk>& disks, int64_t disk, int64_t number) {
  PictureDisk* found = FindDisk(disks, disk);
  if (found == nullptr || number < 1 || static_cast<size_t>(number) > found->partitions.size())
    return nullptr;
  return &found->partitions[static_cast<size_t>(number) - 1];
}

std::string NoteOf(const SimPlatform::Volume& volume) {
  if (!volume.exists) return "no such volume";
  if (!volume.label) return "no file system";
  return ToUtf8(*volume.label);
}

// A letter onto its partition in `disks`, or into `others` when it names none.
void PlaceLetter(std::vector<PictureDisk>& disks, std::vector<PictureLetter>& others,
                 const std::string& letter, const std::wstring& target, const std::string& note) {
  if (auto place = ParsePartitionDevicePath(target)) {
    if (PicturePartition* part = FindPartition(disks, place->disk, place->partition)) {
      part->letters.push_back(letter);
      return;
    }
  }
  others.push_back(PictureLetter{letter, ToUtf8(target), note});
}

void LettersAtStart(const Profile& loaded, LayoutPicture& picture) {
  for (const auto& disk : loaded.disks) {
    for (size_t i = 0; i < disk.partitions.size(); ++i) {
      const auto& letter = disk.partitions[i].letter;
      if (letter)
        PlaceLetter(picture.before, picture.otherLettersBefore, ToUtf8(*letter),
                    PartitionDevicePath(disk.index, static_cast<int>(i) + 1), "");
    }
  }
  for (const auto& drive : loaded.drives) {
    SimPlatform::Volume volume{true, drive.label, {}};
    picture.otherLettersBefore.push_back(
        PictureLetter{ToUtf8(drive.letter), "volume:" + ToUtf8(drive.letter), NoteOf(volume)});
  }
  for (auto& disk : picture.before)
    for (auto& part : disk.partitions) std::sort(part.letters.begin(), part.letters.end());
}

void LettersAtEnd(const SimPlatform& machine, const Json& letters, LayoutPicture& picture) {
  if (!letters.is_object()) return;
  for (const auto& [letter, target] : letters.items()) {
    if (!target.is_string()) continue;
    const std::wstring wideTarget = FromUtf8(target.get<std::string>());
    PlaceLetter(picture.after, picture.otherLettersAfter, letter, wideTarget,
                NoteOf(machine.VolumeOfTarget(wideTarget)));
  }
}

// Roles were found on the disks as loaded (the inventory comes before any change), so they hold
// in both pictures except on a disk the run cleaned.
void PlaceRoles(const Json& roles, LayoutPicture& picture) {
  if (!roles.is_object()) return;
  auto found = [&](const char* key) -> std::optional<std::pair<int64_t, int64_t>> {
    if (!roles.contains(key)) return std::nullopt;
    const Json& slot = roles[key];
    if (!slot.value("found", false)) return std::nullopt;
    return std::make_pair(slot.value("disk", int64_t{0}), slot.value("partition", int64_t{0}));
  };
  for (const RoleKey& role : kPartitionRoles) {
    auto slot = found(role.key);
    if (!slot) continue;
    PicturePartition* before = FindPartition(picture.before, slot->first, slot->second);
    if (before == nullptr) {
      picture.unplacedRoles.push_back(std::string(role.name) + " on disk " +
                                      std::to_string(slot->first) + ", partition " +
                                      std::to_string(slot->second));
      continue;
    }
    before->roles.push_back(role.role);
    PictureDisk* afterDisk = FindDisk(picture.after, slot->first);
    if (afterDisk == nullptr || afterDisk->cleaned) continue;
    if (PicturePartition* after = FindPartition(picture.after, slot->first, slot->second))
      after->roles.push_back(role.role);
  }
  for (const char* key : {"ssd", "hdd"}) {
    auto slot = found(key);
    if (!slot) continue;
    std::string name = key[0] == 's' ? "SSD" : "HDD";
    for (auto* disks : {&picture.before, &picture.after})
      if (PictureDisk* disk = FindDisk(*disks, slot->first)) disk->diskRoles.push_back(name);
  }
}

}  // namespace

LayoutPicture PictureOfRun(const Profile& loaded, const SimPlatform& machine, const Json& summary) {
  LayoutPicture picture;
  picture.name = summary.value("profile", loaded.name);
  picture.description = loaded.description;
  picture.road = summary.value("road", "none");
  if (summary.contains("flags")) {
    const Json& flags = summary["flags"];
    picture.ssdHddMode = FlagOf(flags, "ssdHddMode");
    picture.miniSsd = FlagOf(flags, "miniSsd");
    picture.rapidStart = FlagOf(flags, "rapidStart");
  }
  picture.simulatedMs = machine.ElapsedMs();

  for (const auto& disk : loaded.disks) picture.before.push_back(DiskOf(disk));
  for (const auto& disk : machine.profile().disks) picture.after.push_back(DiskOf(disk));
  for (const auto& cleaned : machine.CleanedDisks()) {
    if (PictureDisk* disk = FindDisk(picture.after, cleaned.index)) {
      disk->cleaned = true;
      for (auto& part : disk->partitions) part.created = true;
    }
  }

  LettersAtStart(loaded, picture);
  if (summary.contains("letters")) LettersAtEnd(machine, summary["letters"], picture);
  if (summary.contains("roles")) PlaceRoles(summary["roles"], picture);
  if (summary.contains("warnings") && summary["warnings"].is_array()) {
    for (const auto& warning : summary["warnings"])
      picture.warnings.push_back(
          PictureWarning{warning.value("kind", ""), warning.value("text", "")});
  }
  return picture;
}

void WriteLayoutPicture(const LayoutPicture& picture, const std::filesystem::path& file) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << RenderLayoutPicture(picture);
  out.close();
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace quorvane::sim
