// The fleet table as one self-contained HTML page.
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
td.status-read { color: #1a7f37; }
td.status-failed { color: #b42318; font-weight: 600; }
td.empty { background: #fafafa; }
)";

}  // namespace

void WriteHtml(const std::vector<FleetRow>& rows, std::ostream& out) {
  size_t failed = 0;
  for (const FleetRow& row : rows) failed += RowFailed(row) ? 1 : 0;
  out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      << "<title>Quorvane fleet</title>\n<style>" << kStyle << "</style>\n</head>\n<body>\n"
      << "<h1>Quorvane fleet</h1>\n<p class=\"counts\">" << rows.size() << " machines, " << failed
      << " not read whole</p>\n<table>\n<thead><tr>";
  const auto& columns = TableColumns();
  for (const Column& column : columns) out << "<th>" << EscapeHtml(column.name) << "</th>";
  out << "</tr></thead>\n<tbody>\n";
  for (const FleetRow& row : rows) {
    out << (RowFailed(row) ? "<tr class=\"failed\">" : "<tr>");
    for (const Column& column : columns) {
      const auto items = column.items(row);
      std::string cls = column.wide ? "wide" : "";
      if (items.empty()) cls = "empty";
      if (std::string_view(column.name) == "status") {
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
