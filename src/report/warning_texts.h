// The kinds and texts of the warnings a run's report gives, whichever source (a simulated run, a
// real run's log) tells of them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "report/run_report.h"

namespace quorvane::report {

inline constexpr char kLetterRoleWarning[] = "letter-role";
inline constexpr char kDiskCleanedWarning[] = "disk-cleaned";
inline constexpr char kMessageBoxWarning[] = "message-box";
inline constexpr char kLostLogLineWarning[] = "lost-log-line";
inline constexpr char kCommandFailedWarning[] = "command-failed";
// What the run could not see (a simulated run tells them; a log does not).
inline constexpr char kNoDiskWarning[] = "no-disk";
inline constexpr char kDiskNotInventoriedWarning[] = "disk-not-inventoried";
inline constexpr char kFirmwareUndeterminedWarning[] = "firmware-undetermined";
inline constexpr char kLabelUnreachableWarning[] = "label-unreachable";
// A fact the run needed for a decision and could not read (a log shows the SMBIOS one).
inline constexpr char kSmbiosUnreadWarning[] = "smbios-unread";
// A size of the profile that cannot be a real disk's size in MB.
inline constexpr char kImplausibleSizeWarning[] = "implausible-size";
// What the capture of a real machine could not read and what its profile holds instead: a note
// that may change the prediction, and one that does not (the run reads the machine the same).
inline constexpr char kCaptureNoteWarning[] = "capture-note";
inline constexpr char kCaptureFactWarning[] = "capture-fact";
// The RAM drive's log cannot be written: the real run leaves no log, or only its later lines.
inline constexpr char kNoRamLogWarning[] = "no-ram-log";

inline std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// How a warning of each kind ranks, whichever source raised it.
inline Severity KindSeverity(std::string_view kind) {
  if (kind == kDiskCleanedWarning) return Severity::Danger;
  if (kind == kDiskNotInventoriedWarning || kind == kCaptureNoteWarning ||
      kind == kCaptureFactWarning || kind == kImplausibleSizeWarning)
    return Severity::Note;
  return Severity::Warning;
}

// What ends the warning of a fault that took a decision from the run.
inline constexpr char kRerunMayDecideOtherwise[] = "a rerun may decide otherwise";

// A log shows "Get SMBIOS fail" both when the read failed and when the machine has no record.
inline std::string SmbiosFailLoggedText(std::string_view line) {
  return "the log shows " + Quoted(line) +
         ": the run read no SMBIOS capability record, so rapid start stayed off; a log cannot "
         "tell a failed read from a machine without the record, and if the read failed, " +
         kRerunMayDecideOtherwise;
}

// M: was never mapped; `meantFor` is the device path it was meant for, when known.
inline std::string PbrNotMappedText(std::string_view letter, std::string_view meantFor) {
  std::string text = std::string(letter) + " is not mapped";
  if (!meantFor.empty()) text += " (it was meant for " + std::string(meantFor) + ")";
  return text + ": the log stayed on the RAM drive X:, which is lost at the next reboot";
}

inline std::string DiskCleanedText(int64_t disk, const std::vector<std::string>& labels) {
  std::string list;
  for (const auto& label : labels) list += (list.empty() ? "" : ", ") + Quoted(label);
  return "disk " + std::to_string(disk) + " was wiped while it held " + list;
}

// One of the profile's captureNotes: its sentence, then the raw fact; an older capture's note
// holds the fact alone.
inline std::string CaptureNoteText(std::string_view text, std::string_view fact) {
  if (text.empty()) return "the capture noted: " + std::string(fact);
  return "capture: " + std::string(text) + " [" + std::string(fact) + "]";
}

inline std::string MessageBoxText(std::string_view boxText) {
  return "a message box stops the run until someone presses OK: " + Quoted(boxText);
}

// `first` and `last` are the lost lines as "message=value"; `file` the log file they missed.
inline std::string LostLinesText(size_t count, std::string_view first, std::string_view last,
                                 std::string_view file) {
  const std::string lines = count == 1 ? "1 log line lost: " + Quoted(first)
                                       : std::to_string(count) + " log lines lost, from " +
                                             Quoted(first) + " to " + Quoted(last);
  return lines + " (" + std::string(file) + " cannot be written)";
}

inline std::string NotStartedText(int64_t lastError, std::string_view commandLine) {
  return "could not start (error " + std::to_string(lastError) + "): " + std::string(commandLine);
}

inline std::string ExitCodeText(uint32_t exitCode, std::string_view commandLine) {
  return "ended with exit code " + std::to_string(exitCode) + ": " + std::string(commandLine);
}

}  // namespace quorvane::report
