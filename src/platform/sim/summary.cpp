// The summary of a simulated run, as the command line and the scenario tests read it.
#include "platform/sim/summary.h"

#include <fstream>

#include "run/text.h"

namespace quorvane::sim {
namespace {

using Json = nlohmann::ordered_json;

std::string U8(const std::wstring& text) { return ToUtf8(text); }

bool EndsWith(const std::wstring& text, const std::wstring& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The value the flag summary logged for a flag; null when it was never logged.
Json LoggedFlag(const SimPlatform& machine, const std::wstring& name) {
  Json value = nullptr;
  for (const auto& write : machine.LogWrites())
    if (EndsWith(write.key, name)) value = write.value == L"true";
  return value;
}

Json Role(const RoleSlot& slot) {
  return Json{{"found", slot.bFound}, {"disk", slot.nDisk}, {"partition", slot.nPartition}};
}

bool IsOsLabel(const std::wstring& label) {
  for (const wchar_t* name :
       {L"OS", L"Talvo", L"Quenmark", L"Pellory", L"Rostane Vale", L"Miravel"})
    if (EqualsIgnoreCaseAscii(label, name)) return true;
  return false;
}

bool HasWindowsFolder(const std::filesystem::path& root) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(root, ec))
    if (EqualsIgnoreCaseAscii(FromUtf8(entry.path().filename().string()), L"Windows") &&
        entry.is_directory(ec))
      return true;
  return false;
}

Json Warning(const char* kind, const std::string& text) {
  return Json{{"kind", kind}, {"text", text}};
}

void LetterWarnings(const SimPlatform& machine, Json& warnings) {
  struct Fixed {
    const wchar_t* letter;
    const char* role;
  };
  for (const Fixed& fixed : {Fixed{L"M:", "a push-button-recovery partition"},
                             Fixed{L"W:", "a recovery-tools partition"},
                             Fixed{L"C:", "an operating-system partition"}}) {
    auto target = machine.DosDevices().InForce(fixed.letter);
    if (!target) continue;
    auto volume = machine.VolumeOfTarget(*target);
    std::string where = U8(fixed.letter) + " maps to " + U8(*target);
    if (!volume.exists) {
      warnings.push_back(
          Warning("letter-role", where + ", where there is no volume, not " + fixed.role));
      continue;
    }
    if (!volume.label) {
      warnings.push_back(
          Warning("letter-role", where + ", a partition without a file system, not " + fixed.role));
      continue;
    }
    std::wstring upper = ToUpperAscii(*volume.label);
    bool fits = false;
    if (fixed.letter[0] == L'M')
      fits = upper == L"PQSERVICE" || upper == L"PQSERVICE2" || StartsWith(upper, L"PUSH BUTTON");
    if (fixed.letter[0] == L'W') fits = StartsWith(upper, L"RECOVERY");
    if (fixed.letter[0] == L'C') fits = IsOsLabel(*volume.label) || HasWindowsFolder(volume.folder);
    if (!fits)
      warnings.push_back(Warning("letter-role", where + ", the volume \"" + U8(*volume.label) +
                                                    "\", which is not " + fixed.role));
  }
}

}  // namespace

