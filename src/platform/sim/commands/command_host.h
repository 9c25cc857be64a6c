// What the simulated command interpreter and tool stand-ins need from the simulated machine.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/profile.h"

namespace quorvane::sim {

// A wim file is stored on a volume as a text file that starts with this line,
// followed by one image name a line (UTF-8), so that copies of it stay images.
inline constexpr std::string_view kWimMarker = "QUORVANE-SIM-WIM\n";

// One run of a system tool's stand-in: what it was given and what it printed.
struct ToolRun {
  std::wstring program;  // "diskpart", "dism", "find", "reagentc" or "xcopy"
  std::vector<std::wstring> args;
  std::string script;  // the script file it ran (diskpart), as it read it
  std::string output;  // what it printed (8-bit)
  uint32_t exitCode = 0;
};

class CommandHost {
 public:
  virtual ~CommandHost() = default;

  // Files and folders, by Windows path, looked up through the drive letters in
  // force when the call is made (names match case-insensitively).
  virtual std::optional<std::string> ReadFile(const std::wstring& path) = 0;
  // Creates or truncates (append = false) or appends; false when the file cannot
  // be created (no folder, no file system, read-only letter, cannotCreate fault).
  virtual bool WriteFile(const std::wstring& path, std::string_view bytes, bool append) = 0;
  enum class MakeFolderResult { Made, Exists, Failed };
  virtual MakeFolderResult MakeFolder(const std::wstring& path) = 0;
  virtual bool DeleteFile(const std::wstring& path) = 0;
  virtual bool IsFolder(const std::wstring& path) = 0;
  virtual bool IsFile(const std::wstring& path) = 0;

  // A program the profile's cannotStart fault lists (first word of a command
  // line, case-insensitive, with or without ".exe").
  virtual bool CannotStart(const std::wstring& program) = 0;
  virtual const ToolsSpec& Tools() = 0;

  // The disks as they stand; diskpart changes them through these calls.
  virtual std::vector<DiskSpec>& Disks() = 0;
  // Removes every partition of the disk with that WMI index, and their files.
  virtual void CleanDisk(int diskIndex) = 0;

  // A tool has run; what it printed goes on as `run.output` leaves this call.
  virtual void ToolRan(ToolRun& run) = 0;
};

// Runs one command line as the simulated Windows would start it as a child
// process; `started` false with error 2 when there is no such program or script.
ProcessOutcome RunSimulatedCommand(CommandHost& host, const std::wstring& commandLine);

}  // namespace quorvane::sim
