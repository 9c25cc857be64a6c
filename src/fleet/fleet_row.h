// One machine of a fleet table: what its run did, as far as the row's source tells.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "report/run_report.h"

namespace quorvane::fleet {

// How far a row could be read or run. A log's row is Read or one of the three after it; a
// profile's row is Simulated (its run completed) or BadProfile (it could not be loaded). Every
// status but Read and Simulated makes the row a failed one.
enum class RowStatus { Read, CutShort, Damaged, Foreign, Simulated, BadProfile };
// "read", "cut-short", "damaged", "foreign", "simulated", "bad-profile".
const char* StatusName(RowStatus status);

// Where a row comes from: a machine's real run logs, or a simulated run's report.
enum class RowSource { Log, Simulation };
const char* SourceName(RowSource source);  // "log", "simulation"

// The roads, as summary.json names them.
inline constexpr const char* kRoadRegister = report::kRoadRegisterName;
inline constexpr const char* kRoadRapidStart = report::kRoadRapidStartName;
inline constexpr const char* kRoadNone = report::kRoadNoneName;
inline constexpr std::array<const char*, 3> kRoadOrder = {kRoadRegister, kRoadRapidStart,
                                                          kRoadNone};

// The role slots in summary.json's order and names.
enum RoleIndex { kPbrRole, kSysRole, kOsRole, kSsdRole, kHddRole, kRecoveryRole, kRoleCount };
using report::kRoleNames;
static_assert(kRoleNames.size() == kRoleCount);

struct RoleCell {
  bool found = false;
  int32_t disk = 0;
  int32_t partition = 0;  // 1-based, the kernel's numbering
  bool operator==(const RoleCell&) const = default;
};

struct CommandCell {
  std::string commandLine;
  bool started = true;
  std::optional<uint32_t> exitCode;  // empty: it did not start, or its end is not known
  std::optional<int64_t> lastError;  // why it did not start
};

struct MessageBoxCell {
  std::string text;
  std::string caption;
};

struct WarningCell {
  std::string kind;  // "letter-role", "disk-cleaned", "message-box", "lost-log-line", ...
  std::string text;
  report::Severity severity = report::Severity::Warning;  // as summary.json gives it
};

struct LetterCell {
  std::string letter;  // "M:"
  std::string target;  // "\Device\Harddisk1\Partition1"
  std::string volume;  // what the target holds ("\"PQSERVICE2\"", "no file system"); "" unknown
};

// A disk as the run's inventory listed it.
struct DiskCell {
  int32_t index = 0;
  std::string model;
  std::string deviceId;
  int32_t partitions = 0;  // as WMI counts them (hidden ones left out)
  int64_t sizeMB = 0;
  std::string style;  // "gpt" or "mbr"
};

// A lettered partition as the run's inventory listed it.
struct PartitionCell {
  int32_t disk = 0;
  int32_t index = 0;  // WMI's 0-based index on its disk
  std::string letter;
  std::string label;   // as logged (upper case)
  std::string sizeGB;  // as logged, two decimals
  std::string type;
};

// Predicted against actual: how a machine's simulated run and its real one compare.
enum class Comparison {
  Same,        // both rows read whole, and they agree wherever both can tell
  Differs,     // they disagree somewhere both can tell
  Incomplete,  // they agree where both can tell, but a row could not be read or run whole
  NoLog,       // a profile whose machine has no log
  NoProfile,   // a log whose machine has no profile
};
// "same", "differs", "incomplete", "no-log", "no-profile".
const char* ComparisonName(Comparison comparison);

struct RunDifference {
  std::string what;       // "road", "ssdHddMode", "miniSsd", "rapidStart", "wipedDisk", "command"
  std::string predicted;  // as the table shows it; "" where that side has nothing
  std::string actual;

  bool operator==(const RunDifference&) const = default;
};

// Text is UTF-8. A field the source cannot know stays empty (an empty optional, string or list).
struct FleetRow {
  std::string machine;
  RowSource source = RowSource::Log;
  RowStatus status = RowStatus::Read;
  std::string problem;             // why the row is not read whole; empty when it is
  std::vector<std::string> notes;  // what else a technician should know (a missing part, ...)
  std::vector<std::string> logFiles;
  std::string profileFile;  // the profile a simulated row ran, as the input named it

  // Local time of the first and the last line, milliseconds since 1970-01-01 00:00.
  std::optional<int64_t> startMs;
  std::optional<int64_t> endMs;

  std::string road;  // kRoadRegister, kRoadRapidStart, kRoadNone
  std::optional<bool> ssdHddMode;
  std::optional<bool> miniSsd;
  std::optional<bool> rapidStart;
  std::optional<std::array<RoleCell, kRoleCount>> roles;  // the slots as the run left them
  std::string pbrPartition;         // the device path M: was meant for ("PBR Partition")
  std::vector<LetterCell> letters;  // the letters mapped at the end, as far as the source tells

  std::vector<CommandCell> commands;
  bool commandsWhole = false;  // the list holds every command of the run
  std::vector<MessageBoxCell> messageBoxes;
  std::vector<WarningCell> warnings;
  std::optional<int32_t> wipedDisk;        // known only with the road; empty then: no disk wiped
  std::vector<std::string> wipedDiskHeld;  // the wiped disk's partitions before, as far as known
  std::optional<uint64_t> simulatedMs;     // a simulated run's virtual time, start to end

  std::vector<int64_t> inventoryErrors;  // result codes of failed inventory attempts, in order
  std::string bootMode;                  // the boot-mode line, "KEY=VALUE"
  std::vector<DiskCell> disks;
  std::vector<PartitionCell> partitions;

  // Set when a batch is compared with logs: the same on the predicted and the actual row.
  std::optional<Comparison> comparison;
  std::vector<RunDifference> differences;
};

// A row that could not be read or run whole: foreign, damaged, cut short or a bad profile.
bool RowFailed(const FleetRow& row);
bool StatusFailed(RowStatus status);

// From the run's first log line to its last; empty when either is not known.
std::optional<int64_t> DurationMs(const FleetRow& row);

// "2026-12-07 14:05:03.042".
std::string FormatLocalTime(int64_t ms);
// Milliseconds since 1970-01-01 00:00 of a date and time in the proleptic Gregorian calendar.
int64_t LocalTimeMs(int year, int month, int day, int hour, int minute, int second,
                    int millisecond);

}  // namespace quorvane::fleet
