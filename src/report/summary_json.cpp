// Rendering a run's report as summary.json, the file scripts and the scenario tests read.
#include "report/summary_json.h"

#include <nlohmann/json.hpp>

namespace quorvane::report {
namespace {

using Json = nlohmann::ordered_json;

Json Flag(const std::optional<bool>& flag) { return flag ? Json(*flag) : Json(nullptr); }

}  // namespace

std::string SummaryJson(const RunReport& report) {
  Json summary;
  summary["profile"] = report.machine;
  summary["road"] = RoadName(report.road);
  summary["flags"] = Json{{"ssdHddMode", Flag(report.ssdHddMode)},
                          {"miniSsd", Flag(report.miniSsd)},
                          {"rapidStart", Flag(report.rapidStart)}};
  Json roles = Json::object();
  for (const auto& role : report.roles)
    roles[role.name] =
        Json{{"found", role.found}, {"disk", role.disk}, {"partition", role.partition}};
  summary["roles"] = roles;

  Json letters = Json::object();
  for (const auto& letter : report.letters) letters[letter.letter] = letter.target;
  summary["letters"] = letters;

  Json commands = Json::array();
  for (const auto& command : report.commands)
    commands.push_back(
        Json{{"commandLine", command.commandLine},
             {"started", command.started},
             {"exitCode", command.started ? Json(command.exitCode) : Json(nullptr)}});
  summary["commands"] = commands;

  Json boxes = Json::array();
  for (const auto& box : report.messageBoxes)
    boxes.push_back(Json{{"text", box.text}, {"caption", box.caption}});
  summary["messageBoxes"] = boxes;

  Json logFiles = Json::array();
  for (const auto& log : report.logFiles) logFiles.push_back(log.path);
  summary["logFiles"] = logFiles;
  summary["simulatedMs"] = report.simulatedMs;

  Json disks = Json::array();
  for (const auto& disk : report.disksAfter) {
    Json parts = Json::array();
    for (const auto& part : disk.partitions)
      parts.push_back(Json{{"sizeMB", part.sizeMB},
                           {"type", part.type},
                           {"label", part.label ? Json(*part.label) : Json(nullptr)}});
    disks.push_back(Json{{"index", disk.index}, {"style", disk.style}, {"partitions", parts}});
  }
  summary["disks"] = disks;

  Json warnings = Json::array();
  for (const auto& warning : report.warnings)
    warnings.push_back(Json{{"kind", warning.kind}, {"text", warning.text}});
  summary["warnings"] = warnings;
  return summary.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace quorvane::report
