// Counting a fleet's machines for the terminal.
#include "fleet/fleet_summary.h"

#include <map>
#include <string>

#include "fleet/run_comparison.h"
#include "fleet/table_cells.h"
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

// The machines of one source: how many, per status, road and warning kind, and those that failed.
void PrintRows(const std::vector<const FleetRow*>& rows, RowSource source, std::ostream& out) {
  size_t files = 0;
  std::map<RowStatus, size_t> statuses;
  std::map<std::string, size_t> roads;
  std::map<std::string, size_t> warned;  // machines with at least one warning of the kind
  for (const FleetRow* row : rows) {
    files += row->logFiles.size();
    ++statuses[row->status];
    ++roads[row->road];
    std::map<std::string, bool> kinds;
    for (const WarningCell& warning : row->warnings) kinds[warning.kind] = true;
    for (const auto& [kind, any] : kinds) ++warned[kind];
  }

  const bool logs = source == RowSource::Log;
  // What a technician must see first: the machines whose disk the run wipes (or wiped).
  std::string wiped;
  size_t wipes = 0;
  for (const FleetRow* row : rows) {
    if (!row->wipedDisk) continue;
    ++wipes;
    wiped += (wiped.empty() ? "" : ", ") + row->machine + " (disk " +
             std::to_string(*row->wipedDisk) + ")";
  }
  Entry(out, logs ? "Wiped" : "Wipes",
        wipes == 0 ? "no disk"
                   : std::to_string(wipes) + (wipes == 1 ? " machine: " : " machines: ") + wiped);
  Entry(out, "Machines",
        std::to_string(rows.size()) + " (" + std::to_string(logs ? files : rows.size()) +
            (logs ? " log files)" : " profiles)"));
  std::vector<std::pair<std::string, size_t>> statusCounts;
  for (RowStatus status : {RowStatus::Simulated, RowStatus::BadProfile, RowStatus::Read,
                           RowStatus::CutShort, RowStatus::Damaged, RowStatus::Foreign}) {
    statusCounts.emplace_back(StatusName(status), statuses[status]);
  }
  Entry(out, "Status", Counts(statusCounts));
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

  std::string label = logs ? "Not read" : "Not run";
  for (const FleetRow* row : rows) {
    if (!RowFailed(*row)) continue;
    Entry(out, label, row->machine + "  " + StatusName(row->status) + ": " + row->problem);
    label.clear();
  }
}

void PrintDifferences(const std::vector<FleetRow>& rows, std::ostream& out) {
  std::map<Comparison, size_t> counts;
  for (const FleetRow& row : rows) {
    // A pair counts once, by its predicted row.
    if (row.comparison &&
        (row.source == RowSource::Simulation || *row.comparison == Comparison::NoProfile)) {
      ++counts[*row.comparison];
    }
  }
  std::vector<std::pair<std::string, size_t>> comparisonCounts;
  for (Comparison comparison : {Comparison::Same, Comparison::Differs, Comparison::Incomplete,
                                Comparison::NoLog, Comparison::NoProfile}) {
    comparisonCounts.emplace_back(ComparisonName(comparison), counts[comparison]);
  }
  Entry(out, "Compared", Counts(comparisonCounts));
  // A machine on one side only is one name on a line of them: a rollout may hold thousands.
  std::string noLog, noProfile;
  bool heading = false;
  for (const ComparedMachine& machine : MachinesNotSame(rows)) {
    const FleetRow& row = machine.Either();
    if (*row.comparison == Comparison::NoLog || *row.comparison == Comparison::NoProfile) {
      std::string& names = *row.comparison == Comparison::NoLog ? noLog : noProfile;
      names += (names.empty() ? "" : ", ") + row.machine;
      continue;
    }
    if (!heading) out << "Differences\n";
    heading = true;
    std::string label = row.machine;
    for (const std::string& line : ComparisonLines(machine)) {
      Entry(out, label, line);
      label.clear();
    }
  }
  if (!noLog.empty()) Entry(out, "No log", noLog);
  if (!noProfile.empty()) Entry(out, "No profile", noProfile);
}

}  // namespace

void PrintFleetSummary(const std::vector<FleetRow>& rows, std::ostream& out) {
  std::vector<const FleetRow*> predicted, actual;
  bool compared = false;
  for (const FleetRow& row : rows) {
    (row.source == RowSource::Log ? actual : predicted).push_back(&row);
    compared = compared || row.comparison.has_value();
  }
  if (!predicted.empty() && !actual.empty()) {
    out << "Predicted\n";
    PrintRows(predicted, RowSource::Simulation, out);
    out << "\nActual\n";
    PrintRows(actual, RowSource::Log, out);
  } else if (!predicted.empty()) {
    PrintRows(predicted, RowSource::Simulation, out);
  } else {
    PrintRows(actual, RowSource::Log, out);
  }
  if (compared) {
    out << "\n";
    PrintDifferences(rows, out);
  }
}

}  // namespace quorvane::fleet
