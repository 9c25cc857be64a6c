// A machine for driving one engine step on fuzzed tool output: every file read returns the
// input, scripts are accepted and dropped, tools run and end with 0, log lines are kept.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "tests/null_platform.h"

namespace quorvane {

class FuzzPlatform : public NullPlatform {
 public:
  explicit FuzzPlatform(std::string fileBytes) : m_fileBytes(std::move(fileBytes)) {}

  // Key and value of each log line, in order.
  std::vector<std::pair<std::wstring, std::wstring>> log;

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

 private:
  class Sink : public ScriptFile {
   public:
    void Write(const std::wstring&) override {}
    void Close() override {}
  };
  std::string m_fileBytes;
};

}  // namespace quorvane
