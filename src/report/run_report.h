// What one finished simulated run did, as typed facts: the one source of every output of a run.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "procedure/run_log_grammar.h"

namespace quorvane::report {

// The road is the engine's own record of it (quorvane::Road).
// The roads' names in summary.json and every table.
inline constexpr char kRoadRegisterName[] = "register";
inline constexpr char kRoadRapidStartName[] = "rapid-start";
inline constexpr char kRoadNoneName[] = "none";
const char* RoadName(Road road);

// The six role slots of the run context, in summary.json's order and names.
inline constexpr std::array<const char*, 6> kRoleNames = {"pbr", "sys", "os",
                                                          "ssd", "hdd", "recovery"};

// The volume a letter or a role points at, as the run left it.
struct VolumeNote {
  enum class Kind { Label, NoFileSystem, NoSuchVolume };
  Kind kind = Kind::NoSuchVolume;
  std::string label;  // UTF-8; for Kind::Label
};

// "\"label\"", "no file system" or "no such partition": a volume as the summaries name it.
std::string VolumeText(const VolumeNote& volume);

// The roles a partition can play, in the order their colours are given.
enum class PartitionRole { Pbr, System, Os, Recovery };

struct PartitionReport {
  int64_t sizeMB = 0;
  std::optional<std::string> label;  // UTF-8; empty optional: no file system
  std::string type;
  bool hidden = false;               // not listed by WMI
  int wmiIndex = -1;                 // WMI's Index when listed
  bool created = false;              // made by the run (on a disk it cleaned)
  bool listed = false;               // in the partition table the run decided its roles by
  std::vector<std::string> letters;  // "M:" form
  std::vector<PartitionRole> roles;
};

struct DiskReport {
  int index = 0;
  std::string model;
  std::string style;  // "gpt" or "mbr"
  int64_t sizeMB = 0;
  bool media = true;         // false: a reader without a medium, whose size WMI leaves null
  std::string mediaType;     // WMI MediaType
  bool inventoried = false;  // in the disk table the run decided by
  bool cleaned = false;
  std::vector<std::string> diskRoles;  // "SSD", "HDD"
  std::vector<PartitionReport> partitions;
};

// A slot that a step of the run filled and a later step emptied again.
struct RoleReset {
  std::string why;  // "SSD+HDD mode not met"
  int disk = 0;     // where the slot pointed before
  int partition = 0;
};

// A role slot of the run context as it stands at the end, and what the run did with it.
struct RoleReport {
  std::string name;  // "pbr", "sys", "os", "ssd", "hdd", "recovery"
  bool found = false;
  int disk = 0;
  int partition = 0;
  VolumeNote volume;  // of the partition the slot names
  // What the road did with it: "M:", "W:", "C:" (the letter put on its partition, mapped or
  // not), "wiped disk" (the disk the carving cleaned); empty: nothing.
  std::vector<std::string> use;
  std::optional<RoleReset> reset;
  std::string story;  // the use (or the reset) in words
};

// "disk 0 partition 4  \"OS\"; M: on it", or the story alone of a slot not found: a role as the
// summaries show it.
std::string RoleText(const RoleReport& role);

struct LetterReport {
  std::string letter;  // "M:"
  std::string target;  // the definition in force
  VolumeNote volume;
};

struct CommandReport {
  std::string commandLine;
  bool started = false;
  uint32_t exitCode = 0;   // when started
  uint32_t lastError = 0;  // when not started
};

struct MessageBoxReport {
  std::string text;
  std::string caption;
};

// How much a warning matters, most first: the order every output lists them in.
enum class Severity { Danger, Warning, Note };
// "danger", "warning", "note".
const char* SeverityName(Severity severity);

struct Warning {
  std::string kind;  // "letter-role", "disk-cleaned", "message-box", "lost-log-line", ...
  std::string text;
  Severity severity = Severity::Warning;
};

struct LogFileReport {
  std::string path;                  // relative to the output folder, '/'-separated
  std::vector<std::string> letters;  // the letters in force on its volume at the end
  std::string written;               // the path the run wrote it by: "M:\Quorvane.log"
};

// What the run changed on the machine: disks, letters and files, each with its sentence.
struct DiskChange {
  int index = 0;
  bool cleaned = false;
  std::vector<PartitionReport> before;  // as the run found them
  std::vector<PartitionReport> after;   // as the run left them
  std::vector<std::string> lines;       // what happened, in words
};

struct DiskpartScript {
  std::string commandLine;
  std::string path;                 // the script the command line names
  std::optional<std::string> text;  // as the run wrote it, LF line ends; empty: no such file
  bool started = false;
  uint32_t exitCode = 0;   // when started
  uint32_t lastError = 0;  // when not started
  std::string heading;     // the script, its command and how it ended, in words
};

struct LetterChange {
  std::string letter;
  std::optional<std::string> before;  // the target at start; empty: not defined
  std::optional<std::string> after;   // the target in force at the end; empty: removed
  std::string line;                   // what happened, in words
};

struct Changes {
  std::vector<DiskChange> disks;  // only the disks the run changed
  std::vector<DiskpartScript> diskpartScripts;
  std::vector<LetterChange> letters;  // only the letters the run defined, moved or removed
  std::vector<std::string> files;     // every file the run wrote, relative to the output folder
};

struct RunReport {
  std::string machine;  // the profile's name
  std::string description;
  Road road = Road::None;
  std::string roadWhy;  // "because ..." without the word
  int diskCount = 0;    // the disks the run counted: its probes and its mode check go by them
  bool refreshListed = false;  // the refresh completed: `listed` and `inventoried` are its view
  // What the run could not read, where a fault decided for it.
  bool smbiosReadFailed = false;      // the SMBIOS table was never read (not: it held no record)
  bool firstInventoryFailed = false;  // every attempt failed, though the machine has a fixed disk
  std::string firmwareAnswer;         // how the firmware probe failed, when it told no boot mode
  std::string rapidStartWhy;          // what the capability record said
  // The flags as the flag summary logged them; empty when it never did.
  std::optional<bool> ssdHddMode;
  std::optional<bool> miniSsd;
  std::optional<bool> rapidStart;
  std::vector<RoleReport> roles;      // pbr, sys, os, ssd, hdd, recovery
  std::string pbrPartition;           // the device path M: was meant for; "" when never logged
  std::vector<LetterReport> letters;  // every letter defined at the end, ascending
  std::vector<CommandReport> commands;
  std::vector<MessageBoxReport> messageBoxes;
  std::vector<Warning> warnings;
  std::vector<LogFileReport> logFiles;
  std::vector<std::string> filesWritten;  // other files the run left, relative to the output
  Changes changes;
  uint64_t simulatedMs = 0;

  // The layout before and after: disks with letters and roles placed on their partitions.
  std::vector<DiskReport> disksBefore;
  std::vector<DiskReport> disksAfter;
  std::vector<LetterReport> otherLettersBefore;  // letters on no partition of a listed disk
  std::vector<LetterReport> otherLettersAfter;
  std::vector<std::string> unplacedRoles;  // roles whose partition no listed disk holds
};

}  // namespace quorvane::report
