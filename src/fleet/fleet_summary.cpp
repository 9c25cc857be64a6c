// Counting a fleet's machines for the terminal.
#include "fleet/fleet_summary.h"

#include <map>
#include <optional>
#include <string>

#include "fleet/run_comparison.h"
#include "fleet/table_cells.h"
#include "report/terminal_summary.h"
#include "report/warning_texts.h"

namespace quorvane::fleet {
namespace {

constexpr int kLabelWidth = 11;

void Entry(std::ostream& out, const std::string& label, const std::string& text) {
  out << label << std::string(label.size() < kLabelWidth ? kLabelWidth - label.size() : 1, ' ')
      << text << "\n";
}

using report::PaintSeverity;
using report::Severity;

// A name with its count, and the severity it is painted in (none: plain).
struct Count {
  std::string name;
  size_t count = 0;
  std::optional<Severity> severity;
};

// "name count, ..." in the order given, those with no machine left out; "none" when all are.
std::string Counts(const std::vector<Count>& counts, bool colour) {
  std::string text;
  for (const Count& c : counts) {
    if (c.count == 0) continue;
    const std::string item = c.name + " " + std::to_string(c.count);
    text +=
        (text.empty() ? "" : ", ") + (c.severity ? PaintSeverity(item, *c.severity, colour) : item);
  }
  return text.empty() ? "none" : text;
}

// The machines of one source: how many, per status, road and warning kind, and those that failed.
void PrintRows(const std::vector<const FleetRow*>& rows, RowSource source, std::ostream& out,
               bool colour) {
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
  // A row not read or run whole is a failure of the table, as a failed command is of a run.
  std::vector<Count> statusCounts;
  for (RowStatus status : {RowStatus::Simulated, RowStatus::BadProfile, RowStatus::Read,
                           RowStatus::CutShort, RowStatus::Damaged, RowStatus::Foreign}) {
    statusCounts.push_back(
        Count{StatusName(status), statuses[status],
              StatusFailed(status) ? std::optional(Severity::Danger) : std::nullopt});
  }
  Entry(out, "Status", Counts(statusCounts, colour));
  // A road is neither good nor bad.
  std::vector<Count> roadCounts;
  for (const char* road : kRoadOrder) roadCounts.push_back(Count{road, roads[road], std::nullopt});
  roadCounts.push_back(Count{"unknown", roads[""], std::nullopt});
  Entry(out, "Roads", Counts(roadCounts, colour));
  std::vector<Count> warningCounts;
  for (const char* kind :
       {report::kLetterRoleWarning, report::kDiskCleanedWarning, report::kMessageBoxWarning,
        report::kLostLogLineWarning, report::kCommandFailedWarning}) {
    warningCounts.push_back(Count{kind, warned[kind], report::KindSeverity(kind)});
    warned.erase(kind);
  }
  for (const auto& [kind, count] : warned)
    warningCounts.push_back(Count{kind, count, report::KindSeverity(kind)});
  Entry(out, "Warnings", Counts(warningCounts, colour));

  std::string label = logs ? "Not read" : "Not run";
  for (const FleetRow* row : rows) {
    if (!RowFailed(*row)) continue;
    Entry(out, label,
          row->machine + "  " +
              PaintSeverity(std::string(StatusName(row->status)) + ": " + row->problem,
                            Severity::Danger, colour));
    label.clear();
  }
}

void PrintDifferences(const std::vector<FleetRow>& rows, std::ostream& out, bool colour) {
  std::map<Comparison, size_t> counts;
  for (const FleetRow& row : rows) {
    // A pair counts once, by its predicted row.
    if (row.comparison &&
        (row.source == RowSource::Simulation || *row.comparison == Comparison::NoProfile)) {
      ++counts[*row.comparison];
    }
  }
  // A prediction that differs from the real run is for someone to look at.
  std::vector<Count> comparisonCounts;
  for (Comparison comparison : {Comparison::Same, Comparison::Differs, Comparison::Incomplete,
                                Comparison::NoLog, Comparison::NoProfile}) {
    comparisonCounts.push_back(
        Count{ComparisonName(comparison), counts[comparison],
              comparison == Comparison::Differs ? std::optional(Severity::Warning) : std::nullopt});
  }
  Entry(out, "Compared", Counts(comparisonCounts, colour));
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
      Entry(out, label, PaintSeverity(line, Severity::Warning, colour));
      label.clear();
    }
  }
  if (!noLog.empty()) Entry(out, "No log", noLog);
  if (!noProfile.empty()) Entry(out, "No profile", noProfile);
}

}  // namespace

void PrintFleetSummary(const std::vector<FleetRow>& rows, std::ostream& out, bool colour) {
  std::vector<const FleetRow*> predicted, actual;
  bool compared = false;
  for (const FleetRow& row : rows) {
    (row.source == RowSource::Log ? actual : predicted).push_back(&row);
    compared = compared || row.comparison.has_value();
  }
  if (!predicted.empty() && !actual.empty()) {
    out << "Predicted\n";
    PrintRows(predicted, RowSource::Simulation, out, colour);
    out << "\nActual\n";
    PrintRows(actual, RowSource::Log, out, colour);
  } else if (!predicted.empty()) {
    PrintRows(predicted, RowSource::Simulation, out, colour);
  } else {
    PrintRows(actual, RowSource::Log, out, colour);
  }
  if (compared) {
    out << "\n";
    PrintDifferences(rows, out, colour);
  }
}

}  // namespace quorvane::fleet
