// Which of the program's own log lines a line is, read from the engine's log texts.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "fleet/fleet_row.h"

namespace quorvane::fleet {

enum class LineKind : uint8_t {
  Unknown,         // a line of ours that the table does not need, or not one of ours
  RunStart,        // the first line of every run (the SMBIOS record read or not)
  InventoryError,  // numbers: attempt, result code
  BootMode,        // the key and value of the boot-mode line
  RefreshStart,    // the role slots start afresh
  Disk,            // a disk of the refresh (ParseDiskLine)
  Partition,       // a lettered partition of the refresh (ParsePartitionLine)
  Role,            // which: RoleIndex; value: where
  SsdCount,        // number: SSD-sized disks
  MiniSsdDisk,     // number: the cache SSD's disk
  NoMiniSsd,
  StandInDisk,   // number: the disk that stands in for the recovery partition
  PbrPartition,  // value: the device path M: is meant for
  PbrLetter,     // the first line written after M: was mapped
  Separator,     // the line around the flag summary
  Flag,          // which: 0 SSD+HDD mode, 1 mini-SSD, 2 rapid start; value "true" or "false"
  Road,          // which: the road's place in kRoads
  CarveDisk,     // number: the disk the carving wipes
  CarveSkipped,
  Command,    // text: the command line; value "false" when the command file is missing
  CopyLog,    // text: the copy script that runs next
  CallError,  // numbers: the start's error; text: the command line
  ExitCode,   // number: the exit code
};

struct LogMessage {
  LineKind kind = LineKind::Unknown;
  uint8_t which = 0;
  std::string_view message;  // the key without its time stamp
  std::string_view value;
  std::string_view text;
  int64_t number[2] = {0, 0};
};

// `line` is what follows the time stamp: message, '=', value. Both spellings of a message that
// holds '=' are known: as written, and as the INI writer rewrites it when it reads the file back
// (the key ends at its first '=', blanks around that '=' dropped).
LogMessage ClassifyLine(std::string_view line);

// The disk and partition lines of the refresh; empty when the message is not one.
std::optional<DiskCell> ParseDiskLine(std::string_view message);
std::optional<PartitionCell> ParsePartitionLine(std::string_view message);
// "true on <disk> <partition> <device>", the value of a role line.
std::optional<RoleCell> ParseRoleValue(std::string_view value);

}  // namespace quorvane::fleet
