// A machine where nothing is there: every call fails or finds nothing, log lines are dropped.
// Test fakes derive from it and override only what they stand for.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace quorvane {

class NullPlatform : public Platform {
 public:
  LocalTime GetLocalTime() override { return {2026, 1, 2, 3, 4, 5, 6}; }
  void Sleep(uint32_t) override {}
  bool WritePrivateProfileString(const std::wstring&, const std::wstring&, const std::wstring&,
                                 const std::wstring&) override {
    return true;
  }
  std::unique_ptr<ScriptFile> CreateScriptFile(const std::wstring&) override { return nullptr; }
  std::optional<std::string> ReadFileBytes(const std::wstring&) override { return std::nullopt; }
  bool FindFirstFile(const std::wstring&) override { return false; }
  bool DeleteFile(const std::wstring&) override { return false; }
  ProcessOutcome RunProcess(const std::wstring&) override {
    return {false, win::kErrorFileNotFound, 0};
  }
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
};

}  // namespace quorvane
