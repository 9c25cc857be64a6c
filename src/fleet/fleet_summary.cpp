// Counting a fleet's machines for the terminal.
#include "fleet/fleet_summary.h"

#include <map>
#include <string>

#include "report/warning_texts.h"

namespace quorvane::fleet {
namespace {

constexpr int kLabelWidth = 11;

void Entry(std::ostream& out, const std::string& label, const std::string& text) {
  out << label << std::string(label.size() < kLabelWidth ? kLabelWidth - label.size() : 1, ' ')
      << text << "\n";
}

// "name count, ..." in the order given, those with no machine left out; "none" when all are.
std::string Counts(const std::vector<std::pair<std::string, size_t>>& counts) {
  std::string text;
  for (const auto& [name, count] : counts) {
    if (count == 0) continue;
    text += (text.empty() ? "" : ", ") + name + " " + std::to_string(count);
  }
  return text.empty() ? "none" : text;
}

}  // namespace

void PrintFleetSummary(const std::vector<FleetRow>& rows, std::ostream& out) {
  size_t files = 0;
  std::map<RowStatus, size_t> statuses;
  std::map<std::string, size_t> roads;
  std::map<std::string, size_t> warned;  // machines with at least one warning of the kind
  for (const FleetRow& row : rows) {
    files += row.logFiles.size();
    ++statuses[row.status];
    ++roads[row.road];
    std::map<std::string, bool> kinds;
    for (const WarningCell& warning : row.warnings) kinds[warning.kind] = true;
    for (const auto& [kind, any] : kinds) ++warned[kind];
  }

  Entry(out, "Machines",
        std::to_string(rows.size()) + " (" + std::to_string(files) + " log files)");
  Entry(out, "Status",
        Counts({{StatusName(RowStatus::Read), statuses[RowStatus::Read]},
                {StatusName(RowStatus::CutShort), statuses[RowStatus::CutShort]},
                {StatusName(RowStatus::Damaged), statuses[RowStatus::Damaged]},
                {StatusName(RowStatus::Foreign), statuses[RowStatus::Foreign]}}));
  std::vector<std::pair<std::string, size_t>> roadCounts;
  for (const char* road : kRoadOrder) roadCounts.emplace_back(road, roads[road]);
  roadCounts.emplace_back("unknown", roads[""]);
  Entry(out, "Roads", Counts(roadCounts));
  std::vector<std::pair<std::string, size_t>> warningCounts;
  for (const char* kind :
       {report::kLetterRoleWarning, report::kDiskCleanedWarning, report::kMessageBoxWarning,
        report::kLostLogLineWarning, report::kCommandFailedWarning}) {
    warningCounts.emplace_back(kind, warned[kind]);
    warned.erase(kind);
  }
  for (const auto& [kind, count] : warned) warningCounts.emplace_back(kind, count);
  Entry(out, "Warnings", Counts(warningCounts));

  std::string label = "Not read";
  for (const FleetRow& row : rows) {
    if (!RowFailed(row)) continue;
    Entry(out, label, row.machine + "  " + StatusName(row.status) + ": " + row.problem);
    label.clear();
  }
}

}  // namespace quorvane::fleet
