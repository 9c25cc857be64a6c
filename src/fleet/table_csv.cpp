// The fleet table as CSV (RFC 4180).
#include "fleet/table_cells.h"
#include "fleet/table_writers.h"

namespace quorvane::fleet {
namespace {

void Field(const std::string& text, std::ostream& out) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) {
    out << text;
    return;
  }
  out << '"';
  for (char c : text) {
    if (c == '"') out << '"';
    out << c;
  }
  out << '"';
}

std::string Joined(const std::vector<std::string>& items) {
  std::string text;
  for (const auto& item : items) text += (text.empty() ? "" : "; ") + item;
  return text;
}

}  // namespace

void WriteCsv(const std::vector<FleetRow>& rows, std::ostream& out) {
  const auto columns = TableColumns(rows);
  for (size_t i = 0; i < columns.size(); ++i) {
    if (i > 0) out << ',';
    Field(columns[i]->name, out);
  }
  out << "\r\n";
  for (const FleetRow& row : rows) {
    for (size_t i = 0; i < columns.size(); ++i) {
      if (i > 0) out << ',';
      Field(Joined(columns[i]->items(row)), out);
    }
    out << "\r\n";
  }
}

}  // namespace quorvane::fleet
