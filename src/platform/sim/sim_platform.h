// The simulated machine: the platform the engine runs on in quorvane-sim and in the tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/commands/command_host.h"
#include "platform/sim/dos_devices.h"
#include "platform/sim/ini_file.h"
#include "platform/sim/profile.h"

namespace quorvane::sim {

// Keeps every volume as a host folder under `outDir`/volumes (X, disk<D>-part<P>,
// other drive letters) and records what the run did for the summary. The
// folder is expected to be empty or absent.
class SimPlatform : public Platform, public CommandHost {
 public:
  SimPlatform(Profile profile, std::filesystem::path outDir);
  ~SimPlatform() override;
  SimPlatform(const SimPlatform&) = delete;
  SimPlatform& operator=(const SimPlatform&) = delete;

  // Platform.
  LocalTime GetLocalTime() override;
  void Sleep(uint32_t ms) override;
  bool WritePrivateProfileString(const std::wstring& section, const std::wstring& key,
                                 const std::wstring& value, const std::wstring& file) override;
  std::unique_ptr<ScriptFile> CreateScriptFile(const std::wstring& path) override;
  std::optional<std::string> ReadFileBytes(const std::wstring& path) override;
  bool FindFirstFile(const std::wstring& pattern) override;
  bool DeleteFile(const std::wstring& path) override;
  ProcessOutcome RunProcess(const std::wstring& commandLine) override;
  int MessageBox(const std::wstring& text, const std::wstring& caption, uint32_t flags) override;
  bool DefineDosDevice(uint32_t flags, const std::wstring& deviceName,
                       const std::wstring& targetPath) override;
  std::optional<std::wstring> QueryDosDevice(const std::wstring& deviceName,
                                             uint32_t bufferChars) override;
  uint32_t GetLogicalDrives() override;
  std::vector<std::wstring> GetLogicalDriveStrings(uint32_t bufferChars) override;
  std::optional<std::wstring> GetVolumeLabel(const std::wstring& rootPath) override;
  FirmwareProbe GetFirmwareEnvironmentVariable(const std::wstring& name, const std::wstring& guid,
                                               uint32_t bufferBytes) override;
  int32_t CoInitializeMultithreaded() override;
  void CoUninitialize() override;
  int32_t CoInitializeSecurity() override;
  int32_t CreateWmiLocator(uint32_t classContext, std::unique_ptr<WmiLocator>& out) override;

  // CommandHost.
  std::optional<std::string> ReadFile(const std::wstring& path) override;
  bool WriteFile(const std::wstring& path, std::string_view bytes, bool append) override;
  MakeFolderResult MakeFolder(const std::wstring& path) override;
  bool IsFolder(const std::wstring& path) override;
  bool IsFile(const std::wstring& path) override;
  bool CannotStart(const std::wstring& program) override;
  const ToolsSpec& Tools() override;
  std::vector<DiskSpec>& Disks() override;
  void CleanDisk(int diskIndex) override;

  // What the run did.
  struct LogWrite {
    std::wstring key;  // time stamp included
    std::wstring value;
    std::wstring file;     // as the program named it
    bool written = false;  // false: the line was lost
    std::string hostFile;  // relative to the output folder, '/'-separated; "" when lost
  };
  struct CommandRecord {
    std::wstring commandLine;
    bool started = false;
    uint32_t exitCode = 0;   // when started
    uint32_t lastError = 0;  // when not started
  };
  struct MessageBoxRecord {
    std::wstring text;
    std::wstring caption;
    uint32_t flags = 0;
  };
  struct CleanedDisk {
    int index = 0;
    std::vector<std::wstring> labels;  // the non-empty labels it held
  };
  const Profile& profile() const { return profile_; }
  const std::vector<LogWrite>& LogWrites() const { return logWrites_; }
  const std::vector<CommandRecord>& Commands() const { return commands_; }
  const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes_; }
  const std::vector<CleanedDisk>& CleanedDisks() const { return cleanedDisks_; }
  const DosDeviceTable& DosDevices() const { return dos_; }
  uint64_t ElapsedMs() const { return elapsedMs_; }
  const std::filesystem::path& OutDir() const { return outDir_; }

  // The volume a device target names, as it stands now.
  struct Volume {
    bool exists = false;                // the target names a partition or a listed drive
    std::optional<std::wstring> label;  // empty: no file system
    std::filesystem::path folder;       // the host folder, when it has a file system
  };
  Volume VolumeOfTarget(const std::wstring& target) const;
  // The label read through a letter ("E:", "E:\" or "E"); empty when unreadable.
  std::optional<std::wstring> LabelThroughLetter(const std::wstring& drive) const;
  // The host path of a Windows path through the letters in force, when it exists.
  std::optional<std::filesystem::path> HostPathOf(const std::wstring& path) const;
  // The bytes of a file through the letters in force, as they stand now.
  std::optional<std::string> FileBytes(const std::wstring& path) const;

  // WMI steps, called by the simulated WMI objects (each returns an HRESULT).
  int32_t WmiConnectServer(const std::wstring& ns);
  int32_t WmiSetProxyBlanket();
  int32_t WmiExecQuery();

 private:
  struct WinPath {
    std::wstring letter;  // "M:"
    std::vector<std::wstring> parts;
  };
  static std::optional<WinPath> ParseWinPath(const std::wstring& path, bool wildcardsInLast);
  // The host folder of the volume a letter reaches, when it has a file system.
  std::optional<std::filesystem::path> VolumeRoot(const std::wstring& letter) const;
  static std::optional<std::filesystem::path> Walk(const std::filesystem::path& root,
                                                   const std::vector<std::wstring>& parts,
                                                   size_t count);
  bool LetterWritable(const std::wstring& letter) const;
  // Where a file may be created or rewritten: the volume is readable and
  // writable through the letter, its folder exists, the path is not blocked.
  std::optional<std::filesystem::path> PathForWrite(const std::wstring& path) const;
  std::filesystem::path PartitionFolder(int disk, int partition) const;
  void PopulateVolume(const std::filesystem::path& folder,
                      const std::map<std::string, FileSpec>& files);
  std::string RelativeToOut(const std::filesystem::path& path) const;

  Profile profile_;
  std::filesystem::path outDir_;
  DosDeviceTable dos_;
  uint64_t elapsedMs_ = 0;
  std::map<std::wstring, int> mountFailuresLeft_;
  std::map<std::filesystem::path, std::pair<std::string, IniFile>> iniCache_;

  int comDepth_ = 0;
  int comInitCalls_ = 0;
  bool securitySet_ = false;
  size_t inventoryAttempts_ = 0;
  int pendingInventoryFault_ = 0;

  std::vector<LogWrite> logWrites_;
  std::vector<CommandRecord> commands_;
  std::vector<MessageBoxRecord> messageBoxes_;
  std::vector<CleanedDisk> cleanedDisks_;
};

}  // namespace quorvane::sim
