// The raw facts a capture reads from a machine, as the system handed them out.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "capture/capture_system.h"
#include "inventory/smbios.h"
#include "platform/platform.h"

namespace quorvane::capture {

// One Win32_DiskDrive row; a property that is null or cannot be read is empty.
struct WmiDiskRow {
  std::optional<int64_t> index;
  std::optional<std::wstring> caption;
  std::optional<std::wstring> deviceId;
  std::optional<std::wstring> mediaType;
  std::optional<int64_t> sizeBytes;  // empty: null, a reader without a medium
  bool signatureNull = true;
  std::optional<int64_t> signature;
  std::optional<int64_t> partitions;
};

// One Win32_DiskPartition row.
struct WmiPartitionRow {
  std::optional<int64_t> diskIndex;
  std::optional<int64_t> index;  // from 0 on its disk
  std::optional<int64_t> startingOffset;
  std::optional<int64_t> size;
  std::optional<std::wstring> type;
};

struct WmiFacts {
  // The inventory's result code of the WMI step that failed (2 security, 3 locator, 4 connect,
  // 9 proxy blanket, 5 query), 0 when the disks could be listed; and that step's HRESULT.
  int failedStep = 0;
  int32_t hresult = 0;
  std::vector<WmiDiskRow> disks;
  // The result of the Next call that ended the disk list: WBEM_S_FALSE at its end; anything else
  // broke it off.
  int32_t disksEnd = win::kSFalse;
  bool partitionsListed = false;         // the partition query ran and its list was read to its end
  int32_t partitionsQuery = win::kSOk;   // the partition query's result
  int32_t partitionsEnd = win::kSFalse;  // as disksEnd, for the partition list
  std::vector<WmiPartitionRow> partitions;
};

// A file or folder found on a volume. Paths are relative to the volume root, '/'-separated,
// as the volume spells them; a folder's ends in '/'.
struct FoundFile {
  std::string path;  // UTF-8
  bool folder = false;
  // A file kept as text: its bytes, or the error that stopped the read.
  std::optional<std::string> text;
  // A recovery image: the header's bytes and those of its XML resource, or the read's error.
  bool image = false;
  std::string imageHeader;
  std::string imageXml;
  uint32_t readError = 0;
  bool tooLarge = false;  // left unread: beyond what a profile should hold
};

struct VolumeFacts {
  std::optional<std::wstring> label;  // empty: no volume could be read
  bool readOnly = false;              // the volume says it is read-only
  std::vector<FoundFile> files;
};

struct LetterFacts {
  std::wstring letter;                 // "C:"
  std::optional<std::wstring> target;  // QueryDosDevice
  Outcome<DeviceNumber> number;
  VolumeFacts volume;  // read through the letter's root
};

struct DiskLayoutFacts {
  int disk = 0;
  Outcome<DriveLayout> layout;
};

struct MachineFacts {
  LocalTime start;
  FirmwareProbe firmware;
  bool smbiosRead = false;
  RawSmbiosData smbios;
  WmiFacts wmi;
  std::vector<DiskLayoutFacts> layouts;  // by disk number, ascending
  // Volumes of partitions read without a letter: (disk, kernel partition number).
  std::map<std::pair<int, int>, VolumeFacts> partitionVolumes;
  std::vector<LetterFacts> letters;  // ascending
};

}  // namespace quorvane::capture
