// The run context: every fact of one run, its tables and role slots, and the steps that work on
// them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "procedure/rapid_start.h"
#include "procedure/run_log_grammar.h"
#include "run/record_table.h"

namespace quorvane {

constexpr int kEmptyIndex = 999;  // marks an unused disk or partition record
constexpr size_t kMaxDisks = 20;
constexpr size_t kMaxPartitions = 2560;

struct DiskRecord {
  std::wstring Caption;
  std::wstring DeviceID;
  int32_t Index = kEmptyIndex;
  int32_t Partitions = 0;
  int32_t SizeMB = 0;
  bool NoSignature = false;
};

struct PartitionRecord {
  int32_t DiskIndex = kEmptyIndex;
  int32_t PartitionIndex = 0;
  std::wstring DriveLetter;
  std::wstring VolumeName;
  int32_t SizeMB = 0;
  float SizeGB = 0;
  std::wstring Type;
  // Set by the refresh when the label or type gave the partition a role (the SSD's aside): a
  // slot keeps only the last partition of its role, but carving must spare every one of them.
  bool bInRole = false;
};

// Which partition plays a role; nPartition is the 1-based number of the device path.
struct RoleSlot {
  bool bFound = false;
  int32_t nDisk = 0;
  int32_t nPartition = 0;
  std::wstring strInfo;

  // The value UpdateDiskInfo resets a slot to.
  static RoleSlot Reset() { return RoleSlot{false, 0, 1, L""}; }
};

class CLayoutJob {
 public:
  // Builds the run context and runs the whole layout sequence.
  explicit CLayoutJob(Platform& platform);
  // Builds the run context without running anything (for tests and tools).
  struct NoRun {};
  CLayoutJob(Platform& platform, NoRun);
  ~CLayoutJob() = default;
  CLayoutJob(const CLayoutJob&) = delete;
  CLayoutJob& operator=(const CLayoutJob&) = delete;

  // Run log.
  void WriteLog(const std::wstring& key, const std::wstring& value = L"");
  void LogExitCode(uint32_t code);

  // Child processes and files.
  uint32_t RunCommand(const std::wstring& commandLine);
  bool FileExists(const std::wstring& path);
  // Creates a script file and writes `text` into it; false when it cannot be created.
  bool WriteScriptFile(const std::wstring& path, const std::wstring& text);

  // Main sequence and its roads.
  void RunLayoutSequence();
  void CarveRapidStartPartition();
  void RegisterRecoveryImage();
  void CopyLogToPbr(const std::wstring& pbrLetter);

  // Disk inventory. ClearTables empties both tables (the other fields keep their text).
  int GetSystemDiskInfo();
  void ClearTables();

  // Classification.
  bool UpdateDiskInfo();
  std::wstring GetDiskSizeText(int32_t diskNumber) const;
  std::wstring GetDiskDeviceID(int32_t diskNumber) const;
  int32_t FindGptSystemPartition(int32_t diskNumber);
  void SelectSystemDisk(bool bSmallSsdFound);
  void CheckSDDHDDMode();

  // Drive letters.
  std::wstring ReadVolumeLabel(const std::wstring& drive);
  std::wstring FindFreeDriveLetter();
  void AssignLetterToEFI();
  void AssignLetterToSYS();
  void AssignLetterToPBRorQHP();

  // Firmware and image facts.
  bool IsUefiBoot();
  std::wstring ParseInstallIndex(const std::wstring& imagePath);
  bool ReadTextLines(const std::wstring& path, std::vector<std::wstring>& lines);

  Platform& platform() { return m_platform; }

  int32_t m_DiskCount = 0;
  bool m_biRST = false;
  bool m_bSSDHDDMode = false;
  bool m_bminiSSD = false;
  uint32_t m_nRapidStartLimitMB = kRapidStartLimitMB;
  // The road step 12 of the main sequence took; what a report of the run says it took.
  Road m_Road = Road::None;
  std::array<DiskRecord, kMaxDisks> m_Disks;
  RecordTable<PartitionRecord, kMaxPartitions> m_Partitions;
  RoleSlot m_PBRInfo;
  RoleSlot m_SYSInfo;
  RoleSlot m_OSInfo;
  RoleSlot m_SSDInfo;
  RoleSlot m_HDDInfo;
  RoleSlot m_RecoveryInfo;
  std::unique_ptr<std::wstring> m_pLogDir;

 private:
  void Construct();
  Platform& m_platform;
};

// The number of leading disk records in use (up to the first empty one).
int32_t CountLeadingDisks(const std::array<DiskRecord, kMaxDisks>& disks);

}  // namespace quorvane

namespace quorvane {
// The first disk record whose Index is `diskNumber`, or null.
const DiskRecord* FindDisk(const std::array<DiskRecord, kMaxDisks>& disks, int32_t diskNumber);
}  // namespace quorvane
