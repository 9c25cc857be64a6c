// Reading a machine's latest run from its log lines: road, flags, roles, letters, commands, boxes
// and the warnings a log can show.
#include "fleet/log_reader.h"

#include <algorithm>

#include "base/text.h"
#include "fleet/log_run.h"
#include "letters/volume_mapping.h"
#include "procedure/layout_sequence.h"
#include "procedure/log_copy.h"
#include "procedure/recovery_registration.h"
#include "procedure/run_log_grammar.h"
#include "report/warning_texts.h"
#include "run/layout_job.h"
#include "run/run_log.h"

namespace quorvane::fleet {
namespace {

// A failed mapping costs every attempt and the pause after it before its box shows; a mapping
// made at the last attempt costs one pause less.
constexpr int64_t kMountFailedMs = int64_t{kMountAttempts} * kMountRetryPauseMs;
// diskpart's own exit code when it cannot open its script: it ran no command.
constexpr uint32_t kDiskpartScriptNotOpened = 3;

RoleCell Cell(const RoleSlot& slot) { return RoleCell{slot.bFound, slot.nDisk, slot.nPartition}; }

std::string Text(std::string_view bytes) { return Utf8From8Bit(bytes); }

const std::string& TrueText() {
  static const std::string text = Narrow8(BoolText(true));
  return text;
}
const std::string& FalseText() {
  static const std::string text = Narrow8(BoolText(false));
  return text;
}

const std::string& SmbiosFailText() {
  static const std::string text = Narrow8(kSmbiosFailLine);
  return text;
}

const std::string& CopyScript() {
  static const std::string text = Narrow8(CopyCommandLine());
  return text;
}

// The roads' command lines, in the order of kRoads.
const std::array<std::string, 3>& RoadCommands() {
  static const std::array<std::string, 3> lines = {Narrow8(RoadCommandLine(kRoads[0])),
                                                   Narrow8(RoadCommandLine(kRoads[1])),
                                                   Narrow8(RoadCommandLine(kRoads[2]))};
  return lines;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Where the first part of a run's log is: "X:\Quorvane.log or its copy RYTOOLS\Quorvane.log".
std::string FirstPartFiles() {
  return Narrow8(LogFilePath(L"")) + " or its copy " + Narrow8(kToolsFolderName) + "\\" +
         Narrow8(kLogFileName);
}

std::string LineText(const LogMessage& message) {
  return Text(message.message) + "=" + Text(message.value);
}

class Replay {
 public:
  explicit Replay(FleetRow& row) : row_(row) { roles_.fill(Cell(RoleSlot{})); }

  void Line(const RunLine& at) {
    const LogLine& line = *at.line;
    const LogMessage& m = line.message;
    // A line repeated as it stands (a key that held '=' may stand twice) marks no step again.
    if (last_ == nullptr || !SameLine(*last_->line, line)) Landmarks(at);
    if (registerAt_ && !registerChecked_) {
      // W: and C: are mapped before the pause that follows the registration's first line.
      registerChecked_ = true;
      if (line.ms - *registerAt_ >= kLetterSettleMs + kMountFailedMs) MountFailed();
    }
    switch (m.kind) {
      case LineKind::RunStart:
        smbiosFailed_ = m.message == SmbiosFailText();
        break;
      case LineKind::InventoryError:
        row_.inventoryErrors.push_back(m.number[1]);
        break;
      case LineKind::BootMode:
        if (row_.bootMode.empty()) row_.bootMode = LineText(m);
        break;
      case LineKind::RefreshStart:
        // Every slot but the recovery-tools one starts afresh; so do the tables.
        for (int role = 0; role < kRoleCount; ++role) {
          if (role != kRecoveryRole) roles_[role] = Cell(RoleSlot::Reset());
        }
        refreshSeen_ = true;
        row_.disks.clear();
        row_.partitions.clear();
        break;
      case LineKind::Disk:
        if (auto disk = ParseDiskLine(m.message)) row_.disks.push_back(std::move(*disk));
        break;
      case LineKind::Partition:
        if (auto part = ParsePartitionLine(m.message)) row_.partitions.push_back(std::move(*part));
        break;
      case LineKind::Role:
        // After a count of no SSD-sized disk the SSD line only restates the slot.
        if (!(m.which == kSsdRole && ssdCountZero_)) {
          if (auto cell = ParseRoleValue(m.value)) roles_[m.which] = *cell;
        }
        ssdCountZero_ = false;
        break;
      case LineKind::SsdCount:
        ssdCountZero_ = m.number[0] == 0;
        break;
      case LineKind::MiniSsdDisk:
        roles_[kSsdRole] = RoleCell{true, static_cast<int32_t>(m.number[0]), 1};
        roles_[kHddRole] = Cell(RoleSlot::Reset());
        break;
      case LineKind::NoMiniSsd:
        roles_[kSsdRole] = Cell(RoleSlot::Reset());
        roles_[kHddRole] = Cell(RoleSlot::Reset());
        break;
      case LineKind::StandInDisk:
        roles_[kPbrRole].disk = static_cast<int32_t>(m.number[0]);
        roles_[kPbrRole].partition = 1;
        break;
      case LineKind::PbrPartition:
        pbrTarget_ = Text(m.value);
        pbrPartitionAt_ = line.ms;
        break;
      case LineKind::PbrLetter:
        PbrLetter(at);
        break;
      case LineKind::Flag: {
        std::optional<bool>* flags[] = {&row_.ssdHddMode, &row_.miniSsd, &row_.rapidStart};
        *flags[m.which] = m.value == TrueText();
        break;
      }
      case LineKind::Road:
        if (row_.road.empty()) row_.road = kRoadOrder[m.which];
        if (row_.road == kRoadRegister && !registerAt_) registerAt_ = line.ms;
        break;
      case LineKind::CarveDisk:
        carveDisk_ = static_cast<int32_t>(m.number[0]);
        break;
      case LineKind::Command:
        // The image listing's command file is run only when it exists ("true").
        if (m.value != FalseText()) Open(m.text, false);
        break;
      case LineKind::CopyLog:
        Open(m.text, true);
        break;
      case LineKind::CallError:
        CallError(m);
        break;
      case LineKind::ExitCode:
        if (open_) {
          CommandCell& command = row_.commands[*open_];
          if (command.started) command.exitCode = static_cast<uint32_t>(m.number[0]);
          Close();
        }
        break;
      default:
        break;
    }
    last_ = &at;
  }

  void Finish(const MachineRun& run) {
    if (run.lines.empty()) return;
    // A missing part leaves the run's start or end unknown.
    if (run.hasEarly) row_.startMs = run.lines.front().line->ms;
    const bool lateMissing = !pbrLetterSeen_ && !pbrTarget_.empty();
    if (!lateMissing) row_.endMs = run.lines.back().line->ms;
    if (refreshSeen_) row_.roles = roles_;
    row_.pbrPartition = pbrTarget_;
    if (pbrLetterSeen_ && !mNotMapped_ && !pbrTarget_.empty()) {
      row_.letters.push_back(LetterCell{Narrow8(kPbrLetter), pbrTarget_, ""});
    }
    row_.commandsWhole = run.hasEarly && pbrLetterSeen_;
    Completion(run);
    // A run not read whole does not hold every command.
    if (row_.status != RowStatus::Read) row_.commandsWhole = false;
    if (row_.road == kRoadRapidStart && carveDisk_ && carveStarted_ &&
        carveExitCode_ != kDiskpartScriptNotOpened) {
      row_.wipedDisk = carveDisk_;
    }
    Warnings();
  }

 private:
  void MountFailed() { boxes_.push_back(Narrow8(kMountFailedText)); }

  void PbrLetter(const RunLine& at) {
    pbrLetterSeen_ = true;
    if (at.part == LogPart::Late) return;  // the log moved to M:
    // The log stayed on X:. A mapping that failed shows in the time its attempts cost; a mapping
    // made wrote its first line to M: in vain, and that line went to X: as well.
    if (pbrPartitionAt_ && at.line->ms - *pbrPartitionAt_ >= kMountFailedMs) {
      mNotMapped_ = true;
      MountFailed();
    } else {
      lostLine_ = LineText(at.line->message);
    }
  }

  void Open(std::string_view commandLine, bool isCopy) {
    row_.commands.push_back(CommandCell{Text(commandLine), true, std::nullopt, std::nullopt});
    open_ = row_.commands.size() - 1;
    openIsCopy_ = isCopy;
    openIsCarve_ = row_.road == kRoadRapidStart && !isCopy;
    if (openIsCarve_) carveStarted_ = true;
  }

  void Close() {
    if (openIsCarve_) {
      const CommandCell& command = row_.commands[*open_];
      carveStarted_ = command.started;
      carveExitCode_ = command.exitCode;
    }
    open_.reset();
  }

  void CallError(const LogMessage& m) {
    const std::string commandLine = Text(m.text);
    if (!open_ || row_.commands[*open_].commandLine != commandLine) {
      Open(m.text, commandLine == copyScript_);
    }
    CommandCell& command = row_.commands[*open_];
    command.started = false;
    command.lastError = m.number[0];
    boxes_.push_back(Text(m.message));
    // Its "ExitCode:0x0" may have merged into an earlier one of the same millisecond.
    Close();
  }

  void Warnings() {
    using namespace report;
    for (const std::string& box : boxes_) {
      row_.messageBoxes.push_back(MessageBoxCell{box, Narrow8(kProgramName)});
    }
    // A wiped disk that held labelled partitions is the one danger; what else a log shows warns.
    auto warn = [&](const char* kind, std::string text) {
      const Severity severity =
          std::string_view(kind) == kDiskCleanedWarning ? Severity::Danger : Severity::Warning;
      row_.warnings.push_back(WarningCell{kind, std::move(text), severity});
    };
    if (smbiosFailed_) warn(kSmbiosUnreadWarning, SmbiosFailLoggedText(SmbiosFailText()));
    if (mNotMapped_) warn(kLetterRoleWarning, PbrNotMappedText(Narrow8(kPbrLetter), pbrTarget_));
    if (row_.wipedDisk) {
      // A log lists only the partitions that had a letter.
      std::vector<const PartitionCell*> held;
      for (const PartitionCell& part : row_.partitions) {
        if (part.disk == *row_.wipedDisk) held.push_back(&part);
      }
      std::stable_sort(
          held.begin(), held.end(),
          [](const PartitionCell* a, const PartitionCell* b) { return a->index < b->index; });
      std::vector<std::string> labels;
      for (const PartitionCell* part : held) {
        row_.wipedDiskHeld.push_back(part->letter + " \"" + part->label + "\", " + part->sizeGB +
                                     " GB, " + part->type);
        if (!part->label.empty()) labels.push_back(part->label);
      }
      if (!labels.empty()) warn(kDiskCleanedWarning, DiskCleanedText(*row_.wipedDisk, labels));
    }
    for (const std::string& box : boxes_) warn(kMessageBoxWarning, MessageBoxText(box));
    if (!lostLine_.empty()) {
      warn(kLostLogLineWarning,
           LostLinesText(1, lostLine_, lostLine_, Narrow8(LogFilePath(kPbrLetter))));
    }
    for (const CommandCell& command : row_.commands) {
      if (!command.started) {
        warn(kCommandFailedWarning, NotStartedText(*command.lastError, command.commandLine));
      } else if (command.exitCode && *command.exitCode != 0) {
        warn(kCommandFailedWarning, ExitCodeText(*command.exitCode, command.commandLine));
      }
    }
  }

  // Where the run is, step by step: the grammar says which landmark may come next.
  void Landmarks(const RunLine& at) {
    const LogMessage& m = at.line->message;
    std::optional<Landmark> landmark;
    Road road = Road::None;
    size_t summaryLine = 0;
    switch (m.kind) {
      case LineKind::RunStart:
        landmark = Landmark::RunStart;
        break;
      case LineKind::PbrPartition:
        landmark = Landmark::PbrPartition;
        break;
      case LineKind::PbrLetter:
        landmark = Landmark::PbrLetter;
        break;
      case LineKind::Separator:
        landmark = Landmark::SummaryLine;
        break;
      case LineKind::Flag:
        landmark = Landmark::SummaryLine;
        summaryLine = m.which + 1u;
        break;
      case LineKind::Road:
        landmark = Landmark::RoadStart;
        road = kRoads[m.which];
        break;
      case LineKind::CarveSkipped:
        landmark = Landmark::CarveSkipped;
        break;
      case LineKind::Command:
        if (position_.stage == LogStage::InRoad &&
            m.text == RoadCommands()[static_cast<size_t>(position_.road)]) {
          landmark = Landmark::RoadCommand;
        }
        break;
      case LineKind::CopyLog:
        landmark = Landmark::CopyStart;
        break;
      case LineKind::CallError:
        landmark = Landmark::CallError;
        break;
      case LineKind::ExitCode:
        landmark = Landmark::ExitCode;
        break;
      default:
        break;
    }
    if (!landmark || broken_) return;
    if (const auto next = Advance(position_, *landmark, road, summaryLine)) {
      position_ = *next;
      return;
    }
    // Lines are missing before this one: a part of the run ends early.
    broken_ = true;
    const auto wanted = WhatFollows(position_, std::nullopt);
    CutShort("the run's log breaks off at " + Where(last_) + ", where " +
             Quoted(wanted ? Narrow8(wanted->line) : std::string("nothing")) +
             " should follow; it goes on at " + Where(&at));
  }

  // The run's last line: the copy's outcome when the recovery partition was found, else the end
  // of its road.
  void Completion(const MachineRun& run) {
    const LogLine& first = *run.lines.front().line;
    if (first.message.kind != LineKind::RunStart && first.message.kind != LineKind::PbrLetter) {
      CutShort("no run starts in these logs (neither " + Quoted(Narrow8(RunStartLines()[0])) +
               " nor " + Quoted(Narrow8(RunStartLines()[1])) + " nor " +
               Quoted(Narrow8(kPbrLetterLine)) + "): they begin in the middle of a run, at " +
               Where(&run.lines.front()));
      return;
    }
    if (broken_) return;
    // The copy's start tells that the recovery partition was found, when the roles do not.
    std::optional<bool> pbrFound;
    if (refreshSeen_) pbrFound = roles_[kPbrRole].found;
    if (position_.stage >= LogStage::CopyRunning) pbrFound = true;
    auto next = WhatFollows(position_, pbrFound);
    // A line the writer merged into an earlier one of its key and millisecond is not in the log;
    // the run goes on as if it were.
    while (next && next->keyKnown) {
      const RunLine* merged = MergedInto(run, Narrow8(next->line));
      const auto after = merged ? Advance(position_, next->landmark) : std::nullopt;
      if (!after) break;
      row_.notes.push_back("the log has no " + Quoted(Narrow8(next->line)) + " after " +
                           Where(last_) +
                           ": the INI writer merged it into the earlier line of that key and time "
                           "stamp; the run is read whole");
      position_ = *after;
      next = WhatFollows(position_, pbrFound);
    }
    if (!next) return;
    const std::string wanted = Narrow8(next->line);
    std::string why = "the run never reached its last line: its log ends at " + Where(last_) +
                      ", where " + Quoted(wanted) + " should follow";
    if (!next->command.empty()) why += " (the exit code of " + Narrow8(next->command) + ")";
    if (position_.stage == LogStage::FirstPartOver) {
      why += ": it begins the log in the root of the recovery partition (" +
             Narrow8(LogFilePath(kPbrLetter)) + "), which is not among these logs";
    } else if (!pbrFound && wanted == Narrow8(kCopyLogLine)) {
      why += " when the run found the recovery partition, which only the log's first part tells (" +
             FirstPartFiles() + ", not among these logs)";
    }
    CutShort(std::move(why));
  }

  // The earlier line of the run's last part that a missing line `message` of the last line's
  // millisecond would have merged into, or null.
  static const RunLine* MergedInto(const MachineRun& run, const std::string& message) {
    const RunLine& last = run.lines.back();
    for (size_t i = run.lines.size(); i-- > 0;) {
      const RunLine& line = run.lines[i];
      if (line.part != last.part || line.line->ms != last.line->ms) break;
      if (line.line->message.message == message) return &line;
    }
    return nullptr;
  }

  static std::string Where(const RunLine* at) {
    if (at == nullptr) return "its start";
    return Quoted(LineText(at->line->message)) + " (" + FormatLocalTime(at->line->ms) + ")";
  }

  static bool SameLine(const LogLine& a, const LogLine& b) {
    return a.ms == b.ms && a.message.message == b.message.message &&
           a.message.value == b.message.value;
  }

  void CutShort(std::string why) {
    if (row_.status == RowStatus::Read) {
      row_.status = RowStatus::CutShort;
      row_.problem = std::move(why);
    } else if (row_.status == RowStatus::CutShort) {
      row_.problem += "; " + why;
    } else {
      row_.notes.push_back(std::move(why));
    }
  }

  FleetRow& row_;
  const std::string& copyScript_ = CopyScript();
  std::array<RoleCell, kRoleCount> roles_;
  bool smbiosFailed_ = false;
  bool refreshSeen_ = false;
  bool ssdCountZero_ = false;
  std::string pbrTarget_;
  std::optional<int64_t> pbrPartitionAt_;
  bool pbrLetterSeen_ = false;
  bool mNotMapped_ = false;
  std::string lostLine_;
  std::optional<int64_t> registerAt_;
  bool registerChecked_ = false;
  std::vector<std::string> boxes_;
  std::optional<size_t> open_;
  bool openIsCopy_ = false;
  bool openIsCarve_ = false;
  LogPosition position_;
  bool broken_ = false;  // a landmark came out of order: the position is no longer known
  std::optional<int32_t> carveDisk_;
  bool carveStarted_ = false;
  std::optional<uint32_t> carveExitCode_;
  const RunLine* last_ = nullptr;
};

}  // namespace

FleetRow ReadMachineRow(const std::string& machine, const std::vector<LogFile>& files) {
  FleetRow row;
  row.machine = machine;
  row.source = RowSource::Log;
  size_t foreign = 0;
  std::string problems;
  for (const LogFile& file : files) {
    row.logFiles.push_back(file.path);
    if (file.verdict == FileVerdict::Ours) continue;
    foreign += file.verdict == FileVerdict::Foreign ? 1 : 0;
    problems += (problems.empty() ? "" : "; ") + file.path + ": " + file.problem;
  }
  if (!problems.empty()) {
    row.status = foreign == files.size() ? RowStatus::Foreign : RowStatus::Damaged;
    row.problem = problems;
  }
  const MachineRun run = LatestRun(files);
  row.notes = run.notes;
  for (const LogFile& file : files) {
    if (file.endsInLine == 0) continue;
    const std::string cut = file.path + " ends inside line " + std::to_string(file.endsInLine) +
                            ", which is not read: the file was cut while it was written";
    if (row.status == RowStatus::Read) {
      row.status = RowStatus::CutShort;
      row.problem = cut;
    } else if (row.status == RowStatus::CutShort) {
      row.problem += "; " + cut;
    } else {
      row.notes.push_back(cut);
    }
  }
  if (run.lines.empty()) {
    if (row.status == RowStatus::Read) {
      row.status = RowStatus::CutShort;
      row.problem = "no line of a run in these logs";
    }
    return row;
  }
  if (!run.hasEarly) {
    row.notes.push_back("the log before " + Quoted(Narrow8(kPbrLetterLine)) +
                        " is missing: " + FirstPartFiles());
  }
  if (run.earlierRuns > 0) {
    row.notes.push_back(std::to_string(run.earlierRuns) +
                        " earlier run(s) in these logs; the row is the latest run");
  }
  Replay replay(row);
  for (const RunLine& line : run.lines) replay.Line(line);
  replay.Finish(run);
  return row;
}

}  // namespace quorvane::fleet
