// Printing a run's summary for a person at a terminal.
#include "human_summary.h"

#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "run/text.h"

namespace quorvane::sim {
namespace {

using Json = nlohmann::ordered_json;
namespace fs = std::filesystem;

constexpr size_t kWidth = 80;
constexpr size_t kLabelWidth = 11;

enum class Style { Plain, Good, Attention, Bad };

class Printer {
 public:
  Printer(std::ostream& out, bool colour) : out_(out), colour_(colour) {}

  // One labelled entry; a long text wraps at blanks (or hard at the width)
  // under the text column, indented by two more.
  void Entry(const std::string& label, std::string text, Style style = Style::Plain) {
    std::string head = label + std::string(kLabelWidth - std::min(label.size(), kLabelWidth), ' ');
    if (label.size() >= kLabelWidth) head = label.substr(0, kLabelWidth - 1) + " ";
    const size_t room = kWidth - kLabelWidth;
    bool first = true;
    while (true) {
      const size_t width = first ? room : room - 2;
      std::string piece = text;
      if (text.size() > width) {
        size_t cut = text.rfind(' ', width);
        if (cut == std::string::npos || cut < width / 2) cut = width;
        piece = text.substr(0, cut);
        text = text.substr(cut);
        if (!text.empty() && text.front() == ' ') text.erase(0, 1);
      } else {
        text.clear();
      }
      std::string lead = first ? Paint(head, label.empty() ? Style::Plain : Style::Plain, true)
                               : std::string(kLabelWidth + 2, ' ');
      out_ << lead << Paint(piece, style, false) << "\n";
      first = false;
      if (text.empty()) break;
    }
  }

 private:
  std::string Paint(const std::string& text, Style style, bool bold) const {
    if (!colour_ || text.find_first_not_of(' ') == std::string::npos) return text;
    const char* code = bold ? "1" : nullptr;
    switch (style) {
      case Style::Good:
        code = "32";
        break;
      case Style::Attention:
        code = "33";
        break;
      case Style::Bad:
        code = "31";
        break;
      case Style::Plain:
        break;
    }
    if (!code) return text;
    return std::string("\x1b[") + code + "m" + text + "\x1b[0m";
  }

