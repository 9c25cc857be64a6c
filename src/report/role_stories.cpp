// Each role's story: the letters the road put on its partition, the disk the carving wiped, and
// the slots the mode check emptied.
#include "report/role_stories.h"

#include <algorithm>

#include "base/text.h"
#include "classify/disk_mode.h"
#include "classify/partition_roles.h"
#include "classify/system_disk.h"
#include "letters/device_path.h"
#include "procedure/layout_sequence.h"
#include "procedure/rapid_start.h"
#include "procedure/recovery_registration.h"
#include "run/run_log.h"

namespace quorvane::report {
namespace {

using sim::SimPlatform;

std::string Where(int disk, int partition) {
  return "disk " + std::to_string(disk) + " partition " + std::to_string(partition);
}

// The letters the road places, with the roles each one serves: M: the recovery partition (the
// hard disk's in SSD+HDD mode), W: the recovery tools, C: Windows.
struct PlacedLetter {
  const wchar_t* letter;
  std::vector<std::string> roles;
  bool onRegisterRoadOnly;
};
const PlacedLetter kPlacedLetters[] = {{kPbrLetter, {"pbr", "hdd"}, false},
                                       {kToolsLetter, {"recovery"}, true},
                                       {kOsLetter, {"os"}, true}};

// The last definition the run asked for of a letter: where it meant the letter, and whether it
// was made.
const SimPlatform::Mapping* LastMapping(const SimPlatform& machine, const wchar_t* letter) {
  const SimPlatform::Mapping* last = nullptr;
  for (const auto& mapping : machine.Mappings())
    if (EqualsIgnoreCaseAscii(mapping.letter, letter)) last = &mapping;
  return last;
}

// Where the refresh left the SSD slot before the mode check: its last SSD line, unless that line
// only restated the slot after a count of no SSD-sized disk.
std::optional<std::pair<int, int>> SsdBeforeModeCheck(const LoggedLines& logged) {
  const std::wstring noSsdSized = Format(kSsdCountLine, {0});
  std::optional<std::pair<int, int>> place;
  bool restates = false;
  for (const auto& write : logged.Writes()) {
    const std::wstring_view message = LogMessage(write.key);
    if (message == kModeCheckLine) break;
    if (message == kSsdRoleLine && !restates) place = LoggedLines::RolePlace(write.value);
    restates = message == noSsdSized;
  }
  return place;
}

struct LetterUse {
  std::string letter;
  bool made = false;
};

std::vector<LetterUse> LetterUses(const SimPlatform& machine, const LoggedLines& logged,
                                  const RunReport& report, const RoleReport& role) {
  std::vector<LetterUse> uses;
  const std::string path = ToUtf8(PartitionDevicePath(role.disk, role.partition));
  for (const PlacedLetter& placed : kPlacedLetters) {
    if (placed.onRegisterRoadOnly && !logged.Logged(kRegisterLine)) continue;
    if (std::find(placed.roles.begin(), placed.roles.end(), role.name) == placed.roles.end())
      continue;
    const SimPlatform::Mapping* mapping = LastMapping(machine, placed.letter);
    if (mapping == nullptr || ToUtf8(mapping->target) != path) continue;
    // An empty slot names a partition only for M:, which the sequence maps whatever the slot
    // holds; in SSD+HDD mode M: follows the hard disk's slot instead.
    if (!role.found && !(role.name == "pbr" && report.ssdHddMode != true)) continue;
    uses.push_back(LetterUse{ToUtf8(placed.letter), mapping->made});
  }
  return uses;
}

// The SSD is a disk: the carving, not a letter, uses it.
std::string SsdStory(const SimPlatform& machine, const LoggedLines& logged, const RunReport& report,
                     RoleReport& role) {
  for (const auto& cleaned : machine.CleanedDisks()) {
    if (cleaned.index != role.disk) continue;
    role.use.push_back("wiped disk");
    return "its disk was wiped: the cache SSD of the carving";
  }
  if (logged.Logged(kInUseSkipLine)) return "the cache SSD; not wiped: it holds partitions in use";
  if (logged.Logged(kTooSmallSkipLine))
    return "the cache SSD; not wiped: too small to keep the cache beside a partition";
  if (report.road == Road::RapidStart) return "the cache SSD; not wiped: diskpart did not clean it";
  if (report.miniSsd == true) return "the cache SSD; not wiped: rapid start is off";
  if (report.ssdHddMode == true) return "the SSD of SSD+HDD mode; nothing changed on it";
  return "not used";
}

// The mode check empties the hard disk's slot whenever it finds no SSD+HDD mode, and the SSD's
// when no disk is a cache SSD either.
void Reset(const LoggedLines& logged, RoleReport& role) {
  if (role.found || !logged.Logged(kNotSsdHddModeLine)) return;
  std::optional<std::pair<int, int>> before;
  std::string why = "SSD+HDD mode not met";
  if (role.name == "hdd") {
    if (auto value = logged.LastValue(kHddRoleLine)) before = LoggedLines::RolePlace(*value);
  } else if (role.name == "ssd" && logged.Logged(kNoMiniSsdLine)) {
    before = SsdBeforeModeCheck(logged);
    why += ", and no disk is a cache SSD";
  }
  if (before) role.reset = RoleReset{why, before->first, before->second};
}

}  // namespace

void TellRoleStories(const SimPlatform& machine, const LoggedLines& logged, RunReport& report) {
  for (RoleReport& role : report.roles) {
    Reset(logged, role);
    if (role.reset) {
      role.story = "reset: " + role.reset->why + " (it was " +
                   Where(role.reset->disk, role.reset->partition) + ")";
      continue;
    }
    if (role.name == "ssd" && role.found) {
      role.story = SsdStory(machine, logged, report, role);
      continue;
    }
    const std::vector<LetterUse> uses = LetterUses(machine, logged, report, role);
    for (const LetterUse& use : uses) role.use.push_back(use.letter);
    if (!role.found && !uses.empty()) {
      // M: goes where the empty slot points: the disk the system-disk selection chose to stand
      // in, or the slot's reset values when the refresh failed.
      const bool standIn = logged.Logged(Format(kFirstBootDiskLine, {role.disk})) ||
                           logged.Logged(Format(kDefaultDiskLine, {role.disk}));
      const LetterUse& m = uses.front();
      role.story =
          "not found; " + m.letter + (m.made ? " went to " : " was meant for ") +
          Where(role.disk, role.partition) +
          (standIn ? ", on the disk that stands in for it" : ", where its empty slot points") +
          (m.made ? "" : ", but not mapped");
      continue;
    }
    if (!role.found) {
      role.story = "not found";
      continue;
    }
    std::string told;
    for (const LetterUse& use : uses)
      told += (told.empty() ? "" : ", ") +
              (use.made ? use.letter + " on it" : use.letter + " meant for it, but not mapped");
    role.story = told.empty() ? "not used" : told;
  }
}

}  // namespace quorvane::report