Json BuildSummary(const SimPlatform& machine, const CLayoutJob& job) {
  Json summary;
  summary["profile"] = machine.profile().name;
  Json ssdHdd = LoggedFlag(machine, L"m_bSSDHDDMode");
  Json miniSsd = LoggedFlag(machine, L"m_bminiSSD");
  Json rapidStart = LoggedFlag(machine, L"m_biRST");
  const char* road = "none";
  if (ssdHdd == true) {
    road = "register";
  } else if (miniSsd == true && rapidStart == true) {
    road = "rapid-start";
  }
  summary["road"] = road;
  summary["flags"] = Json{{"ssdHddMode", ssdHdd}, {"miniSsd", miniSsd}, {"rapidStart", rapidStart}};
  summary["roles"] = Json{{"pbr", Role(job.m_PBRInfo)}, {"sys", Role(job.m_SYSInfo)},
                          {"os", Role(job.m_OSInfo)},   {"ssd", Role(job.m_SSDInfo)},
                          {"hdd", Role(job.m_HDDInfo)}, {"recovery", Role(job.m_RecoveryInfo)}};

  Json letters = Json::object();
  for (const auto& letter : machine.DosDevices().Letters())
    letters[U8(letter)] = U8(*machine.DosDevices().InForce(letter));
  summary["letters"] = letters;

  Json warnings = Json::array();
  LetterWarnings(machine, warnings);
  for (const auto& cleaned : machine.CleanedDisks()) {
    if (cleaned.labels.empty()) continue;
    std::string labels;
    for (const auto& label : cleaned.labels)
      labels += (labels.empty() ? "\"" : ", \"") + U8(label) + "\"";
    warnings.push_back(Warning("disk-cleaned", "disk " + std::to_string(cleaned.index) +
                                                   " was cleaned while it held " + labels));
  }

  Json commands = Json::array();
  for (const auto& command : machine.Commands()) {
    commands.push_back(
        Json{{"commandLine", U8(command.commandLine)},
             {"started", command.started},
             {"exitCode", command.started ? Json(command.exitCode) : Json(nullptr)}});
  }
  summary["commands"] = commands;

  Json boxes = Json::array();
  for (const auto& box : machine.MessageBoxes()) {
    boxes.push_back(Json{{"text", U8(box.text)}, {"caption", U8(box.caption)}});
    warnings.push_back(
        Warning("message-box", "a message box waited for an operator: \"" + U8(box.text) + "\""));
  }
  summary["messageBoxes"] = boxes;

  Json logFiles = Json::array();
  for (const auto& write : machine.LogWrites()) {
    if (!write.written) {
      warnings.push_back(Warning("lost-log-line", "lost in " + U8(write.file) + ": " +
                                                      U8(write.key) + "=" + U8(write.value)));
      continue;
    }
    std::filesystem::path host(write.hostFile);
    if (!EqualsIgnoreCaseAscii(FromUtf8(host.filename().string()), L"Quorvane.log")) continue;
    if (std::find(logFiles.begin(), logFiles.end(), write.hostFile) != logFiles.end()) continue;
    std::error_code ec;
    if (std::filesystem::exists(machine.OutDir() / host, ec)) logFiles.push_back(write.hostFile);
  }
  summary["logFiles"] = logFiles;
  summary["simulatedMs"] = machine.ElapsedMs();

  for (const auto& command : machine.Commands()) {
    if (!command.started) {
      warnings.push_back(Warning("command-failed", "could not start (error " +
                                                       std::to_string(command.lastError) +
                                                       "): " + U8(command.commandLine)));
    } else if (command.exitCode != 0) {
      warnings.push_back(Warning("command-failed", "ended with exit code " +
                                                       std::to_string(command.exitCode) + ": " +
                                                       U8(command.commandLine)));
    }
  }

  Json disks = Json::array();
  for (const auto& disk : machine.profile().disks) {
    Json parts = Json::array();
    for (const auto& part : disk.partitions) {
      parts.push_back(Json{{"sizeMB", part.sizeMB},
                           {"type", U8(part.type)},
                           {"label", part.label ? Json(U8(*part.label)) : Json(nullptr)}});
    }
    disks.push_back(
        Json{{"index", disk.index}, {"style", disk.gpt ? "gpt" : "mbr"}, {"partitions", parts}});
  }
  summary["disks"] = disks;
  summary["warnings"] = warnings;
  return summary;
}

void WriteSummary(const nlohmann::ordered_json& summary, const std::filesystem::path& outDir) {
  std::ofstream out(outDir / "summary.json", std::ios::binary | std::ios::trunc);
  out << summary.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
  if (!out) throw std::runtime_error("cannot write " + (outDir / "summary.json").string());
}

}  // namespace quorvane::sim
