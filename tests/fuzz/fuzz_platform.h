// A machine for driving one engine step on fuzzed tool output: every file read returns the
// input, scripts are accepted and dropped, tools run and end with 0, log lines are kept.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace quorvane {

class FuzzPlatform : public Platform {
 public:
  explicit FuzzPlatform(std::string fileBytes) : m_fileBytes(std::move(fileBytes)) {}

  // Key and value of each log line, in order.
  std::vector<std::pair<std::wstring, std::wstring>> log;

  LocalTime GetLocalTime() override { return {2026, 1, 2, 3, 4, 5, 6}; }
  void Sleep(uint32_t) override {}
  bool WritePrivateProfileString(const std::wstring&, const std::wstring& key,
                                 const std::wstring& value, const std::wstring&) override {
    log.emplace_back(key, value);
    return true;
  }
  std::unique_ptr<ScriptFile> CreateScriptFile(const std::wstring&) override {
    return std::make_unique<Sink>();
  }
  std::optional<std::string> ReadFileBytes(const std::wstring&) override { return m_fileBytes; }
  bool FindFirstFile(const std::wstring&) override { return true; }
  bool DeleteFile(const std::wstring&) override { return true; }
  ProcessOutcome RunProcess(const std::wstring&) override { return {true, 0, 0}; }
  int MessageBox(const std::wstring&, const std::wstring&, uint32_t) override { return 1; }
  bool DefineDosDevice(uint32_t, const std::wstring&, const std::wstring&) override {
    return false;
  }
  std::optional<std::wstring> QueryDosDevice(const std::wstring&, uint32_t) override {
    return std::nullopt;
  }
  uint32_t GetLogicalDrives() override { return 0; }
  std::vector<std::wstring> GetLogicalDriveStrings(uint32_t) override { return {}; }
  std::optional<std::wstring> GetVolumeLabel(const std::wstring&) override { return std::nullopt; }
  FirmwareProbe GetFirmwareEnvironmentVariable(const std::wstring&, const std::wstring&,
                                               uint32_t) override {
    return {0, win::kErrorInvalidFunction};
  }
  int32_t CoInitializeMultithreaded() override { return win::kSOk; }
  void CoUninitialize() override {}
  int32_t CoInitializeSecurity() override { return win::kSOk; }
  int32_t CreateWmiLocator(uint32_t, std::unique_ptr<WmiLocator>&) override { return -1; }

 private:
  class Sink : public ScriptFile {
   public:
    void Write(const std::wstring&) override {}
    void Close() override {}
  };
  std::string m_fileBytes;
};

}  // namespace quorvane
