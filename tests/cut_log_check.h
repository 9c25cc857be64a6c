// Test helper: the fleet reader against one simulated run. The logs a technician may find after it
// (the log in the root of M:, its RYTOOLS copy, X:\Quorvane.log where the log stayed there), read
// whole, give the run's own report; cut at any line boundary or inside a line, never a run read
// whole. Used by the property test over the scenarios and by the fuzz target of random machines.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "base/text.h"
#include "fleet/fleet_row.h"
#include "fleet/log_file.h"
#include "fleet/log_reader.h"
#include "fleet/row_of_report.h"
#include "fleet/table_writers.h"
#include "platform/sim/profile.h"
#include "platform/sim/sim_platform.h"
#include "procedure/layout_sequence.h"
#include "procedure/log_copy.h"
#include "procedure/run_log_grammar.h"
#include "report/run_report.h"
#include "run/run_log.h"

namespace quorvane::fleet::testing {

struct FoundLog {
  std::string path;  // in the machine's folder: "Quorvane.log", "RYTOOLS/Quorvane.log"
  std::string bytes;
  bool firstPart = false;  // X:\Quorvane.log or its copy, not the log on M:
};

struct FoundLogs {
  std::vector<FoundLog> files;
  // The files hold only lines the run wrote (no log file was there before it): a cut of them is
  // cut short or damaged, never foreign.
  bool own = false;
  // Besides, none was lost and the run's end is in them: read together they must give the run's
  // report.
  bool whole = false;
};

inline bool IsLogName(const std::string& name) {
  return EqualsIgnoreCaseAscii(FromUtf8(name), kLogFileName);
}

// The logs of the run as they stand, and whether they hold it whole. Where the log moved to M: but
// no copy was made (no recovery partition), X:\Quorvane.log is added, copied before the reboot:
// without its first part a log cannot tell whether the copy was due.
inline FoundLogs FindLogs(const sim::Profile& loaded, const sim::SimPlatform& machine) {
  FoundLogs found;
  std::string lateFile;
  bool lost = false;
  for (const auto& write : machine.LogWrites()) {
    // M: that could not take "PBR letter" sends it to X: again: that loss is the run's own.
    if (!write.written) lost = lost || quorvane::LogMessage(write.key) != kPbrLetterLine;
    if (write.written && write.file == LogFilePath(kPbrLetter)) lateFile = write.hostFile;
  }
  auto bytesAt = [&](const std::string& tree) -> const std::string* {
    const auto* entry = machine.EntryAt(tree);
    return entry != nullptr && !entry->folder ? &entry->bytes : nullptr;
  };
  const std::string xLog = "volumes/X/" + Narrow8(kLogFileName);
  if (!lateFile.empty()) {
    found.files.push_back(FoundLog{"Quorvane.log", *bytesAt(lateFile), false});
    // The copy lies in the tools folder beside it.
    const std::string volume = lateFile.substr(0, lateFile.rfind('/') + 1);
    for (const auto& [name, files] : machine.Volumes()) {
      if ("volumes/" + name + "/" != volume) continue;
      files.ForEachFile([&](const std::string& inside, const sim::VolumeFiles::Entry& entry) {
        const size_t slash = inside.find('/');
        if (slash == std::string::npos || inside.find('/', slash + 1) != std::string::npos) return;
        if (!EqualsIgnoreCaseAscii(FromUtf8(inside.substr(0, slash)), kToolsFolderName)) return;
        if (IsLogName(inside.substr(slash + 1)) && !entry.folder) {
          found.files.push_back(FoundLog{"RYTOOLS/Quorvane.log", entry.bytes, true});
        }
      });
    }
    if (found.files.size() == 1 && bytesAt(xLog) != nullptr) {
      found.files.push_back(FoundLog{"X/Quorvane.log", *bytesAt(xLog), true});
    }
  } else if (bytesAt(xLog) != nullptr) {
    found.files.push_back(FoundLog{"Quorvane.log", *bytesAt(xLog), true});
  }
  // A log file the profile put there holds more than the run wrote.
  bool given = false;
  auto check = [&](const std::map<std::string, sim::FileSpec>& files) {
    for (const auto& [path, content] : files) {
      const std::string name = path.substr(path.rfind('/') + 1);
      given = given || IsLogName(name);
    }
  };
  for (const auto& disk : loaded.disks)
    for (const auto& part : disk.partitions) check(part.files);
  for (const auto& drive : loaded.drives) check(drive.files);
  found.own = !given;
  found.whole = !found.files.empty() && !lost && !given;
  return found;
}

inline FleetRow ReadRow(const std::vector<const FoundLog*>& logs,
                        const std::vector<std::string>& bytes) {
  std::vector<LogFile> files;
  for (size_t i = 0; i < logs.size(); ++i) {
    LogFile file;
    file.path = logs[i]->path;
    file.bytes.assign(bytes[i].begin(), bytes[i].end());
    ScanLogFile(file);
    files.push_back(std::move(file));
  }
  return ReadMachineRow("machine", files);
}

// The run's own report as a row must equal the row read from its whole logs, field by field as
// the fleet JSON gives them.
inline void CompareWhole(const FleetRow& read, const FleetRow& want,
                         std::vector<std::string>& faults) {
  if (read.status != RowStatus::Read)
    faults.push_back("the whole logs read as " + std::string(StatusName(read.status)) + ": " +
                     read.problem);
  const auto got = RowJson(read), wanted = RowJson(want);
  for (const char* field : {"road", "flags", "roles", "pbrPartition", "commands", "wipedDisk"}) {
    // A carving that failed may have stopped before its clean: a log cannot tell, and counts the
    // disk as wiped.
    const bool carveFailed = std::any_of(read.commands.begin(), read.commands.end(), [](auto& c) {
      return c.commandLine == Narrow8(RoadCommandLine(Road::RapidStart)) && c.exitCode != 0u;
    });
    if (std::string_view(field) == "wipedDisk" && !want.wipedDisk && carveFailed) continue;
    if (got[field] != wanted[field]) {
      faults.push_back(std::string("the whole logs read ") + field + " " + got[field].dump() +
                       ", the run's report " + wanted[field].dump());
    }
  }
}

// Every way a cut of `logs` reads as a whole run, and every way the whole logs differ from the
// report; `cutsOf` limits the cuts to one file (SIZE_MAX: every file), `at` to one cut point
// (SIZE_MAX: every line boundary and a point inside every line).
inline std::vector<std::string> CutLogFaults(const FoundLogs& logs, const report::RunReport& report,
                                             size_t cutsOf = SIZE_MAX, size_t at = SIZE_MAX) {
  std::vector<std::string> faults;
  std::vector<const FoundLog*> all;
  std::vector<std::string> bytes;
  for (const FoundLog& log : logs.files) {
    all.push_back(&log);
    bytes.push_back(log.bytes);
  }
  if (logs.whole) CompareWhole(ReadRow(all, bytes), RowOfReport(report, ""), faults);

  for (size_t f = 0; f < logs.files.size(); ++f) {
    if (cutsOf != SIZE_MAX && f != cutsOf) continue;
    const FoundLog& cut = logs.files[f];
    // Points to cut at: after each line end but the last, and inside each line (in its text,
    // before its CR, between CR and LF, by turns).
    std::vector<size_t> points;
    size_t start = 0;
    for (size_t line = 0; start < cut.bytes.size(); ++line) {
      size_t end = cut.bytes.find('\n', start);
      if (end == std::string::npos) end = cut.bytes.size() - 1;
      const size_t text = end > start && cut.bytes[end - 1] == '\r' ? end - 1 : end;
      const size_t inside[] = {start + (text - start) / 2, text, end};
      points.push_back(inside[line % 3]);
      if (end + 1 < cut.bytes.size()) points.push_back(end + 1);
      start = end + 1;
    }
    if (at != SIZE_MAX) points = {at % (cut.bytes.size() + 1)};
    // The cut file alone, as a power cut leaves it, and beside the files of the other part.
    std::vector<const FoundLog*> alone{&cut}, beside{&cut};
    for (const FoundLog& other : logs.files) {
      if (&other != &cut && other.firstPart != cut.firstPart) beside.push_back(&other);
    }
    for (size_t point : points) {
      if (point >= cut.bytes.size()) continue;
      for (const auto* set : {&alone, &beside}) {
        if (set == &beside && beside.size() == 1) continue;
        std::vector<std::string> setBytes{cut.bytes.substr(0, point)};
        for (size_t i = 1; i < set->size(); ++i) setBytes.push_back((*set)[i]->bytes);
        const FleetRow row = ReadRow(*set, setBytes);
        const bool notWhole = row.status == RowStatus::CutShort ||
                              row.status == RowStatus::Damaged ||
                              (!logs.own && row.status == RowStatus::Foreign);
        if (!notWhole) {
          faults.push_back(
              cut.path + " cut at byte " + std::to_string(point) +
              (set == &alone ? " alone" : " beside the other part") + " reads as " +
              StatusName(row.status) + ": ..." +
              cut.bytes.substr(point > 80 ? point - 80 : 0, std::min<size_t>(point, 80)));
        }
      }
    }
  }
  return faults;
}

}  // namespace quorvane::fleet::testing
