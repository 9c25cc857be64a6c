// Rendering a run's report as summary.json, the file scripts and the scenario tests read.
#include "report/summary_json.h"

#include <nlohmann/json.hpp>

namespace quorvane::report {
namespace {

using Json = nlohmann::ordered_json;

Json Flag(const std::optional<bool>& flag) { return flag ? Json(*flag) : Json(nullptr); }

Json Text(const std::optional<std::string>& text) { return text ? Json(*text) : Json(nullptr); }

Json Partitions(const std::vector<PartitionReport>& partitions) {
  Json parts = Json::array();
  for (const auto& part : partitions)
    parts.push_back(
        Json{{"sizeMB", part.sizeMB}, {"type", part.type}, {"label", Text(part.label)}});
  return parts;
}

Json ChangesJson(const Changes& changes) {
  Json disks = Json::array();
  for (const auto& disk : changes.disks)
    disks.push_back(Json{{"index", disk.index},
                         {"cleaned", disk.cleaned},
                         {"before", Partitions(disk.before)},
                         {"after", Partitions(disk.after)}});
  Json scripts = Json::array();
  for (const auto& script : changes.diskpartScripts)
    scripts.push_back(Json{{"commandLine", script.commandLine},
                           {"path", script.path},
                           {"text", Text(script.text)},
                           {"started", script.started},
                           {"exitCode", script.started ? Json(script.exitCode) : Json(nullptr)}});
  Json letters = Json::array();
  for (const auto& letter : changes.letters)
    letters.push_back(Json{
        {"letter", letter.letter}, {"before", Text(letter.before)}, {"after", Text(letter.after)}});
  return Json{{"disks", disks},
              {"diskpartScripts", scripts},
              {"letters", letters},
              {"files", changes.files}};
}

}  // namespace

std::string SummaryJson(const RunReport& report) {
  Json summary;
  summary["profile"] = report.machine;
  summary["road"] = RoadName(report.road);
  summary["because"] = report.roadWhy;
  summary["flags"] = Json{{"ssdHddMode", Flag(report.ssdHddMode)},
                          {"miniSsd", Flag(report.miniSsd)},
                          {"rapidStart", Flag(report.rapidStart)}};
  Json roles = Json::object();
  for (const auto& role : report.roles) {
    Json reset = nullptr;
    if (role.reset)
      reset = Json{{"why", role.reset->why},
                   {"disk", role.reset->disk},
                   {"partition", role.reset->partition}};
    roles[role.name] = Json{{"found", role.found},
                            {"disk", role.disk},
                            {"partition", role.partition},
                            {"use", role.use},
                            {"reset", reset}};
  }
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
  for (const auto& disk : report.disksAfter)
    disks.push_back(Json{{"index", disk.index},
                         {"style", disk.style},
                         {"partitions", Partitions(disk.partitions)},
                         {"inventoried", disk.inventoried}});
  summary["disks"] = disks;

  Json warnings = Json::array();
  for (const auto& warning : report.warnings)
    warnings.push_back(Json{{"kind", warning.kind},
                            {"text", warning.text},
                            {"severity", SeverityName(warning.severity)}});
  summary["warnings"] = warnings;
  summary["changes"] = ChangesJson(report.changes);
  return summary.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

}  // namespace quorvane::report
