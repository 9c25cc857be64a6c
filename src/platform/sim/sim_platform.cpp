// The simulated machine's clock, drive letters, volumes, firmware, message boxes, COM state and
// child processes.
#include "platform/sim/sim_platform.h"

#include <algorithm>

#include "base/calendar.h"
#include "base/text.h"
#include "letters/device_path.h"
#include "platform/sim/commands/command_words.h"
#include "platform/sim/sim_wmi.h"

namespace quorvane::sim {
namespace {}  // namespace

SimPlatform::SimPlatform(Profile profile) : profile_(std::move(profile)) {
  auto populate = [&](const std::string& volume, const std::map<std::string, FileSpec>& files) {
    VolumeFiles& tree = volumes_[volume];
    for (const auto& [path, entry] : files) {
      std::string bytes = entry.text;
      if (entry.kind == FileSpec::Kind::Wim) {
        bytes = kWimMarker;
        for (const auto& image : entry.wimImages) bytes += ToUtf8(image) + "\n";
      }
      tree.Put(path, std::move(bytes));
    }
  };
  for (const auto& disk : profile_.disks) {
    for (size_t i = 0; i < disk.partitions.size(); ++i) {
      const auto& part = disk.partitions[i];
      const int number = static_cast<int>(i) + 1;
      if (part.letter)
        dos_.Define(win::kDddRawTargetPath, *part.letter, PartitionDevicePath(disk.index, number));
      if (part.label) populate(PartitionVolume(disk.index, number), part.files);
    }
  }
  for (const auto& drive : profile_.drives) {
    dos_.Define(win::kDddRawTargetPath, drive.letter,
                drive.target.value_or(L"volume:" + drive.letter));
    if (drive.label && !drive.target) populate(ToUtf8(drive.letter.substr(0, 1)), drive.files);
  }
  mountFailuresLeft_ = profile_.faults.mountFailures;
}

SimPlatform::~SimPlatform() = default;

std::string SimPlatform::PartitionVolume(int disk, int partition) {
  return "disk" + std::to_string(disk) + "-part" + std::to_string(partition);
}

const VolumeFiles* SimPlatform::FilesOf(const std::string& volume) const {
  auto found = volumes_.find(volume);
  return found == volumes_.end() ? nullptr : &found->second;
}

const VolumeFiles::Entry* SimPlatform::EntryAt(std::string_view treePath) const {
  constexpr std::string_view kVolumes = "volumes/";
  if (treePath.substr(0, kVolumes.size()) != kVolumes) return nullptr;
  treePath.remove_prefix(kVolumes.size());
  size_t slash = treePath.find('/');
  const VolumeFiles* files = FilesOf(std::string(treePath.substr(0, slash)));
  const VolumeFiles::Entry* at = files == nullptr ? nullptr : &files->Root();
  while (at != nullptr && slash != std::string_view::npos) {
    treePath.remove_prefix(slash + 1);
    slash = treePath.find('/');
    at = VolumeFiles::Child(*at, FromUtf8(treePath.substr(0, slash)));
  }
  return at;
}

void SimPlatform::WriteOutputTree(const std::filesystem::path& outDir) const {
  for (const auto& [name, files] : volumes_) files.WriteTo(outDir / "volumes" / name);
}

SimPlatform::Volume SimPlatform::VolumeOfTarget(const std::wstring& target) const {
  Volume volume;
  if (auto numbers = ParsePartitionDevicePath(target)) {
    if (numbers->partition < 1) return volume;
    for (const auto& d : profile_.disks) {
      if (d.index != numbers->disk || static_cast<size_t>(numbers->partition) > d.partitions.size())
        continue;
      volume.exists = true;
      volume.label = d.partitions[static_cast<size_t>(numbers->partition) - 1].label;
      if (volume.label) volume.name = PartitionVolume(numbers->disk, numbers->partition);
    }
    return volume;
  }
  const std::wstring upper = ToUpperAscii(target);
  if (upper.size() == 9 && upper.compare(0, 7, L"VOLUME:") == 0) {
    for (const auto& drive : profile_.drives) {
      if (drive.letter != upper.substr(7) || drive.target) continue;
      volume.exists = true;
      volume.label = drive.label;
      if (volume.label) volume.name = ToUtf8(drive.letter.substr(0, 1));
    }
  }
  return volume;
}

std::optional<std::wstring> SimPlatform::LabelThroughLetter(const std::wstring& drive) const {
  if (drive.empty()) return std::nullopt;
  if (drive.size() > 1 && drive[1] != L':') return std::nullopt;
  std::wstring letter = ToUpperAscii(drive.substr(0, 1)) + L":";
  auto target = dos_.InForce(letter);
  if (!target) return std::nullopt;
  return VolumeOfTarget(*target).label;
}

// Clock.

LocalTime SimPlatform::GetLocalTime() {
  const LocalTime& s = profile_.start;
  const int64_t ms =
      (((DaysFromCivil({s.year, s.month, s.day}) * 24 + s.hour) * 60 + s.minute) * 60 + s.second) *
          1000 +
      s.millisecond + static_cast<int64_t>(elapsedMs_);
  const int64_t rest = ms % 86400000;
  const CivilDate date = CivilFromDays(ms / 86400000);
  LocalTime t;
  t.year = static_cast<int>(date.year);
  t.month = static_cast<int>(date.month);
  t.day = static_cast<int>(date.day);
  t.hour = static_cast<int>(rest / 3600000);
  t.minute = static_cast<int>(rest / 60000 % 60);
  t.second = static_cast<int>(rest / 1000 % 60);
  t.millisecond = static_cast<int>(rest % 1000);
  return t;
}

void SimPlatform::Sleep(uint32_t ms) { elapsedMs_ += ms; }

// Drive letters.

bool SimPlatform::DefineDosDevice(uint32_t flags, const std::wstring& deviceName,
                                  const std::wstring& targetPath) {
  if (flags & win::kDddRemoveDefinition) return dos_.Define(flags, deviceName, targetPath);
  bool made = false;
  auto it = mountFailuresLeft_.find(ToUpperAscii(deviceName));
  if (it != mountFailuresLeft_.end() && it->second != 0) {
    if (it->second > 0) --it->second;
  } else {
    made = dos_.Define(flags, deviceName, targetPath);
  }
  mappings_.push_back(Mapping{deviceName, targetPath, made});
  return made;
}

std::optional<std::wstring> SimPlatform::QueryDosDevice(const std::wstring& deviceName,
                                                        uint32_t bufferChars) {
  auto target = dos_.InForce(deviceName);
  // The answer holds every definition, each zero-terminated, and a final zero.
  size_t needed = 1;
  for (const auto& t : dos_.Definitions(deviceName)) needed += t.size() + 1;
  if (!target || needed > bufferChars) return std::nullopt;
  return target;
}

uint32_t SimPlatform::GetLogicalDrives() { return dos_.DriveMask(); }

std::vector<std::wstring> SimPlatform::GetLogicalDriveStrings(uint32_t bufferChars) {
  std::vector<std::wstring> roots;
  for (const auto& letter : dos_.Letters()) roots.push_back(letter + L"\\");
  // "C:\" and its zero for each root, then the final zero.
  if (roots.size() * 4 + 1 > bufferChars) return {};
  return roots;
}

std::optional<std::wstring> SimPlatform::GetVolumeLabel(const std::wstring& rootPath) {
  return LabelThroughLetter(rootPath);
}

// Firmware.

FirmwareProbe SimPlatform::GetFirmwareEnvironmentVariable(const std::wstring&, const std::wstring&,
                                                          uint32_t bufferBytes) {
  if (profile_.firmware.kind == FirmwareSpec::Kind::Readable) {
    if (bufferBytes == 0) return FirmwareProbe{0, 122};  // ERROR_INSUFFICIENT_BUFFER
    return FirmwareProbe{1, 0};
  }
  return FirmwareProbe{0, profile_.firmware.lastError};
}

// Message boxes: recorded and answered OK at once.

int SimPlatform::MessageBox(const std::wstring& text, const std::wstring& caption, uint32_t flags) {
  messageBoxes_.push_back(MessageBoxRecord{text, caption, flags});
  return 1;  // IDOK
}

// COM and WMI. The n-th inventory attempt is the n-th CoInitializeSecurity call,
// which only the inventory makes; its injected fault waits for its step.

int32_t SimPlatform::CoInitializeMultithreaded() {
  ++comInitCalls_;
  if (profile_.faults.comInitFails && comInitCalls_ == 1) return hr::kRpcEChangedMode;
  return comDepth_++ == 0 ? win::kSOk : win::kSFalse;
}

void SimPlatform::CoUninitialize() {
  if (comDepth_ > 0) --comDepth_;
}

int32_t SimPlatform::CoInitializeSecurity() {
  const auto& plan = profile_.faults.inventory;
  int fault = inventoryAttempts_ < plan.size() ? plan[inventoryAttempts_] : 0;
  ++inventoryAttempts_;
  pendingInventoryFault_ = fault;
  if (comDepth_ == 0) return hr::kCoENotInitialized;
  if (fault == 2) {
    pendingInventoryFault_ = 0;
    return hr::kEAccessDenied;
  }
  if (securitySet_) return win::kRpcETooLate;
  securitySet_ = true;
  return win::kSOk;
}

int32_t SimPlatform::CreateWmiLocator(uint32_t, std::unique_ptr<WmiLocator>& out) {
  out.reset();
  if (comDepth_ == 0) return hr::kCoENotInitialized;
  if (pendingInventoryFault_ == 3) {
    pendingInventoryFault_ = 0;
    return hr::kRegdbEClassNotReg;
  }
  out = MakeWmiLocator(*this);
  return win::kSOk;
}

int32_t SimPlatform::WmiConnectServer(const std::wstring& ns) {
  if (pendingInventoryFault_ == 4) {
    pendingInventoryFault_ = 0;
    return hr::kWbemEAccessDenied;
  }
  std::wstring name = ToUpperAscii(ns);
  if (name == L"\\\\.\\ROOT\\CIMV2" || name == L"ROOT\\CIMV2") return win::kSOk;
  if (name == L"\\\\.\\ROOT\\WMI" || name == L"ROOT\\WMI")
    return profile_.faults.smbiosFetchFails ? hr::kWbemEAccessDenied : win::kSOk;
  return hr::kWbemEInvalidNamespace;
}

int32_t SimPlatform::WmiSetProxyBlanket() {
  if (pendingInventoryFault_ == 9) {
    pendingInventoryFault_ = 0;
    return hr::kEAccessDenied;
  }
  return win::kSOk;
}

int32_t SimPlatform::WmiExecQuery() {
  if (pendingInventoryFault_ == 5) {
    pendingInventoryFault_ = 0;
    return hr::kWbemEFailed;
  }
  return win::kSOk;
}

// Child processes: the simulator's stand-ins run each command line.

ProcessOutcome SimPlatform::RunProcess(const std::wstring& commandLine) {
  ProcessOutcome outcome = RunSimulatedCommand(*this, commandLine);
  // No real process starts and ends within the millisecond it was started in: its exit code is
  // always stamped later than the lines before it (a log reader counts on it).
  if (outcome.started) elapsedMs_ += std::max<uint32_t>(profile_.tools.durationMs, 1);
  commands_.push_back(
      CommandRecord{commandLine, outcome.started, outcome.exitCode, outcome.lastError});
  return outcome;
}

// A listing may name the program alone ("ReagentC") or as written with its path, with or without
// ".exe", in any case.
bool SimPlatform::CannotStart(const std::wstring& program) {
  const std::wstring name = standin::ProgramName(program);
  for (const auto& blocked : profile_.faults.cannotStart)
    if (standin::ProgramName(blocked) == name) return true;
  return false;
}

const ToolsSpec& SimPlatform::Tools() { return profile_.tools; }

namespace {
// Digits and white space stay; every other byte becomes the next byte that is neither.
bool KeptWhenReworded(unsigned char c) {
  return c == 0 || c == ' ' || (c >= '\t' && c <= '\r') || (c >= '0' && c <= '9');
}
std::string Reworded(std::string text) {
  for (char& c : text) {
    auto b = static_cast<unsigned char>(c);
    if (KeptWhenReworded(b)) continue;
    do {
      b = static_cast<unsigned char>(b == 255 ? 1 : b + 1);
    } while (KeptWhenReworded(b));
    c = static_cast<char>(b);
  }
  return text;
}
}  // namespace

void SimPlatform::ToolRan(ToolRun& run) {
  if (rewordTools_) run.output = Reworded(std::move(run.output));
  toolRuns_.push_back(run);
}

std::vector<DiskSpec>& SimPlatform::Disks() { return profile_.disks; }

void SimPlatform::CleanDisk(int diskIndex) {
  for (auto& disk : profile_.disks) {
    if (disk.index != diskIndex) continue;
    CleanedDisk cleaned{diskIndex, {}};
    for (size_t i = 0; i < disk.partitions.size(); ++i) {
      const auto& label = disk.partitions[i].label;
      if (label && !label->empty()) cleaned.labels.push_back(*label);
      volumes_.erase(PartitionVolume(diskIndex, static_cast<int>(i) + 1));
    }
    disk.partitions.clear();
    ++fileChanges_;
    cleanedDisks_.push_back(cleaned);
  }
}

}  // namespace quorvane::sim
