// The fleet table as JSON, in summary.json's words where a row and a summary say the same.
#include <algorithm>

#include "fleet/run_comparison.h"
#include "fleet/table_writers.h"

namespace quorvane::fleet {
namespace {

using Json = nlohmann::ordered_json;

template <typename T>
Json OrNull(const std::optional<T>& value) {
  return value ? Json(*value) : Json(nullptr);
}

Json TextOrNull(const std::string& text) { return text.empty() ? Json(nullptr) : Json(text); }

Json Differences(const std::vector<RunDifference>& differences) {
  Json list = Json::array();
  for (const RunDifference& d : differences) {
    list.push_back(Json{{"what", d.what},
                        {"predicted", TextOrNull(d.predicted)},
                        {"actual", TextOrNull(d.actual)}});
  }
  return list;
}

}  // namespace

Json RowJson(const FleetRow& row) {
  Json json;
  json["machine"] = row.machine;
  json["source"] = SourceName(row.source);
  json["status"] = StatusName(row.status);
  json["problem"] = TextOrNull(row.problem);
  json["notes"] = row.notes;
  json["logFiles"] = row.logFiles;
  json["profileFile"] = TextOrNull(row.profileFile);
  json["comparison"] = row.comparison ? Json(ComparisonName(*row.comparison)) : Json(nullptr);
  json["differences"] = Differences(row.differences);
  json["start"] = row.startMs ? Json(FormatLocalTime(*row.startMs)) : Json(nullptr);
  json["end"] = row.endMs ? Json(FormatLocalTime(*row.endMs)) : Json(nullptr);
  json["durationMs"] = OrNull(DurationMs(row));
  json["simulatedMs"] = OrNull(row.simulatedMs);
  json["road"] = TextOrNull(row.road);
  json["flags"] = Json{{"ssdHddMode", OrNull(row.ssdHddMode)},
                       {"miniSsd", OrNull(row.miniSsd)},
                       {"rapidStart", OrNull(row.rapidStart)}};
  if (row.roles) {
    Json roles = Json::object();
    for (int role = 0; role < kRoleCount; ++role) {
      const RoleCell& cell = (*row.roles)[role];
      roles[kRoleNames[role]] =
          Json{{"found", cell.found}, {"disk", cell.disk}, {"partition", cell.partition}};
    }
    json["roles"] = roles;
  } else {
    json["roles"] = nullptr;
  }
  json["pbrPartition"] = TextOrNull(row.pbrPartition);
  Json letters = Json::object();
  for (const LetterCell& letter : row.letters) letters[letter.letter] = letter.target;
  json["letters"] = letters;
  Json commands = Json::array();
  for (const CommandCell& command : row.commands) {
    Json entry{{"commandLine", command.commandLine},
               {"started", command.started},
               {"exitCode", OrNull(command.exitCode)}};
    if (command.lastError) entry["lastError"] = *command.lastError;
    commands.push_back(entry);
  }
  json["commands"] = commands;
  json["commandsWhole"] = row.commandsWhole;
  Json boxes = Json::array();
  for (const MessageBoxCell& box : row.messageBoxes) {
    boxes.push_back(Json{{"text", box.text}, {"caption", box.caption}});
  }
  json["messageBoxes"] = boxes;
  Json warnings = Json::array();
  for (const WarningCell& warning : row.warnings) {
    warnings.push_back(Json{{"kind", warning.kind},
                            {"text", warning.text},
                            {"severity", report::SeverityName(warning.severity)}});
  }
  json["warnings"] = warnings;
  json["wipedDisk"] = OrNull(row.wipedDisk);
  json["wipedDiskHeld"] = row.wipedDiskHeld;
  json["inventoryErrors"] = row.inventoryErrors;
  json["bootMode"] = TextOrNull(row.bootMode);
  Json disks = Json::array();
  for (const DiskCell& disk : row.disks) {
    disks.push_back(Json{{"index", disk.index},
                         {"model", disk.model},
                         {"deviceId", disk.deviceId},
                         {"partitionCount", disk.partitions},
                         {"sizeMB", disk.sizeMB},
                         {"style", disk.style}});
  }
  json["disks"] = disks;
  Json partitions = Json::array();
  for (const PartitionCell& part : row.partitions) {
    partitions.push_back(Json{{"disk", part.disk},
                              {"index", part.index},
                              {"letter", part.letter},
                              {"label", part.label},
                              {"sizeGB", part.sizeGB},
                              {"type", part.type}});
  }
  json["partitions"] = partitions;
  return json;
}

void WriteJson(const std::vector<FleetRow>& rows, std::ostream& out) {
  Json list = Json::array();
  for (const FleetRow& row : rows) list.push_back(RowJson(row));
  Json table{{"rows", list}};
  // Set against logs: the machines that did not come out the same, once each.
  if (std::any_of(rows.begin(), rows.end(), [](const FleetRow& r) { return r.comparison; })) {
    Json machines = Json::array();
    auto status = [](const FleetRow* row) {
      return row != nullptr ? Json(StatusName(row->status)) : Json(nullptr);
    };
    for (const ComparedMachine& machine : MachinesNotSame(rows)) {
      const FleetRow& row = machine.Either();
      machines.push_back(Json{{"machine", row.machine},
                              {"comparison", ComparisonName(*row.comparison)},
                              {"predictedStatus", status(machine.predicted)},
                              {"actualStatus", status(machine.actual)},
                              {"differences", Differences(row.differences)}});
    }
    table["differences"] = machines;
  }
  out << table.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
}

}  // namespace quorvane::fleet
