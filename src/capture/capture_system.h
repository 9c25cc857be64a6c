// What a capture needs from the system beyond the run's own platform: disk layouts, the device
// number of a volume, looking up and reading files, and writing the one file it makes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::capture {

// One entry of a disk's partition table.
struct LayoutPartition {
  uint32_t number = 0;   // the kernel's partition number; 0 for an MBR container or an unused slot
  int64_t offset = 0;    // first byte
  int64_t length = 0;    // bytes
  uint8_t mbrType = 0;   // MBR partition type; 0 on GPT
  bool active = false;   // MBR boot indicator
  std::wstring gptType;  // GPT partition type GUID, lower case without braces; "" on MBR
};

struct DriveLayout {
  enum class Style { Mbr, Gpt, Raw };
  Style style = Style::Raw;
  uint32_t mbrSignature = 0;
  std::optional<int64_t> diskBytes;         // the whole disk's length, when it could be read
  std::vector<LayoutPartition> partitions;  // in the table's order
};

// What IOCTL_STORAGE_GET_DEVICE_NUMBER tells of a volume.
struct DeviceNumber {
  uint32_t deviceType = 0;  // FILE_DEVICE_DISK for a partition of a disk
  uint32_t disk = 0;
  uint32_t partition = 0;  // from 1; 0 for a disk without partitions
};
inline constexpr uint32_t kFileDeviceDisk = 7;

// A Win32 result: the value, or the error code the call left.
template <typename T>
struct Outcome {
  std::optional<T> value;
  uint32_t error = 0;
};

struct PathEntry {
  enum class Kind { Missing, File, Folder };
  Kind kind = Kind::Missing;
  std::wstring name;  // the last name as the volume spells it
};

class CaptureSystem {
 public:
  virtual ~CaptureSystem() = default;
  // The partition table of \\.\PhysicalDrive<disk>.
  virtual Outcome<DriveLayout> ReadDriveLayout(int disk) = 0;
  // The device number of the volume a drive letter ("C:") opens.
  virtual Outcome<DeviceNumber> VolumeDeviceNumber(const std::wstring& letter) = 0;
  // Whether the volume at a root path ("E:\" or a device path and "\") says it is read-only.
  virtual bool VolumeReadOnly(const std::wstring& root) = 0;
  // The file or folder a full path names.
  virtual PathEntry LookUp(const std::wstring& path) = 0;
  // Up to `length` bytes from `offset`; fewer where the file ends.
  virtual Outcome<std::string> ReadFileRange(const std::wstring& path, uint64_t offset,
                                             uint32_t length) = 0;
  // Creates or replaces a file with these bytes, whole or not at all; the system's reason when
  // it cannot ("disk full"), empty once written.
  virtual std::string WriteNewFile(const std::wstring& path, std::string_view bytes) = 0;
};

}  // namespace quorvane::capture
