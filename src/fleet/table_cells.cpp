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
    if (letter.letter == kLetter) return {letter.target};
  }
  // Past the flag summary with no M: mapped: the mapping failed.
  if (row.ssdHddMode && !row.pbrPartition.empty()) {
    return {"not mapped (meant for " + row.pbrPartition + ")"};
  }
  return {};
}

const std::vector<Column> kColumns = {
    {"machine", false, [](const FleetRow& r) { return One(r.machine); }},
    {"status", false, [](const FleetRow& r) { return One(StatusName(r.status)); }},
    {"problem", true, [](const FleetRow& r) { return One(r.problem); }},
    {"road", false, [](const FleetRow& r) { return One(r.road); }},
    {"ssdHddMode", false, [](const FleetRow& r) { return Flag(r.ssdHddMode); }},
    {"miniSsd", false, [](const FleetRow& r) { return Flag(r.miniSsd); }},
    {"rapidStart", false, [](const FleetRow& r) { return Flag(r.rapidStart); }},
    {"M:", false, PbrLetter},
    {"commands", true, [](const FleetRow& r) { return Each(r.commands, CommandText); }},
    {"warnings", true,
     [](const FleetRow& r) {
       return Each(r.warnings, [](const WarningCell& w) { return w.kind + ": " + w.text; });
     }},
    {"messageBoxes", true,
     [](const FleetRow& r) { return Each(r.messageBoxes, [](const auto& b) { return b.text; }); }},
    {"wipedDisk", false,
     [](const FleetRow& r) { return r.wipedDisk ? One(std::to_string(*r.wipedDisk)) : Items{}; }},
    {"start", false,
     [](const FleetRow& r) { return r.startMs ? One(FormatLocalTime(*r.startMs)) : Items{}; }},
    {"end", false,
     [](const FleetRow& r) { return r.endMs ? One(FormatLocalTime(*r.endMs)) : Items{}; }},
    {"seconds", false,
     [](const FleetRow& r) {
       const auto ms = DurationMs(r);
       return ms ? One(Seconds(*ms)) : Items{};
     }},
    {"roles", true, Roles},
    {"inventoryErrors", false,
     [](const FleetRow& r) { return One(InventoryErrorsText(r.inventoryErrors)); }},
    {"bootMode", true, [](const FleetRow& r) { return One(r.bootMode); }},
    {"disks", true,
     [](const FleetRow& r) {
       return Each(r.disks, [](const DiskCell& d) {
         return std::to_string(d.index) + " " + d.model + ", " + std::to_string(d.sizeMB) +
                " MB, " + d.style;
       });
     }},
    {"partitions", true,
     [](const FleetRow& r) {
       return Each(r.partitions, [](const PartitionCell& p) {
         return p.letter + " \"" + p.label + "\" disk " + std::to_string(p.disk) + " index " +
                std::to_string(p.index) + ", " + p.sizeGB + " GB, " + p.type;
       });
     }},
    {"notes", true, [](const FleetRow& r) { return r.notes; }},
    {"logFiles", true, [](const FleetRow& r) { return r.logFiles; }},
};

}  // namespace

const std::vector<Column>& TableColumns() { return kColumns; }

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
