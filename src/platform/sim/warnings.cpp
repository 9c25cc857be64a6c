// Warnings of a simulated run: fixed letters on the wrong volume, wiped labelled disks, message
// boxes, lost log lines and failed commands.
#include "platform/sim/warnings.h"

#include "base/text.h"
#include "classify/role_labels.h"
#include "report/warning_texts.h"
#include "run/run_log.h"

namespace quorvane::sim {
namespace {

using Json = nlohmann::ordered_json;

std::string U8(const std::wstring& text) { return ToUtf8(text); }

Json Warning(const char* kind, const std::string& text) {
  return Json{{"kind", kind}, {"text", text}};
}

bool Logged(const SimPlatform& machine, const std::wstring& message) {
  for (const auto& write : machine.LogWrites())
    if (LogMessage(write.key) == message) return true;
  return false;
}

std::optional<std::wstring> LoggedValue(const SimPlatform& machine, const std::wstring& message) {
  std::optional<std::wstring> value;
  for (const auto& write : machine.LogWrites())
    if (LogMessage(write.key) == message) value = write.value;
  return value;
}

bool HasWindowsFolder(const std::filesystem::path& root) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(root, ec))
    if (EqualsIgnoreCaseAscii(FromUtf8(entry.path().filename().string()), L"Windows") &&
        entry.is_directory(ec))
      return true;
  return false;
}

struct FixedLetter {
  const wchar_t* letter;
  const char* role;
};

bool LabelFits(const FixedLetter& fixed, const std::wstring& label,
               const std::filesystem::path& folder) {
  std::wstring upper = ToUpperAscii(label);
  switch (fixed.letter[0]) {
    case L'M':
      return upper == kPqServiceLabel || upper == kPqService2Label ||
             StartsWith(upper, kPushButtonLabel);
    case L'W':
      return StartsWith(upper, kRecoveryLabel);
    default:
      return IsOsLabel(label) || HasWindowsFolder(folder);
  }
}

// M: is put on the recovery partition by every run; W: and C: only by the
// registration. A letter the run did not set is the machine's own business.
void LetterWarnings(const SimPlatform& machine, Json& warnings) {
  std::vector<FixedLetter> meant{{L"M:", "a push-button-recovery partition"}};
  if (Logged(machine, L"Register PBR")) {
    meant.push_back({L"W:", "a recovery-tools partition"});
    meant.push_back({L"C:", "an operating-system partition"});
  }
  for (const FixedLetter& fixed : meant) {
    auto target = machine.DosDevices().InForce(fixed.letter);
    if (!target) {
      std::string text = U8(fixed.letter) + " is not mapped";
      if (fixed.letter[0] == L'M') {
        text = report::PbrNotMappedText(U8(fixed.letter),
                                        U8(LoggedValue(machine, L"PBR Partition").value_or(L"")));
      }
      warnings.push_back(Warning(report::kLetterRoleWarning, text));
      continue;
    }
    auto volume = machine.VolumeOfTarget(*target);
    std::string where = U8(fixed.letter) + " maps to " + U8(*target);
    if (!volume.exists) {
      warnings.push_back(Warning(report::kLetterRoleWarning,
                                 where + ", where there is no volume, not " + fixed.role));
    } else if (!volume.label) {
      warnings.push_back(Warning(report::kLetterRoleWarning,
                                 where + ", a partition without a file system, not " + fixed.role));
    } else if (!LabelFits(fixed, *volume.label, volume.folder)) {
      warnings.push_back(Warning(
          report::kLetterRoleWarning,
          where + ", the volume \"" + U8(*volume.label) + "\", which is not " + fixed.role));
    }
  }
}

void CleanedDiskWarnings(const SimPlatform& machine, Json& warnings) {
  for (const auto& cleaned : machine.CleanedDisks()) {
    if (cleaned.labels.empty()) continue;
    std::vector<std::string> labels;
    for (const auto& label : cleaned.labels) labels.push_back(U8(label));
    warnings.push_back(
        Warning(report::kDiskCleanedWarning, report::DiskCleanedText(cleaned.index, labels)));
  }
}

void MessageBoxWarnings(const SimPlatform& machine, Json& warnings) {
  for (const auto& box : machine.MessageBoxes())
    warnings.push_back(Warning(report::kMessageBoxWarning, report::MessageBoxText(U8(box.text))));
}

// One warning per run of consecutive lines lost to the same file, so a whole
// unwritable log reads as one finding.
void LostLineWarnings(const SimPlatform& machine, Json& warnings) {
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
    warnings.push_back(
        Warning(report::kLostLogLineWarning,
                report::LostLinesText(end - i, line(i), line(end - 1), U8(writes[i].file))));
    i = end;
  }
}

void CommandWarnings(const SimPlatform& machine, Json& warnings) {
  for (const auto& command : machine.Commands()) {
    if (!command.started) {
      warnings.push_back(
          Warning(report::kCommandFailedWarning,
                  report::NotStartedText(command.lastError, U8(command.commandLine))));
    } else if (command.exitCode != 0) {
      warnings.push_back(Warning(report::kCommandFailedWarning,
                                 report::ExitCodeText(command.exitCode, U8(command.commandLine))));
    }
  }
}

}  // namespace

Json BuildWarnings(const SimPlatform& machine) {
  Json warnings = Json::array();
  LetterWarnings(machine, warnings);
  CleanedDiskWarnings(machine, warnings);
  MessageBoxWarnings(machine, warnings);
  LostLineWarnings(machine, warnings);
  CommandWarnings(machine, warnings);
  return warnings;
}

}  // namespace quorvane::sim
