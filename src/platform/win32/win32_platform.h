// The real platform: kernel32, user32 and COM/WMI as WinPE provides them.
#pragma once

#include <functional>

#include "platform/platform.h"

namespace quorvane::win32 {

class Win32Platform : public Platform {
 public:
  // The run is unattended: the platform turns the system's critical-error boxes off for the
  // process, and so for every child it starts. Reading the label of an empty card reader or
  // optical drive must fail, not stop the run with a "no disk" box nobody answers.
  Win32Platform();

  // Told of every line given to the INI writer (the run's log): the file, whether it took the
  // line, and the system's error when it did not. The run itself goes on either way.
  using IniWriteWatch = std::function<void(const std::wstring& file, bool written, uint32_t error)>;
  void WatchIniWrites(IniWriteWatch watch) { iniWriteWatch_ = std::move(watch); }

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

 private:
  IniWriteWatch iniWriteWatch_;
};

}  // namespace quorvane::win32
