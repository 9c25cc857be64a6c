// A system tool's stand-in as a Windows console program: copied as diskpart.exe, dism.exe,
// find.exe, xcopy.exe and ReagentC.exe, it prints and exits as the simulator's stand-in of that
// tool does, on the machine's real files. Each run is added to the journal the contract reads.
//   QUORVANE_STANDIN_MACHINE  the machine profile (its tools and disks)
//   QUORVANE_STANDIN_JOURNAL  the file each run's line is added to
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "base/text.h"
#include "platform/sim/commands/command_words.h"
#include "platform/sim/commands/tool_standins.h"
#include "platform/sim/profile_loader.h"
#include "tests/contract/shown.h"

namespace {

namespace fs = std::filesystem;
using quorvane::sim::CommandHost;

std::optional<std::string> Slurp(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::wstring Variable(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  return value == nullptr ? std::wstring() : value;
}

// The machine's own files, folders and (from the profile) its tools and disks.
class FileHost : public CommandHost {
 public:
  explicit FileHost(quorvane::sim::Profile profile) : profile_(std::move(profile)) {}

  std::optional<std::string> ReadFile(const std::wstring& path) override { return Slurp(path); }
  bool WriteFile(const std::wstring& path, std::string_view bytes, bool append) override {
    std::ofstream out(fs::path(path),
                      std::ios::binary | (append ? std::ios::app : std::ios::trunc));
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
  }
  MakeFolderResult MakeFolder(const std::wstring& path) override {
    std::error_code ec;
    if (fs::is_directory(path, ec)) return MakeFolderResult::Exists;
    return fs::create_directory(path, ec) ? MakeFolderResult::Made : MakeFolderResult::Failed;
  }
  bool DeleteFile(const std::wstring& path) override {
    std::error_code ec;
    return IsFile(path) && fs::remove(path, ec);
  }
  bool IsFolder(const std::wstring& path) override {
    std::error_code ec;
    return fs::is_directory(path, ec);
  }
  bool IsFile(const std::wstring& path) override {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
  }
  bool CannotStart(const std::wstring&) override { return false; }
  const quorvane::sim::ToolsSpec& Tools() override { return profile_.tools; }
  std::vector<quorvane::sim::DiskSpec>& Disks() override { return profile_.disks; }
  void CleanDisk(int index) override {
    for (auto& disk : profile_.disks)
      if (disk.index == index) disk.partitions.clear();
  }
  void ToolRan(quorvane::sim::ToolRun& run) override {
    std::ofstream(fs::path(Variable(L"QUORVANE_STANDIN_JOURNAL")), std::ios::binary | std::ios::app)
        << quorvane::contract::ToolRunText(run) << "\n";
  }

 private:
  quorvane::sim::Profile profile_;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
  namespace standin = quorvane::sim::standin;
  const standin::Program program = standin::IdentifyProgram(argv[0]);
  const auto machine = Slurp(Variable(L"QUORVANE_STANDIN_MACHINE"));
  if (!machine || program == standin::Program::Unknown || program == standin::Program::Script) {
    std::fprintf(stderr, "standin: no machine profile, or no tool by this program's name\n");
    return 9009;
  }
  FileHost host(quorvane::sim::LoadProfile(*machine, "machine.json"));
  std::string input;
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  // Only find reads what is piped into it.
  if (program == standin::Program::Find) {
    std::ostringstream piped;
    piped << std::cin.rdbuf();
    input = piped.str();
  }
  const std::vector<std::wstring> args(argv + 1, argv + argc);
  const standin::ToolResult result = standin::RunTool(host, program, args, input);
  const std::string printed = standin::ToCrLf(result.output);
  std::fwrite(printed.data(), 1, printed.size(), stdout);
  return static_cast<int>(result.exitCode);
}
