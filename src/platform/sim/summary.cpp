// The summary of a simulated run, as the command line and the scenario tests read it.
#include "platform/sim/summary.h"

#include <fstream>

#include "base/text.h"
#include "platform/sim/warnings.h"

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
  }
  summary["messageBoxes"] = boxes;

  Json logFiles = Json::array();
  for (const auto& write : machine.LogWrites()) {
    if (!write.written) continue;
    std::filesystem::path host(write.hostFile);
    if (!EqualsIgnoreCaseAscii(FromUtf8(host.filename().string()), L"Quorvane.log")) continue;
    if (std::find(logFiles.begin(), logFiles.end(), write.hostFile) != logFiles.end()) continue;
    std::error_code ec;
    if (std::filesystem::exists(machine.OutDir() / host, ec)) logFiles.push_back(write.hostFile);
  }
  summary["logFiles"] = logFiles;
  summary["simulatedMs"] = machine.ElapsedMs();

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
  summary["warnings"] = BuildWarnings(machine);
  return summary;
}

void WriteSummary(const nlohmann::ordered_json& summary, const std::filesystem::path& outDir) {
  std::ofstream out(outDir / "summary.json", std::ios::binary | std::ios::trunc);
  out << summary.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
  if (!out) throw std::runtime_error("cannot write " + (outDir / "summary.json").string());
}

}  // namespace quorvane::sim
