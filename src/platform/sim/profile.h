// A simulated machine as its JSON profile describes it (see docs/simulator.md).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace quorvane {
// Profiles compare whole, their start time included.
inline bool operator==(const LocalTime& a, const LocalTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
         a.minute == b.minute && a.second == b.second && a.millisecond == b.millisecond;
}
}  // namespace quorvane

namespace quorvane::sim {

// A file or folder that a profile puts on a volume. Paths use '/' and are
// relative to the volume root; a folder's path ends in '/'.
struct FileSpec {
  enum class Kind { Text, Folder, Wim };
  Kind kind = Kind::Text;
  std::string text;                     // Text: the bytes of the file (8-bit, as Windows keeps it)
  std::vector<std::wstring> wimImages;  // Wim: the image names dism lists
  bool operator==(const FileSpec&) const = default;
};

struct PartitionSpec {
  int64_t sizeMB = 0;
  std::optional<std::wstring> label;   // empty optional: no readable volume (null in JSON)
  std::wstring type;                   // WMI Win32_DiskPartition.Type
  bool hidden = false;                 // not listed by WMI, still counts in kernel numbering
  std::optional<int> wmiIndex;         // WMI's Index; empty: its place among the listed ones
  std::optional<std::wstring> letter;  // "C:" form
  std::map<std::string, FileSpec> files;
  bool operator==(const PartitionSpec&) const = default;
};

// The MBR signature of a disk whose profile gives none: non-zero and different for each index.
inline uint32_t DefaultSignature(int index) {
  return 0x51A70000u + static_cast<uint32_t>(index) + 1;
}

struct DiskSpec;
// WMI's Index of each partition of a disk, in kernel order; -1 for a hidden one.
std::vector<int> WmiIndexes(const DiskSpec& disk);

struct DiskSpec {
  int index = 0;
  std::wstring model;
  std::wstring deviceId;
  std::wstring mediaType = L"Fixed hard disk media";
  int64_t sizeMB = 0;
  bool media = true;
  bool gpt = true;  // style "gpt"; false for "mbr"
  uint32_t signature = 0;
  std::vector<PartitionSpec> partitions;
  bool operator==(const DiskSpec&) const = default;
};

inline std::vector<int> WmiIndexes(const DiskSpec& disk) {
  std::vector<int> indexes;
  int place = 0;
  for (const auto& part : disk.partitions) {
    indexes.push_back(part.hidden ? -1 : part.wmiIndex.value_or(place));
    place += part.hidden ? 0 : 1;
  }
  return indexes;
}

struct DriveSpec {
  std::wstring letter;                // "X:" form
  std::optional<std::wstring> label;  // null: no readable volume (an empty optical drive)
  std::map<std::string, FileSpec> files;
  // A partition's device path ("\Device\Harddisk0\Partition1") the letter opens instead of a
  // volume of its own: a second letter of a partition, or one a run defined. No label, no files.
  std::optional<std::wstring> target;
  bool operator==(const DriveSpec&) const = default;
};

struct FirmwareSpec {
  enum class Kind { Uefi, Legacy, LastError, Readable };
  Kind kind = Kind::Uefi;
  uint32_t lastError = win::kErrorNoAccess;  // the error the failing probe leaves
  bool operator==(const FirmwareSpec&) const = default;
};

struct SmbiosSpec {
  std::vector<uint8_t> table;  // the raw structure table, built or given
  uint8_t majorVersion = 2;
  uint8_t minorVersion = 8;
  bool operator==(const SmbiosSpec&) const = default;
};

struct ToolsSpec {
  std::optional<int> systemDisk = 0;  // empty: "select disk system" fails
  std::optional<std::string> systemDiskReport;
  std::map<std::wstring, std::string> dismOutput;  // image path as written -> listing
  uint32_t durationMs = 0;
  bool operator==(const ToolsSpec&) const = default;
};

// Failures to inject. Letters are in "M:" form; paths and program names as given.
struct FaultsSpec {
  bool comInitFails = false;
  std::vector<int> inventory;  // result code of the n-th inventory attempt (0 succeeds)
  bool smbiosFetchFails = false;
  std::map<std::wstring, int> mountFailures;  // letter -> failures left; -1 always
  std::vector<std::wstring> readOnly;         // letters
  std::vector<std::wstring> cannotCreate;     // whole Windows paths
  std::vector<std::wstring> cannotStart;      // program names
  bool operator==(const FaultsSpec&) const = default;
};

// What a capture could not read on the real machine, or wrote in another form: a sentence for a
// technician and the raw fact. It changes the prediction when the profile holds a stand-in where
// the run on the machine may read otherwise; it does not when the run reads the same.
struct CaptureNote {
  bool changesPrediction = true;
  std::string text;  // UTF-8; empty in the notes of older captures, which held the fact alone
  std::string fact;
  bool operator==(const CaptureNote&) const = default;
};

struct Profile {
  std::string name;  // UTF-8
  std::string description;
  LocalTime start{2026, 1, 1, 0, 0, 0, 0};
  FirmwareSpec firmware;
  std::optional<SmbiosSpec> smbios;  // absent: SMBiosData is null
  std::vector<DiskSpec> disks;
  std::vector<DriveSpec> drives;  // holds X: unless there is no RAM drive
  bool ramDrive = true;           // false: the machine has no drive X:
  ToolsSpec tools;
  FaultsSpec faults;
  std::vector<CaptureNote> captureNotes;
  bool operator==(const Profile&) const = default;
};

}  // namespace quorvane::sim
