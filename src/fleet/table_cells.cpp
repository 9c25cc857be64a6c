// The fleet table's columns: what each cell shows of a row.
#include "fleet/table_cells.h"

#include <cstdio>

#include "base/text.h"
#include "procedure/layout_sequence.h"

namespace quorvane::fleet {
namespace {

using Items = std::vector<std::string>;

Items One(std::string text) {
  if (text.empty()) return {};
  return {std::move(text)};
}

Items Flag(const std::optional<bool>& flag) {
  if (!flag) return {};
  return {*flag ? "true" : "false"};
}

std::string Seconds(int64_t ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%lld.%03lld", static_cast<long long>(ms / 1000),
                static_cast<long long>(ms % 1000));
  return text;
}

template <typename T, typename F>
Items Each(const std::vector<T>& list, F text) {
  Items items;
  items.reserve(list.size());
  for (const T& item : list) items.push_back(text(item));
  return items;
}

Items Roles(const FleetRow& row) {
  if (!row.roles) return {};
  Items items;
  for (int role = 0; role < kRoleCount; ++role) {
    const RoleCell& cell = (*row.roles)[role];
    items.push_back(std::string(kRoleNames[role]) + " " +
                    (cell.found ? std::to_string(cell.disk) + "/" + std::to_string(cell.partition)
                                : "not found"));
  }
  return items;
}

Items PbrLetter(const FleetRow& row) {
  static const std::string kLetter = Narrow8(kPbrLetter);
  for (const LetterCell& letter : row.letters) {
    if (letter.letter == kLetter) {
      return {letter.volume.empty() ? letter.target : letter.target + " " + letter.volume};
    }
  }
  // Past the flag summary with no M: mapped: the mapping failed.
  if (row.ssdHddMode && !row.pbrPartition.empty()) {
    return {"not mapped (meant for " + row.pbrPartition + ")"};
  }
  return {};
}

Items RunSeconds(const FleetRow& row) {
  if (row.simulatedMs) return One(Seconds(static_cast<int64_t>(*row.simulatedMs)));
  const auto ms = DurationMs(row);
  return ms ? One(Seconds(*ms)) : Items{};
}

const std::vector<Column> kColumns = {
    {"machine", false, Shown::Always, [](const FleetRow& r) { return One(r.machine); }},
    {"source", false, Shown::WhenCompared,
     [](const FleetRow& r) { return One(SourceName(r.source)); }},
    {"status", false, Shown::Always, [](const FleetRow& r) { return One(StatusName(r.status)); }},
    {"problem", true, Shown::Always, [](const FleetRow& r) { return One(r.problem); }},
    {"comparison", false, Shown::WhenCompared,
     [](const FleetRow& r) { return r.comparison ? One(ComparisonName(*r.comparison)) : Items{}; }},
    {"differences", true, Shown::WhenCompared,
     [](const FleetRow& r) { return Each(r.differences, DifferenceText); }},
    {"road", false, Shown::Always, [](const FleetRow& r) { return One(r.road); }},
    {"ssdHddMode", false, Shown::Always, [](const FleetRow& r) { return Flag(r.ssdHddMode); }},
    {"miniSsd", false, Shown::Always, [](const FleetRow& r) { return Flag(r.miniSsd); }},
    {"rapidStart", false, Shown::Always, [](const FleetRow& r) { return Flag(r.rapidStart); }},
    {"M:", false, Shown::Always, PbrLetter},
    {"commands", true, Shown::Always,
     [](const FleetRow& r) { return Each(r.commands, CommandText); }},
    {"warnings", true, Shown::Always,
     [](const FleetRow& r) {
       return Each(r.warnings, [](const WarningCell& w) { return w.kind + ": " + w.text; });
     }},
    {"messageBoxes", true, Shown::Always,
     [](const FleetRow& r) { return Each(r.messageBoxes, [](const auto& b) { return b.text; }); }},
    {"wipedDisk", false, Shown::Always,
     [](const FleetRow& r) { return r.wipedDisk ? One(std::to_string(*r.wipedDisk)) : Items{}; }},
    {"wipedDiskHeld", true, Shown::Always, [](const FleetRow& r) { return r.wipedDiskHeld; }},
    {"start", false, Shown::WithLogs,
     [](const FleetRow& r) { return r.startMs ? One(FormatLocalTime(*r.startMs)) : Items{}; }},
    {"end", false, Shown::WithLogs,
     [](const FleetRow& r) { return r.endMs ? One(FormatLocalTime(*r.endMs)) : Items{}; }},
    {"seconds", false, Shown::Always, RunSeconds},
    {"roles", true, Shown::Always, Roles},
    {"inventoryErrors", false, Shown::WithLogs,
     [](const FleetRow& r) { return One(InventoryErrorsText(r.inventoryErrors)); }},
    {"bootMode", true, Shown::WithLogs, [](const FleetRow& r) { return One(r.bootMode); }},
    {"disks", true, Shown::Always,
     [](const FleetRow& r) {
       return Each(r.disks, [](const DiskCell& d) {
         return std::to_string(d.index) + " " + d.model + ", " + std::to_string(d.sizeMB) +
                " MB, " + d.style;
       });
     }},
    {"partitions", true, Shown::WithLogs,
     [](const FleetRow& r) {
       return Each(r.partitions, [](const PartitionCell& p) {
         return p.letter + " \"" + p.label + "\" disk " + std::to_string(p.disk) + " index " +
                std::to_string(p.index) + ", " + p.sizeGB + " GB, " + p.type;
       });
     }},
    {"notes", true, Shown::Always, [](const FleetRow& r) { return r.notes; }},
    {"profileFile", true, Shown::WithSimulation,
     [](const FleetRow& r) { return One(r.profileFile); }},
    {"logFiles", true, Shown::Always, [](const FleetRow& r) { return r.logFiles; }},
};

}  // namespace

