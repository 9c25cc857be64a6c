// What a run changed: disks cleaned and carved, the diskpart scripts it ran, letters, files.
#include "report/changes.h"

#include <algorithm>
#include <map>

#include "base/text.h"
#include "letters/device_path.h"
#include "platform/sim/commands/command_words.h"
#include "platform/sim/commands/tool_standins.h"
#include "report/build_report.h"

namespace quorvane::report {
namespace {

using sim::SimPlatform;

std::string U8(const std::wstring& text) { return ToUtf8(text); }

bool SamePartition(const PartitionReport& a, const PartitionReport& b) {
  return a.sizeMB == b.sizeMB && a.type == b.type && a.label == b.label;
}

// One line a partition, each led by `lead`.
void AddListed(const std::string& lead, const std::vector<PartitionReport>& partitions,
               std::vector<std::string>& lines) {
  if (partitions.empty()) lines.push_back(lead + " no partition");
  for (size_t i = 0; i < partitions.size(); ++i)
    lines.push_back(lead + " " + PartitionText(i + 1, partitions[i]));
}

std::vector<DiskChange> DiskChanges(const RunReport& report) {
  std::vector<DiskChange> changes;
  for (const auto& after : report.disksAfter) {
    const DiskReport* before = nullptr;
    for (const auto& disk : report.disksBefore)
      if (disk.index == after.index) before = &disk;
    if (before == nullptr) continue;
    const bool same = before->partitions.size() == after.partitions.size() &&
                      std::equal(before->partitions.begin(), before->partitions.end(),
                                 after.partitions.begin(), SamePartition);
    if (!after.cleaned && same) continue;
    DiskChange change{after.index, after.cleaned, before->partitions, after.partitions, {}};
    change.lines = {after.cleaned ? "cleaned by the run" : "repartitioned by the run"};
    AddListed("held", change.before, change.lines);
    AddListed("now", change.after, change.lines);
    changes.push_back(std::move(change));
  }
  return changes;
}

std::vector<DiskpartScript> DiskpartScripts(const SimPlatform& machine) {
  namespace standin = sim::standin;
  std::vector<DiskpartScript> scripts;
  for (const auto& command : machine.Commands()) {
    const auto words = standin::SplitWords(command.commandLine);
    if (words.empty() || standin::IdentifyProgram(words.front()) != standin::Program::Diskpart)
      continue;
    DiskpartScript script{
        U8(command.commandLine), "", std::nullopt, command.started, command.exitCode,
        command.lastError,       ""};
    for (size_t i = 1; i + 1 < words.size(); ++i)
      if (EqualsIgnoreCaseAscii(words[i], L"/s")) script.path = U8(words[i + 1]);
    if (auto bytes = machine.FileBytes(FromUtf8(script.path)))
      script.text = U8(WidenTextFile(*bytes));
    script.heading =
        script.path + (script.text ? "" : " (never written)") + ": " +
        (script.started
             ? "diskpart ended with exit code " + std::to_string(script.exitCode)
             : "diskpart could not start (error " + std::to_string(script.lastError) + ")");
    scripts.push_back(std::move(script));
  }
  return scripts;
}

// The volume a target named at start: a partition of a disk as loaded, or a listed drive.
VolumeNote NoteAtStart(const sim::Profile& loaded, const RunReport& report,
                       const std::string& target) {
  if (auto place = ParsePartitionDevicePath(FromUtf8(target))) {
    for (const auto& disk : report.disksBefore) {
      if (disk.index != place->disk || place->partition < 1 ||
          static_cast<size_t>(place->partition) > disk.partitions.size())
        continue;
      const auto& label = disk.partitions[static_cast<size_t>(place->partition) - 1].label;
      if (!label) return VolumeNote{VolumeNote::Kind::NoFileSystem, ""};
      return VolumeNote{VolumeNote::Kind::Label, *label};
    }
  }
  for (const auto& drive : loaded.drives) {
    if (drive.target || "volume:" + U8(drive.letter) != target) continue;
    if (!drive.label) return VolumeNote{VolumeNote::Kind::NoFileSystem, ""};
    return VolumeNote{VolumeNote::Kind::Label, U8(*drive.label)};
  }
  return VolumeNote{};
}

std::vector<LetterChange> LetterChanges(const sim::Profile& loaded, const SimPlatform& machine,
                                        const RunReport& report) {
  std::map<std::string, std::string> before;
  for (const auto& disk : loaded.disks)
    for (size_t i = 0; i < disk.partitions.size(); ++i)
      if (const auto& letter = disk.partitions[i].letter)
        before[U8(*letter)] = U8(PartitionDevicePath(disk.index, static_cast<int>(i) + 1));
  for (const auto& drive : loaded.drives)
    before[U8(drive.letter)] = U8(drive.target.value_or(L"volume:" + drive.letter));
  std::map<std::string, std::string> after;
  for (const auto& letter : report.letters) after[letter.letter] = letter.target;

  std::map<std::string, LetterChange> changes;
  for (const auto& [letter, target] : before) changes[letter].before = target;
  for (const auto& [letter, target] : after) changes[letter].after = target;
  std::vector<LetterChange> changed;
  for (auto& [letter, change] : changes) {
    // A letter defined again on the target it had is no change; the system reads a device
    // name in any letter case.
    if (change.before.has_value() == change.after.has_value() &&
        (!change.before ||
         EqualsIgnoreCaseAscii(FromUtf8(*change.before), FromUtf8(*change.after))))
      continue;
    change.letter = letter;
    auto at = [&](const std::string& target, const VolumeNote& note) {
      return target + " (" + VolumeText(note) + ")";
    };
    std::string startText;
    if (change.before) startText = at(*change.before, NoteAtStart(loaded, report, *change.before));
    if (!change.before) {
      change.line = letter + " defined on " +
                    at(*change.after, NoteOf(machine.VolumeOfTarget(FromUtf8(*change.after))));
    } else if (!change.after) {
      change.line = letter + " removed from " + startText;
    } else {
      change.line = letter + " moved from " + startText + " to " +
                    at(*change.after, NoteOf(machine.VolumeOfTarget(FromUtf8(*change.after))));
    }
    changed.push_back(std::move(change));
  }
  return changed;
}

}  // namespace

std::string PartitionText(size_t number, const PartitionReport& partition) {
  std::string text = "partition " + std::to_string(number);
  if (!partition.label) {
    text += " without a file system";
  } else if (partition.label->empty()) {
    text += " without a label";
  } else {
    text += " \"" + *partition.label + "\"";
  }
  text += ", " + std::to_string(partition.sizeMB) + " MB, " + partition.type;
  return partition.created ? text + ", made by the run" : text;
}

Changes BuildChanges(const sim::Profile& loaded, const SimPlatform& machine,
                     const RunReport& report) {
  Changes changes;
  changes.disks = DiskChanges(report);
  changes.diskpartScripts = DiskpartScripts(machine);
  changes.letters = LetterChanges(loaded, machine, report);
  for (const auto& log : report.logFiles) changes.files.push_back(log.path);
  changes.files.insert(changes.files.end(), report.filesWritten.begin(), report.filesWritten.end());
  std::sort(changes.files.begin(), changes.files.end());
  return changes;
}

}  // namespace quorvane::report
