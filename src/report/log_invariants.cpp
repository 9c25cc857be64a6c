// Invariants read from the run's log and the machine's records: the run completes, its log lines
// are kept, and the simulated time covers the waits it made.
#include <algorithm>
#include <cwctype>
#include <optional>
#include <set>

#include "base/text.h"
#include "classify/partition_roles.h"
#include "inventory/disk_inventory.h"
#include "letters/volume_mapping.h"
#include "procedure/layout_sequence.h"
#include "procedure/log_copy.h"
#include "procedure/rapid_start.h"
#include "procedure/recovery_registration.h"
#include "procedure/run_log_grammar.h"
#include "report/invariant_checks.h"
#include "report/warning_texts.h"
#include "run/command.h"
#include "run/run_log.h"

namespace quorvane::report::invariants {
namespace {

using LogWrite = sim::SimPlatform::LogWrite;

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsHexDigit(wchar_t c) {
  return IsDigit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

// The length of the number at the start of `text` that a conversion prints; 0 when none.
size_t NumberLength(std::wstring_view text, wchar_t kind) {
  size_t n = 0;
  if (kind != L'x' && n < text.size() && text[n] == L'-') ++n;
  const size_t digitsFrom = n;
  while (n < text.size() && (kind == L'x' ? IsHexDigit(text[n]) : IsDigit(text[n]))) ++n;
  if (n == digitsFrom) return 0;
  if (kind == L'f' && n < text.size() && text[n] == L'.') {
    ++n;
    while (n < text.size() && IsDigit(text[n])) ++n;
  }
  return n;
}

std::string Quoted8(const LogWrite& write) {
  return Quoted(ToUtf8(LogMessage(write.key)) + "=" + ToUtf8(write.value));
}

}  // namespace

bool MatchesLogFormat(std::wstring_view message, std::wstring_view format) {
  while (!format.empty()) {
    if (format[0] != L'%' || (format.size() > 1 && format[1] == L'%')) {
      const size_t skip = format[0] == L'%' ? 2 : 1;
      if (message.empty() || message[0] != format[0]) return false;
      message.remove_prefix(1);
      format.remove_prefix(skip);
      continue;
    }
    size_t end = 1;  // flags, width and precision up to the conversion's letter
    while (end < format.size() && !std::iswalpha(static_cast<wint_t>(format[end]))) ++end;
    if (end == format.size()) return false;
    const wchar_t kind = format[end];
    format.remove_prefix(end + 1);
    if (kind == L's') {
      for (size_t n = 0; n <= message.size(); ++n)
        if (MatchesLogFormat(message.substr(n), format)) return true;
      return false;
    }
    const size_t n = NumberLength(message, kind);
    if (n == 0) return false;
    message.remove_prefix(n);
  }
  return message.empty();
}

namespace {

// The landmark of the run's grammar a message is, if any.
std::optional<Landmark> LandmarkOf(std::wstring_view message, const LogPosition& at, Road& road,
                                   size_t& summaryLine) {
  for (const wchar_t* line : RunStartLines())
    if (message == line) return Landmark::RunStart;
  if (message == kPbrPartitionLine) return Landmark::PbrPartition;
  if (message == kPbrLetterLine) return Landmark::PbrLetter;
  const auto summary = FlagSummaryLines();
  for (size_t i = 0; i + 1 < summary.size(); ++i) {
    if (message != summary[i]) continue;
    summaryLine = i;
    return Landmark::SummaryLine;
  }
  for (Road each : kRoads) {
    if (message != RoadFirstLine(each)) continue;
    road = each;
    return Landmark::RoadStart;
  }
  for (const wchar_t* line : RapidStartSkipLines())
    if (message == line) return Landmark::CarveSkipped;
  if (at.stage == LogStage::InRoad && message == RoadCommandLine(at.road))
    return Landmark::RoadCommand;
  if (message == kCopyLogLine) return Landmark::CopyStart;
  if (MatchesLogFormat(message, kCallErrorLine)) return Landmark::CallError;
  if (MatchesLogFormat(message, kExitCodeLine)) return Landmark::ExitCode;
  return std::nullopt;
}

}  // namespace

// Every line the run wrote, lost or not, in the order of the run's grammar, up to its last line.
void CheckCompleted(const CheckedRun& run, Broken& broken) {
  LogPosition at;
  for (const LogWrite& write : run.machine.LogWrites()) {
    const std::wstring_view message = LogMessage(write.key);
    Road road = Road::None;
    size_t summaryLine = 0;
    const auto landmark = LandmarkOf(message, at, road, summaryLine);
    if (!landmark) continue;
    // "PBR letter" that M: could not take is written again on X:.
    if (*landmark == Landmark::PbrLetter && at.stage == LogStage::SummaryNext &&
        at.summaryLines == 0) {
      continue;
    }
    const auto next = Advance(at, *landmark, road, summaryLine);
    if (!next) {
      broken.push_back("the run's log does not follow its grammar: \"" + ToUtf8(message) +
                       "\" came where it cannot");
      return;
    }
    at = *next;
  }
  bool pbrFound = false;
  for (const RoleReport& role : run.report.roles)
    pbrFound |= role.name == kRoleNames[0] && role.found;
  if (const auto next = WhatFollows(at, pbrFound)) {
    broken.push_back("the run did not complete: its log ends before \"" + ToUtf8(next->line) +
                     "\"");
  }
}

namespace {

// Every line of every file named Quorvane.log on the machine at the end, as the files hold them.
std::set<std::string> LinesOfLogs(const sim::SimPlatform& machine) {
  std::set<std::string> lines;
  for (const auto& [volume, files] : machine.Volumes()) {
    files.ForEachFile([&](const std::string& path, const sim::VolumeFiles::Entry& file) {
      const std::string name = path.substr(path.rfind('/') + 1);
      if (!EqualsIgnoreCaseAscii(FromUtf8(name), kLogFileName)) return;
      size_t start = 0;
      while (start < file.bytes.size()) {
        size_t end = file.bytes.find('\n', start);
        if (end == std::string::npos) end = file.bytes.size();
        std::string line = file.bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.insert(std::move(line));
        start = end + 1;
      }
    });
  }
  return lines;
}

// The key the INI writer files a line under: its text up to the first '=', blanks trimmed, case
// ignored.
std::string IniKey(const std::wstring& key) {
  std::string text = Narrow8(key);
  text = text.substr(0, text.find('='));
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

// A later write decides the line's fate: the same line written again (to another file when the
// first could not take it), or a line of the same key in the same file that took its place (one
// millisecond, one key).
bool WrittenAgain(const std::vector<LogWrite>& writes, size_t i) {
  for (size_t j = i + 1; j < writes.size(); ++j) {
    if (writes[j].key == writes[i].key && writes[j].value == writes[i].value) return true;
    if (writes[j].written && writes[j].hostFile == writes[i].hostFile &&
        IniKey(writes[j].key) == IniKey(writes[i].key))
      return true;
  }
  return false;
}

// What made a log file unwritable, if the profile says: a fault of its letter or its path, or a
// RAM drive without a file system.
std::string WhyUnwritable(const sim::Profile& loaded, const std::wstring& file) {
  const std::wstring letter = ToUpperAscii(file.substr(0, 2));
  const auto& faults = loaded.faults;
  if (std::find(faults.readOnly.begin(), faults.readOnly.end(), letter) != faults.readOnly.end())
    return "readOnly";
  for (const auto& path : faults.cannotCreate)
    if (EqualsIgnoreCaseAscii(path, file)) return "cannotCreate";
  if (auto it = faults.mountFailures.find(letter); it != faults.mountFailures.end() && it->second)
    return "mountFailures";
  for (const auto& drive : loaded.drives)
    if (drive.letter == letter && letter == L"X:" && !drive.label) return "no file system";
  if (letter == L"X:" && !loaded.ramDrive) return "no RAM drive";
  return "";
}

// Whether a lost-log-line warning quotes the line, or quotes two lost lines of the same file
// around it as the ends of a run of lost lines. `quoted[k]` is lost line `lost[k]` as quoted.
bool QuotedByWarning(const RunReport& report, const std::vector<LogWrite>& writes,
                     const std::vector<size_t>& lost, const std::vector<std::string>& quoted,
                     size_t k) {
  const size_t i = lost[k];
  for (const auto& warning : report.warnings) {
    if (warning.kind != kLostLogLineWarning) continue;
    if (warning.text.find(quoted[k]) != std::string::npos) return true;
    bool before = false;
    bool after = false;
    for (size_t o = 0; o < lost.size(); ++o) {
      const size_t other = lost[o];
      if (writes[other].file != writes[i].file || warning.text.find(quoted[o]) == std::string::npos)
        continue;
      before = before || other < i;
      after = after || other > i;
    }
    if (before && after) return true;
  }
  return false;
}

}  // namespace

void CheckLogLinesKept(const CheckedRun& run, Broken& broken) {
  const auto& writes = run.machine.LogWrites();
  const std::set<std::string> kept = LinesOfLogs(run.machine);
  std::vector<size_t> lost;
  for (size_t i = 0; i < writes.size(); ++i) {
    if (kept.count(Narrow8(writes[i].key) + "=" + Narrow8(writes[i].value)) ||
        WrittenAgain(writes, i))
      continue;
    if (writes[i].written) {
      broken.push_back("log line " + Quoted8(writes[i]) + " went into " + writes[i].hostFile +
                       " but is in no Quorvane.log at the end of the run");
      continue;
    }
    lost.push_back(i);
    if (WhyUnwritable(run.loaded, writes[i].file).empty())
      broken.push_back("log line " + Quoted8(writes[i]) + " was lost to " + ToUtf8(writes[i].file) +
                       ", which no injected fault made unwritable");
  }
  std::vector<std::string> quoted;  // each lost line quoted once
  for (size_t i : lost) quoted.push_back(Quoted8(writes[i]));
  for (size_t k = 0; k < lost.size(); ++k)
    if (!QuotedByWarning(run.report, writes, lost, quoted, k))
      broken.push_back("log line " + quoted[k] + " was lost to " + ToUtf8(writes[lost[k]].file) +
                       " and no lost-log-line warning names it");
}

void CheckWaits(const CheckedRun& run, Broken& broken) {
  uint64_t failedAttempts = 0;
  uint64_t partitionLines = 0;
  uint64_t registrations = 0;
  for (const auto& write : run.machine.LogWrites()) {
    const std::wstring_view message = LogMessage(write.key);
    if (MatchesLogFormat(message, kInventoryErrorLine)) {
      ++failedAttempts;
    } else if (MatchesLogFormat(message, kPartitionLine)) {
      ++partitionLines;
    } else if (message == kRegisterLine) {
      ++registrations;
    }
  }
  const auto& mappings = run.machine.Mappings();
  const auto failedMappings = static_cast<uint64_t>(
      std::count_if(mappings.begin(), mappings.end(), [](const auto& m) { return !m.made; }));
  const auto& commands = run.machine.Commands();
  const auto started = static_cast<uint64_t>(
      std::count_if(commands.begin(), commands.end(), [](const auto& c) { return c.started; }));
  const uint64_t waits = failedAttempts * kInventoryRetryPauseMs +
                         partitionLines * kPartitionLinePauseMs +
                         failedMappings * kMountRetryPauseMs + registrations * kLetterSettleMs +
                         started * run.loaded.tools.durationMs;
  if (run.machine.ElapsedMs() >= waits) return;
  broken.push_back(
      "the simulated time, " + std::to_string(run.machine.ElapsedMs()) + " ms, is less than the " +
      std::to_string(waits) + " ms of waits the run made (" + std::to_string(failedAttempts) +
      " failed inventory attempts, " + std::to_string(partitionLines) + " partition lines, " +
      std::to_string(failedMappings) + " failed mappings, " + std::to_string(registrations) +
      " registrations, " + std::to_string(started) + " started commands)");
}

}  // namespace quorvane::report::invariants
