// Reading quorvane.exe's arguments and the texts that explain them.
#include "exe/command_line.h"

#include "base/text.h"
#include "base/word_wrap.h"

namespace quorvane::exe {
namespace {

constexpr char kUsage[] =
    "usage: quorvane.exe                       the real run (it may wipe a disk)\n"
    "       quorvane.exe --what-if [--out DIR] [--html FILE]\n"
    "       quorvane.exe --capture FILE\n"
    "       quorvane.exe --version | --help\n";

bool IsHelp(const std::wstring& argument) {
  return argument == L"--help" || argument == L"-h" || argument == L"/?";
}

std::string Quoted(const std::wstring& argument) { return "\"" + ToUtf8(argument) + "\""; }

CommandLine Usage(std::string problem) {
  CommandLine line;
  line.mode = CommandLine::Mode::Usage;
  line.problem = std::move(problem);
  return line;
}

CommandLine WhatIf(const std::vector<std::wstring>& arguments) {
  CommandLine line;
  line.mode = CommandLine::Mode::WhatIf;
  for (size_t i = 1; i < arguments.size(); i += 2) {
    const std::wstring& option = arguments[i];
    std::wstring* value = option == L"--out"    ? &line.outDir
                          : option == L"--html" ? &line.htmlPath
                                                : nullptr;
    const std::string wants = option == L"--out" ? "a folder" : "a file";
    if (value == nullptr)
      return Usage("unknown option " + Quoted(option) +
                   " after --what-if, which takes --out DIR and --html FILE");
    if (!value->empty()) return Usage(ToUtf8(option) + " is given twice");
    if (i + 1 >= arguments.size() || arguments[i + 1].empty())
      return Usage(ToUtf8(option) + " needs " + wants + " after it");
    *value = arguments[i + 1];
  }
  return line;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::wstring>& arguments) {
  CommandLine line;
  if (arguments.empty()) return line;
  for (const auto& argument : arguments)
    if (IsHelp(argument)) {
      line.mode = CommandLine::Mode::Help;
      return line;
    }
  const std::wstring& first = arguments[0];
  if (first == L"--version") {
    if (arguments.size() > 1) return Usage(Quoted(arguments[1]) + " after --version");
    line.mode = CommandLine::Mode::Version;
    return line;
  }
  if (first == L"--capture") {
    if (arguments.size() < 2 || arguments[1].empty())
      return Usage("--capture needs a FILE to write the profile to");
    if (arguments.size() > 2)
      return Usage(Quoted(arguments[2]) + " after --capture FILE, which takes one FILE");
    line.mode = CommandLine::Mode::Capture;
    line.file = arguments[1];
    return line;
  }
  if (first == L"--what-if") return WhatIf(arguments);
  return Usage("unknown argument " + Quoted(first));
}

std::string HelpText(const std::string& version) {
  const struct {
    const char* command;
    const char* text;
  } entries[] = {
      {"quorvane.exe",
       "The real run, unattended: it takes stock of the disks, maps drive letters and takes one "
       "road: register the recovery image, wipe a small cache SSD and carve a rapid-start "
       "partition on it, or change nothing. Its log is X:\\Quorvane.log, then Quorvane.log on "
       "the recovery partition (M:); its first and last lines on the console say where. It "
       "ends with exit status 0 whatever happened: the log tells what it did."},
      {"quorvane.exe --what-if [--out DIR] [--html FILE]",
       "What the real run would do on this machine, changing nothing: the road and why, the "
       "disk it would wipe, the letters, the commands and the warnings, the road last. The "
       "run's files go to DIR (a new folder, or an earlier what-if's), by default a new folder "
       "under %TEMP%; --html FILE also pictures the disks before and after."},
      {"quorvane.exe --capture FILE",
       "Writes this machine as a profile for quorvane-sim.exe and changes nothing else; its "
       "notes say what it could not read, and whether that may change the prediction."},
      {"quorvane.exe --version", "Prints the version."},
      {"quorvane.exe --help (or -h, /?)", "Prints this help."}};
  std::string out = Wrapped("",
                            "quorvane.exe " + version +
                                ": lays out the disks of a notebook being imaged, once, "
                                "unattended, in WinPE.",
                            0);
  out += "\n";
  for (const auto& entry : entries)
    out += Wrapped("", entry.command, 4) + Wrapped("    ", entry.text, 4);
  out += "\n" + Wrapped("",
                        "Exit status of --what-if and --capture: 0 done; 1 a file that could not "
                        "be written, or an internal failure; 2 a bad command line or output, "
                        "refused before anything is written. winpe-guide.txt in the release "
                        "zip tells how to put quorvane.exe into WinPE and read its log.",
                        0);
  return out;
}

std::string UsageText(const std::string& problem) {
  return Wrapped("", "quorvane.exe: " + problem, 2) + kUsage +
         Wrapped("",
                 "Nothing was run. Without an argument quorvane.exe makes the real run, which "
                 "may wipe a disk; \"quorvane.exe --help\" tells more.",
                 0);
}

}  // namespace quorvane::exe