std::vector<const Column*> TableColumns(const std::vector<FleetRow>& rows) {
  bool logs = false, simulation = false, compared = false;
  for (const FleetRow& row : rows) {
    (row.source == RowSource::Log ? logs : simulation) = true;
    compared = compared || row.comparison.has_value();
  }
  std::vector<const Column*> columns;
  for (const Column& column : kColumns) {
    const bool shown = column.shown == Shown::Always || (column.shown == Shown::WithLogs && logs) ||
                       (column.shown == Shown::WithSimulation && simulation) ||
                       (column.shown == Shown::WhenCompared && compared);
    if (shown) columns.push_back(&column);
  }
  return columns;
}

std::string DifferenceText(const RunDifference& d) {
  auto side = [](const std::string& text) { return text.empty() ? std::string("nothing") : text; };
  return d.what + ": predicted " + side(d.predicted) + ", actual " + side(d.actual);
}

std::vector<std::string> ComparisonLines(const ComparedMachine& machine) {
  const FleetRow& row = machine.Either();
  Items lines = Each(row.differences, DifferenceText);
  if (machine.predicted == nullptr) lines.push_back("no profile");
  if (machine.actual == nullptr) lines.push_back("no log");
  for (const auto& [side, which] :
       {std::pair{"predicted ", machine.predicted}, std::pair{"actual ", machine.actual}}) {
    if (which != nullptr && RowFailed(*which))
      lines.push_back(side + std::string(StatusName(which->status)));
  }
  return lines;
}

std::string InventoryErrorsText(const std::vector<int64_t>& codes) {
  std::string text;
  for (size_t i = 0; i < codes.size();) {
    size_t end = i;
    while (end < codes.size() && codes[end] == codes[i]) ++end;
    if (!text.empty()) text += ' ';
    text += std::to_string(codes[i]);
    if (end - i > 1) text += " x" + std::to_string(end - i);
    i = end;
  }
  return text;
}

std::string CommandText(const CommandCell& command) {
  std::string outcome;
  if (!command.started) {
    outcome = "call err=" + std::to_string(command.lastError.value_or(0));
  } else if (command.exitCode) {
    outcome = std::to_string(*command.exitCode);
  } else {
    outcome = "no exit code";
  }
  return command.commandLine + ": " + outcome;
}

}  // namespace quorvane::fleet
