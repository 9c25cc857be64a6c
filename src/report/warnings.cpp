// Warnings of a simulated run: fixed letters on the wrong volume, wiped labelled disks, message
// boxes, lost log lines, failed commands and the notes of a capture, and their order.
#include "report/warnings.h"

#include <algorithm>

#include "base/text.h"
#include "classify/role_labels.h"
#include "procedure/layout_sequence.h"
#include "procedure/recovery_registration.h"
#include "report/warning_texts.h"
#include "run/run_log.h"

namespace quorvane::report {
namespace {

using sim::SimPlatform;
using Warnings = std::vector<Warning>;

std::string U8(const std::wstring& text) { return ToUtf8(text); }

bool HasWindowsFolder(const SimPlatform& machine, const std::string& volume) {
  const sim::VolumeFiles* files = machine.FilesOf(volume);
  if (files == nullptr) return false;
  const sim::VolumeFiles::Entry* windows = sim::VolumeFiles::Child(files->Root(), L"Windows");
  return windows != nullptr && windows->folder;
}

struct FixedLetter {
  const wchar_t* letter;
  const char* role;
};

bool LabelFits(const SimPlatform& machine, const FixedLetter& fixed, const std::wstring& label,
               const std::string& volume) {
  const std::wstring upper = ToUpperAscii(label);
  if (fixed.letter == std::wstring_view(kPbrLetter))
    return upper == kPqServiceLabel || upper == kPqService2Label ||
           StartsWith(upper, kPushButtonLabel);
  if (fixed.letter == std::wstring_view(kToolsLetter)) return StartsWith(upper, kRecoveryLabel);
  return IsOsLabel(label) || HasWindowsFolder(machine, volume);
}

// M: is put on the recovery partition by every run; W: and C: only by the registration. A letter
// the run did not set is the machine's own business.
void LetterWarnings(const SimPlatform& machine, const LoggedLines& logged, const RunReport& report,
                    Warnings& warnings) {
  std::vector<FixedLetter> meant{{kPbrLetter, "a push-button-recovery partition"}};
  if (logged.Logged(kRegisterLine)) {
    meant.push_back({kToolsLetter, "a recovery-tools partition"});
    meant.push_back({kOsLetter, "an operating-system partition"});
  }
  for (const FixedLetter& fixed : meant) {
    auto target = machine.DosDevices().InForce(fixed.letter);
    if (!target) {
      std::string text = U8(fixed.letter) + " is not mapped";
      if (fixed.letter == std::wstring_view(kPbrLetter))
        text = PbrNotMappedText(U8(fixed.letter), report.pbrPartition);
      warnings.push_back(Warning{kLetterRoleWarning, text, Severity::Warning});
      continue;
    }
    auto volume = machine.VolumeOfTarget(*target);
    std::string where = U8(fixed.letter) + " maps to " + U8(*target);
    // The role the road put the letter on, so that a wrong label names both.
    for (const RoleReport& role : report.roles) {
      if (role.found &&
          std::find(role.use.begin(), role.use.end(), U8(fixed.letter)) != role.use.end())
        where += " (the " + role.name + " role)";
    }
    if (!volume.exists) {
      warnings.push_back(Warning{kLetterRoleWarning,
                                 where + ", where there is no volume, not " + fixed.role,
                                 Severity::Warning});
    } else if (!volume.label) {
      warnings.push_back(Warning{kLetterRoleWarning,
                                 where + ", a partition without a file system, not " + fixed.role,
                                 Severity::Warning});
    } else if (!LabelFits(machine, fixed, *volume.label, volume.name)) {
      warnings.push_back(
          Warning{kLetterRoleWarning,
                  where + ", the volume \"" + U8(*volume.label) + "\", which is not " + fixed.role,
                  Severity::Warning});
    }
  }
}

void CleanedDiskWarnings(const SimPlatform& machine, Warnings& warnings) {
  for (const auto& cleaned : machine.CleanedDisks()) {
    if (cleaned.labels.empty()) continue;
    std::vector<std::string> labels;
    for (const auto& label : cleaned.labels) labels.push_back(U8(label));
    warnings.push_back(
        Warning{kDiskCleanedWarning, DiskCleanedText(cleaned.index, labels), Severity::Danger});
  }
}

void MessageBoxWarnings(const SimPlatform& machine, Warnings& warnings) {
  for (const auto& box : machine.MessageBoxes())
    warnings.push_back(
        Warning{kMessageBoxWarning, MessageBoxText(U8(box.text)), Severity::Warning});
}

// One warning per run of consecutive lines lost to the same file, so a whole unwritable log reads
// as one finding.
void LostLineWarnings(const SimPlatform& machine, Warnings& warnings) {
  const auto& writes = machine.LogWrites();
  for (size_t i = 0; i < writes.size();) {
    if (writes[i].written) {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < writes.size() && !writes[end].written && writes[end].file == writes[i].file) ++end;
    auto line = [&](size_t at) {
      return U8(std::wstring(LogMessage(writes[at].key))) + "=" + U8(writes[at].value);
    };
    warnings.push_back(Warning{kLostLogLineWarning,
                               LostLinesText(end - i, line(i), line(end - 1), U8(writes[i].file)),
                               Severity::Warning});
    i = end;
  }
}

void CommandWarnings(const SimPlatform& machine, Warnings& warnings) {
  for (const auto& command : machine.Commands()) {
    if (!command.started) {
      warnings.push_back(Warning{kCommandFailedWarning,
                                 NotStartedText(command.lastError, U8(command.commandLine)),
                                 Severity::Warning});
    } else if (command.exitCode != 0) {
      warnings.push_back(Warning{kCommandFailedWarning,
                                 ExitCodeText(command.exitCode, U8(command.commandLine)),
                                 Severity::Warning});
    }
  }
}

// A captured profile says which facts of the real machine it could not read and what it holds
// instead: a run of it is only as true as those guesses. The notes that may change the
// prediction come first.
void CaptureNoteWarnings(const SimPlatform& machine, Warnings& warnings) {
  for (const bool changes : {true, false})
    for (const auto& note : machine.profile().captureNotes)
      if (note.changesPrediction == changes)
        warnings.push_back(Warning{changes ? kCaptureNoteWarning : kCaptureFactWarning,
                                   CaptureNoteText(note.text, note.fact), Severity::Note});
}

}  // namespace

Warnings BuildWarnings(const SimPlatform& machine, const LoggedLines& logged,
                       const RunReport& report) {
  Warnings warnings;
  LetterWarnings(machine, logged, report, warnings);
  CleanedDiskWarnings(machine, warnings);
  MessageBoxWarnings(machine, warnings);
  RamLogWarnings(machine, warnings);
  LostLineWarnings(machine, warnings);
  CommandWarnings(machine, warnings);
  SightWarnings(machine, logged, report, warnings);
  SizeWarnings(report, warnings);
  CaptureNoteWarnings(machine, warnings);
  std::stable_sort(warnings.begin(), warnings.end(), [](const Warning& a, const Warning& b) {
    return static_cast<int>(a.severity) < static_cast<int>(b.severity);
  });
  return warnings;
}

}  // namespace quorvane::report
