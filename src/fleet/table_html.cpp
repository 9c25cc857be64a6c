// The fleet table as one self-contained HTML page.
#include <algorithm>

#include "fleet/run_comparison.h"
#include "fleet/table_cells.h"
#include "fleet/table_writers.h"
#include "report/layout_picture.h"

namespace quorvane::fleet {
namespace {

using report::EscapeHtml;

constexpr char kStyle[] = R"(
body { font: 13px/1.4 system-ui, sans-serif; margin: 16px; color: #222; }
h1 { font-size: 18px; margin: 0 0 4px; }
p.counts { margin: 0 0 12px; color: #555; }
table { border-collapse: collapse; }
th, td { border: 1px solid #ccc; padding: 3px 6px; vertical-align: top; text-align: left; }
th { background: #f0f0f0; position: sticky; top: 0; }
td { white-space: nowrap; }
td.wide { white-space: normal; min-width: 16em; max-width: 36em; overflow-wrap: break-word; }
tr.failed td { background: #fde8e8; }
tr.danger td { background: #f6c4c4; }
tr.danger td:first-child { border-left: 4px solid #b42318; }
td.status-read { color: #1a7f37; }
td.status-failed { color: #b42318; font-weight: 600; }
td.empty { background: #fafafa; }
h2 { font-size: 15px; margin: 12px 0 4px; }
table.differences { margin-bottom: 12px; }
)";

// "6 machines, 1 not read whole" for logs, "16 machines from profiles, 1 bad profile" for a batch;
// both when a batch is set against logs.
std::string Counts(const std::vector<FleetRow>& rows) {
  size_t logs = 0, logsFailed = 0, runs = 0, runsFailed = 0;
  for (const FleetRow& row : rows) {
    const bool failed = RowFailed(row);
    if (row.source == RowSource::Log) {
      ++logs;
      logsFailed += failed ? 1 : 0;
    } else {
      ++runs;
      runsFailed += failed ? 1 : 0;
    }
  }
  std::string text;
  if (runs > 0 || logs == 0) {
    text = std::to_string(runs) + " machines from profiles, " + std::to_string(runsFailed) +
           (runsFailed == 1 ? " bad profile" : " bad profiles");
  }
  if (logs > 0) {
    text += (text.empty() ? "" : "; ") + std::to_string(logs) + " machines" +
            (runs > 0 ? " from logs, " : ", ") + std::to_string(logsFailed) + " not read whole";
  }
  return text;
}

// Each machine that did not come out the same, with how.
void WriteDifferences(const std::vector<FleetRow>& rows, std::ostream& out) {
  const auto listed = MachinesNotSame(rows);
  out << "<h2>Differences</h2>\n";
  if (listed.empty()) {
    out << "<p class=\"counts\">every machine came out as predicted</p>\n";
    return;
  }
  out << "<table class=\"differences\">\n<thead><tr><th>machine</th><th>comparison</th>"
      << "<th>how</th></tr></thead>\n<tbody>\n";
  for (const ComparedMachine& machine : listed) {
    const FleetRow& row = machine.Either();
    out << "<tr><td>" << EscapeHtml(row.machine) << "</td><td>"
        << EscapeHtml(ComparisonName(*row.comparison)) << "</td><td class=\"wide\">";
    const auto how = ComparisonLines(machine);
    for (size_t i = 0; i < how.size(); ++i) out << (i > 0 ? "<br>" : "") << EscapeHtml(how[i]);
    out << "</td></tr>\n";
  }
  out << "</tbody>\n</table>\n";
}

}  // namespace

void WriteHtml(const std::vector<FleetRow>& rows, std::ostream& out) {
  out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      << "<title>Quorvane fleet</title>\n<style>" << kStyle << "</style>\n</head>\n<body>\n"
      << "<h1>Quorvane fleet</h1>\n<p class=\"counts\">" << EscapeHtml(Counts(rows)) << "</p>\n";
  if (std::any_of(rows.begin(), rows.end(), [](const FleetRow& r) { return r.comparison; })) {
    WriteDifferences(rows, out);
    out << "<h2>Machines</h2>\n";
  }
  out << "<table>\n<thead><tr>";
  const auto columns = TableColumns(rows);
  for (const Column* column : columns) out << "<th>" << EscapeHtml(column->name) << "</th>";
  out << "</tr></thead>\n<tbody>\n";
  for (const FleetRow& row : rows) {
    // A run that wipes a disk holding labelled partitions is tinted darker than a failed row.
    const bool danger = std::any_of(
        row.warnings.begin(), row.warnings.end(),
        [](const WarningCell& warning) { return warning.severity == report::Severity::Danger; });
    out << (danger ? "<tr class=\"danger\">" : RowFailed(row) ? "<tr class=\"failed\">" : "<tr>");
    for (const Column* column : columns) {
      const auto items = column->items(row);
      std::string cls = column->wide ? "wide" : "";
      if (items.empty()) cls = "empty";
      if (std::string_view(column->name) == "status") {
        cls = RowFailed(row) ? "status-failed" : "status-read";
      }
      out << (cls.empty() ? "<td>" : "<td class=\"" + cls + "\">");
      for (size_t i = 0; i < items.size(); ++i) {
        out << (i > 0 ? "<br>" : "") << EscapeHtml(items[i]);
      }
      out << "</td>";
    }
    out << "</tr>\n";
  }
  out << "</tbody>\n</table>\n</body>\n</html>\n";
}

}  // namespace quorvane::fleet
