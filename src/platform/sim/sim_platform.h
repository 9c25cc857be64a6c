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
#include "platform/sim/volume_files.h"

namespace quorvane::sim {

// Keeps every volume's files in memory and records what the run did for its report. A volume is
// named as its folder in the output tree: "X", "disk<D>-part<P>" (P in kernel numbering), or the
// letter of another drive; WriteOutputTree writes them all under DIR/volumes.
class SimPlatform : public Platform, public CommandHost {
 public:
  explicit SimPlatform(Profile profile);
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
  void ToolRan(ToolRun& run) override;

  // The folder the program runs in, where a path without a drive starts; by default
  // X:\Windows\System32, where WinPE starts programs.
  void SetWorkingFolder(std::wstring folder) { workingFolder_ = std::move(folder); }

  // From now on the tools print other words: every character they print that is neither a
  // decimal digit nor white space becomes another such character, so that the same numbers
  // stand in different text. A run on such a machine shows what a program makes of a tool's
  // words rather than its numbers.
  void RewordTools() { rewordTools_ = true; }

  // What the run did.
  struct LogWrite {
    std::wstring key;  // time stamp included
    std::wstring value;
    std::wstring file;     // as the program named it
    bool written = false;  // false: the line was lost
    std::string hostFile;  // in the output tree ("volumes/X/Quorvane.log"); "" when lost
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
  // A script file the program created, and everything it wrote into it.
  struct ScriptWrite {
    std::wstring path;  // as the program named it
    std::string text;   // 8-bit, CR LF line ends
  };
  // A letter the program asked to be defined (removals are not counted), and whether it was.
  struct Mapping {
    std::wstring letter;
    std::wstring target;
    bool made = false;
  };
  const Profile& profile() const { return profile_; }
  const std::vector<LogWrite>& LogWrites() const { return logWrites_; }
  const std::vector<CommandRecord>& Commands() const { return commands_; }
  const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes_; }
  const std::vector<CleanedDisk>& CleanedDisks() const { return cleanedDisks_; }
  const std::vector<ScriptWrite>& ScriptWrites() const { return scriptWrites_; }
  const std::vector<Mapping>& Mappings() const { return mappings_; }
  // Every run of a tool, in order, the ones inside a command file included.
  const std::vector<ToolRun>& ToolRuns() const { return toolRuns_; }
  const DosDeviceTable& DosDevices() const { return dos_; }
  uint64_t ElapsedMs() const { return elapsedMs_; }

  // The volume a device target names, as it stands now.
  struct Volume {
    bool exists = false;                // the target names a partition or a listed drive
    std::optional<std::wstring> label;  // empty: no file system
    std::string name;                   // its folder in the output tree, when it has a file system
  };
  Volume VolumeOfTarget(const std::wstring& target) const;
  // The label read through a letter ("E:", "E:\" or "E"); empty when unreadable.
  std::optional<std::wstring> LabelThroughLetter(const std::wstring& drive) const;
  // The files of the volume of that name (see Volume::name); null when it has none (any more).
  const VolumeFiles* FilesOf(const std::string& volume) const;
  // The file or folder at a path of the output tree ("volumes/X/RyTools/a.cmd"), names matched
  // ignoring ASCII case; null when there is none.
  const VolumeFiles::Entry* EntryAt(std::string_view treePath) const;
  // Every volume with a file system, by name.
  const std::map<std::string, VolumeFiles>& Volumes() const { return volumes_; }
  // Writes DIR/volumes/<volume>/... as the run left them; throws when it cannot.
  void WriteOutputTree(const std::filesystem::path& outDir) const;
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
  // A path without a drive is taken from the working folder ("\\a" from its drive's root).
  std::optional<WinPath> ParseWinPath(const std::wstring& path, bool wildcardsInLast) const;
  // A folder or file reached through a letter: its volume, the folder it is in, and itself when
  // it exists.
  struct Place {
    std::string volume;
    VolumeFiles::Entry* folder = nullptr;
    VolumeFiles::Entry* entry = nullptr;
    std::string spelled;  // "volumes/<volume>/..." as the names are spelled
    std::wstring name;    // the last name as the path gave it (for a file to be made)
  };
  // The root of the volume a letter reaches, when it has a file system.
  std::optional<Place> VolumeRoot(const std::wstring& letter);
  // Walks the first `count` names of `parts` from a volume root; empty when a name is missing or
  // a file stands where a folder is needed.
  static std::optional<Place> Walk(Place at, const std::vector<std::wstring>& parts, size_t count);
  // The entry a Windows path names, when it exists.
  std::optional<Place> Find(const std::wstring& path);
  bool LetterWritable(const std::wstring& letter) const;
  // Where a file may be created or rewritten: the volume is readable and writable through the
  // letter, its folder exists, the path is not blocked. `entry` is the file when it exists; when
  // it does not, it is created (empty) by MakeFile.
  std::optional<Place> PathForWrite(const std::wstring& path);
  static VolumeFiles::Entry& MakeFile(Place& place);
  static std::string PartitionVolume(int disk, int partition);

  Profile profile_;
  std::wstring workingFolder_ = L"X:\\Windows\\System32";
  std::map<std::string, VolumeFiles> volumes_;
  DosDeviceTable dos_;
  uint64_t elapsedMs_ = 0;
  std::map<std::wstring, int> mountFailuresLeft_;
  // Counts every change to a file other than a line of the INI writer.
  uint64_t fileChanges_ = 0;
  // The INI writer's last file, the path it was named by and its parsed form: the next line
  // mostly goes to the same file. Valid while no letter and no other file changed since.
  struct IniCache {
    std::wstring path;
    Place place;
    IniFile ini;
    uint64_t letterChanges = 0;
    uint64_t fileChanges = 0;
    bool valid = false;
  };
  IniCache iniCache_;

  int comDepth_ = 0;
  int comInitCalls_ = 0;
  bool securitySet_ = false;
  size_t inventoryAttempts_ = 0;
  int pendingInventoryFault_ = 0;

  std::vector<LogWrite> logWrites_;
  std::vector<CommandRecord> commands_;
  std::vector<MessageBoxRecord> messageBoxes_;
  std::vector<CleanedDisk> cleanedDisks_;
  std::vector<ScriptWrite> scriptWrites_;
  std::vector<Mapping> mappings_;
  std::vector<ToolRun> toolRuns_;
  bool rewordTools_ = false;
};

}  // namespace quorvane::sim
