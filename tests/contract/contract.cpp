// Running the contract's cases: the observer, the values as text, the platform each case sees and
// the transcript.
#include "tests/contract/contract.h"

#include <memory>

#include "base/text.h"

namespace quorvane::contract {

void Observer::See(const std::string& what, const std::string& value) {
  auto known = known_.find(what);
  if (known == known_.end()) {
    seen_.push_back(what + " = " + value);
    return;
  }
  const auto [windows, wine] = known->second;
  known_.erase(known);
  Known(what, value, windows, wine);
}

void Observer::Known(const std::string& what, const std::string& windows, const std::string& wine) {
  known_[what] = {windows, wine};
}

void Observer::Expect(const std::string& what, const std::string& got, const std::string& want) {
  See(what, got);
  if (got != want) failures_.push_back(what + ": got " + got + ", want " + want);
}

void Observer::Known(const std::string& what, const std::string& got, const std::string& windows,
                     const std::string& wine) {
  seen_.push_back(what + " = " + windows);
  const std::string& want = wine_ ? wine : windows;
  if (got != want) failures_.push_back(what + ": got " + got + ", want " + want);
  if (wine_)
    notes_.push_back(what + ": Wine shows " + wine + " where the simulator shows " + windows);
}

namespace {

// The platform a case works with: the machine's own, but every child process it starts is
// recorded, and message boxes are answered OK at once instead of waiting for someone.
class Watched : public Platform {
 public:
  Watched(Platform& os, Observer& see) : os_(os), see_(see) {}
  LocalTime GetLocalTime() override { return os_.GetLocalTime(); }
  void Sleep(uint32_t ms) override { os_.Sleep(ms); }
  bool WritePrivateProfileString(const std::wstring& section, const std::wstring& key,
                                 const std::wstring& value, const std::wstring& file) override {
    return os_.WritePrivateProfileString(section, key, value, file);
  }
  std::unique_ptr<ScriptFile> CreateScriptFile(const std::wstring& path) override {
    return os_.CreateScriptFile(path);
  }
  std::optional<std::string> ReadFileBytes(const std::wstring& path) override {
    return os_.ReadFileBytes(path);
  }
  bool FindFirstFile(const std::wstring& pattern) override { return os_.FindFirstFile(pattern); }
  bool DeleteFile(const std::wstring& path) override { return os_.DeleteFile(path); }
  ProcessOutcome RunProcess(const std::wstring& commandLine) override {
    ProcessOutcome outcome = os_.RunProcess(commandLine);
    see_.See("ran " + Narrow8(commandLine),
             outcome.started ? "exit " + std::to_string(outcome.exitCode)
                             : "not started, error " + std::to_string(outcome.lastError));
    return outcome;
  }
  int MessageBox(const std::wstring& text, const std::wstring&, uint32_t) override {
    see_.See("message box", Show(text));
    return 1;  // IDOK
  }
  bool DefineDosDevice(uint32_t flags, const std::wstring& name,
                       const std::wstring& target) override {
    return os_.DefineDosDevice(flags, name, target);
  }
  std::optional<std::wstring> QueryDosDevice(const std::wstring& name, uint32_t chars) override {
    return os_.QueryDosDevice(name, chars);
  }
  uint32_t GetLogicalDrives() override { return os_.GetLogicalDrives(); }
  std::vector<std::wstring> GetLogicalDriveStrings(uint32_t chars) override {
    return os_.GetLogicalDriveStrings(chars);
  }
  std::optional<std::wstring> GetVolumeLabel(const std::wstring& root) override {
    return os_.GetVolumeLabel(root);
  }
  FirmwareProbe GetFirmwareEnvironmentVariable(const std::wstring& name, const std::wstring& guid,
                                               uint32_t bytes) override {
    return os_.GetFirmwareEnvironmentVariable(name, guid, bytes);
  }
  int32_t CoInitializeMultithreaded() override { return os_.CoInitializeMultithreaded(); }
  void CoUninitialize() override { os_.CoUninitialize(); }
  int32_t CoInitializeSecurity() override { return os_.CoInitializeSecurity(); }
  int32_t CreateWmiLocator(uint32_t context, std::unique_ptr<WmiLocator>& out) override {
    return os_.CreateWmiLocator(context, out);
  }

 private:
  Platform& os_;
  Observer& see_;
};

}  // namespace

int RunCases(Platform& platform, const std::function<std::vector<std::string>()>& toolRuns,
             const RunOptions& options, std::FILE* out) {
  std::vector<Case> cases = PlatformCases();
  for (auto& c : ScriptCases()) cases.push_back(c);
  int failed = 0;
  for (const Case& c : cases) {
    const char* why = c.simulatorOnly;
    if (why == nullptr && c.readOnlyDrive && !options.readOnlyDrive)
      why = "the drive O: could not be made read-only on this machine";
    if (why != nullptr && (options.bothOnly || options.list)) {
      std::fprintf(out, "simulator only %s: %s\n", c.name, why);
      continue;
    }
    if (options.list) {
      std::fprintf(out, "case %s\n", c.name);
      continue;
    }
    Observer see(options.wine);
    Watched watched(platform, see);
    Bench bench{watched, see, toolRuns};
    toolRuns();  // what earlier cases left
    c.run(bench);
    for (const auto& run : toolRuns()) see.See("tool", run);
    std::fprintf(out, "case %s\n", c.name);
    for (const auto& line : see.seen()) std::fprintf(out, "  %s\n", line.c_str());
    for (const auto& note : see.notes()) std::fprintf(out, "known %s: %s\n", c.name, note.c_str());
    if (see.failures().empty()) {
      std::fprintf(out, "ok %s\n", c.name);
      continue;
    }
    ++failed;
    for (const auto& failure : see.failures())
      std::fprintf(out, "FAIL %s: %s\n", c.name, failure.c_str());
  }
  return failed;
}

}  // namespace quorvane::contract