  std::ostream& out_;
  bool colour_;
};

std::string U8(const std::wstring& text) { return ToUtf8(text); }

// The label of the volume a device target names, as the run left it.
std::string VolumeText(const SimPlatform& machine, const std::wstring& target) {
  auto volume = machine.VolumeOfTarget(target);
  if (!volume.exists) return "no such partition";
  if (!volume.label) return "no file system";
  return "\"" + U8(*volume.label) + "\"";
}

// The last value logged under a message (the key without its time stamp).
std::optional<std::wstring> Logged(const SimPlatform& machine, const std::wstring& message) {
  std::optional<std::wstring> value;
  for (const auto& write : machine.LogWrites()) {
    const std::wstring& key = write.key;
    if (key.size() >= message.size() &&
        key.compare(key.size() - message.size(), message.size(), message) == 0)
      value = write.value;
  }
  return value;
}

std::string Flag(const Json& value) { return value.is_null() ? "not logged" : value.dump(); }

std::string RapidStartReason(const SimPlatform& machine) {
  if (Logged(machine, L"Get SMBIOS fail")) return "no SMBIOS capability record";
  if (Logged(machine, L"set m_biRST = true")) return "the SMBIOS record asks for it";
  if (Logged(machine, L"set m_biRST = false")) return "the SMBIOS record does not ask for it";
  return "the SMBIOS record revision decides nothing";
}

std::string RoadWhy(const SimPlatform& machine, const Json& summary) {
  const Json& flags = summary["flags"];
  const Json& roles = summary["roles"];
  const std::string road = summary["road"].get<std::string>();
  if (road == "register")
    return "SSD+HDD mode: the SSD is disk " + roles["ssd"]["disk"].dump() +
           ", the hard disk with its own recovery partition is disk " + roles["hdd"]["disk"].dump();
  if (road == "rapid-start") {
    std::string why = "disk " + roles["ssd"]["disk"].dump() +
                      " is a cache SSD of at most 59392 MB and " + RapidStartReason(machine);
    if (Logged(machine, L"Mini SSD holds partitions in use, skip cutting"))
      why += "; it holds partitions in use, so nothing was carved";
    if (Logged(machine, L"Mini SSD too small for iRST, skip cutting"))
      why += "; it is too small for the cache, so nothing was carved";
    return why;
  }
  if (flags["miniSsd"] == true)
    return "a cache SSD, but rapid start is off: " + RapidStartReason(machine);
  if (summary["disks"].size() < 2 || !Logged(machine, L"Start CheckSDDHDDMode"))
    return "one disk in the inventory: neither SSD+HDD mode nor a cache SSD";
  return "neither SSD+HDD mode (PQSERVICE2 or PUSH BUTTON on a second disk) nor a cache SSD "
         "of at most 59392 MB";
}

bool IsProfileFile(const std::map<std::string, FileSpec>& files, const std::string& relative) {
  for (const auto& [path, entry] : files)
    if (EqualsIgnoreCaseAscii(FromUtf8(path), FromUtf8(relative))) return true;
  return false;
}

// Host folder name ("X", "disk1-part2") -> the profile's files on that volume.
std::map<std::string, const std::map<std::string, FileSpec>*> ProfileFiles(
    const SimPlatform& machine) {
  std::map<std::string, const std::map<std::string, FileSpec>*> files;
  for (const auto& disk : machine.profile().disks)
    for (size_t p = 0; p < disk.partitions.size(); ++p)
      files["disk" + std::to_string(disk.index) + "-part" + std::to_string(p + 1)] =
          &disk.partitions[p].files;
  for (const auto& drive : machine.profile().drives)
    files[U8(drive.letter.substr(0, 1))] = &drive.files;
  return files;
}

// The letters in force on the volume of a host folder, as " (M:, Q:)".
std::string FolderLetters(const SimPlatform& machine, const std::string& folder) {
  std::string letters;
  for (const auto& letter : machine.DosDevices().Letters()) {
    auto volume = machine.VolumeOfTarget(*machine.DosDevices().InForce(letter));
    if (volume.exists && volume.label && volume.folder.filename().string() == folder)
      letters += (letters.empty() ? "" : ", ") + U8(letter);
  }
  return letters.empty() ? "" : "  (" + letters + ")";
}

void PrintFiles(Printer& print, const SimPlatform& machine, const Json& summary,
                const fs::path& outDir) {
  std::set<std::string> logs;
  bool first = true;
  for (const auto& log : summary["logFiles"]) {
    const std::string relative = log.get<std::string>();
    logs.insert(relative);
    std::string folder = fs::path(relative).parent_path().filename().string();
    print.Entry(first ? "Logs" : "",
                (outDir / relative).generic_string() + FolderLetters(machine, folder));
    first = false;
  }
  if (first) print.Entry("Logs", "none written", Style::Bad);

  // Every other file on a volume that the profile did not put there.
  const auto given = ProfileFiles(machine);
  std::vector<std::string> written;
  std::error_code ec;
  const fs::path volumes = machine.OutDir() / "volumes";
  for (auto it = fs::recursive_directory_iterator(volumes, ec); !ec && it != decltype(it)();
       it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    fs::path relative = fs::relative(it->path(), volumes, ec);
    std::string folder = relative.begin()->string();
    std::string inside = fs::relative(it->path(), volumes / folder, ec).generic_string();
    auto found = given.find(folder);
    if (found != given.end() && IsProfileFile(*found->second, inside)) continue;
    std::string path = fs::path("volumes" / relative).generic_string();
    if (!logs.count(path)) written.push_back(path);
  }
  std::sort(written.begin(), written.end());
  first = true;
  for (const auto& path : written) {
    print.Entry(first ? "Scripts" : "", (outDir / path).generic_string());
    first = false;
  }
  print.Entry("Summary", (outDir / "summary.json").generic_string());
}

}  // namespace

bool StdoutWantsColour() { return isatty(fileno(stdout)) && getenv("NO_COLOR") == nullptr; }

void PrintHumanSummary(const SimPlatform& machine, const Json& summary, const fs::path& outDir,
                       std::ostream& out, bool colour) {
  Printer print(out, colour);
  print.Entry("Machine", summary["profile"].get<std::string>());
  if (!machine.profile().description.empty()) print.Entry("", machine.profile().description);

  const std::string road = summary["road"].get<std::string>();
  print.Entry("Road", road, road == "none" ? Style::Plain : Style::Good);
  print.Entry("", "because " + RoadWhy(machine, summary));
  const Json& flags = summary["flags"];
  print.Entry("Flags", "ssdHddMode " + Flag(flags["ssdHddMode"]) + ", miniSsd " +
                           Flag(flags["miniSsd"]) + ", rapidStart " + Flag(flags["rapidStart"]) +
                           " (" + RapidStartReason(machine) + ")");

  std::string missing;
  bool first = true;
  for (const auto& [role, slot] : summary["roles"].items()) {
    if (!slot["found"].get<bool>()) {
      missing += (missing.empty() ? "" : ", ") + role;
      continue;
    }
    const int disk = slot["disk"].get<int>();
    const int partition = slot["partition"].get<int>();
    std::string name = role + std::string(10 - std::min<size_t>(role.size(), 9), ' ');
    print.Entry(first ? "Roles" : "", name + "disk " + std::to_string(disk) + " partition " +
                                          std::to_string(partition) + "  " +
                                          VolumeText(machine, PartitionTarget(disk, partition)));
    first = false;
  }
  if (!missing.empty()) print.Entry(first ? "Roles" : "", "not found: " + missing);

  first = true;
  for (const auto& [letter, target] : summary["letters"].items()) {
    std::wstring wide = FromUtf8(target.get<std::string>());
    std::string text = letter + "  " + target.get<std::string>();
    text += std::string(text.size() < 36 ? 36 - text.size() : 1, ' ') + VolumeText(machine, wide);
    print.Entry(first ? "Letters" : "", text);
    first = false;
  }
  if (first) print.Entry("Letters", "none");

  first = true;
  for (const auto& command : summary["commands"]) {
    const bool started = command["started"].get<bool>();
    const bool ok = started && command["exitCode"] == 0;
    std::string code = started ? "exit " + command["exitCode"].dump() : "not started";
    print.Entry(first ? "Commands" : "",
                code + std::string(13 - std::min<size_t>(code.size(), 12), ' ') +
                    command["commandLine"].get<std::string>(),
                ok ? Style::Plain : Style::Bad);
    first = false;
  }
  if (first) print.Entry("Commands", "none");

  const Json& boxes = summary["messageBoxes"];
  if (boxes.empty()) {
    print.Entry("Boxes", "none");
  } else {
    print.Entry(
        "Boxes",
        std::to_string(boxes.size()) + " (each stops an unattended run until someone presses OK)",
        Style::Attention);
    for (const auto& box : boxes)
      print.Entry("", "\"" + box["text"].get<std::string>() + "\"", Style::Attention);
  }

  first = true;
  for (const auto& warning : summary["warnings"]) {
    print.Entry(first ? "Warnings" : "", "- " + warning["text"].get<std::string>(),
                Style::Attention);
    first = false;
  }
  if (first) print.Entry("Warnings", "none");

  char duration[64];
  std::snprintf(duration, sizeof duration, "%.3f s",
                static_cast<double>(summary["simulatedMs"].get<uint64_t>()) / 1000.0);
  print.Entry("Simulated", duration);
  PrintFiles(print, machine, summary, outDir);
}

}  // namespace quorvane::sim
