// Writing the fleet table: CSV, JSON and a self-contained HTML page.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <vector>

#include "fleet/fleet_row.h"

namespace quorvane::fleet {

// RFC 4180: one header line, one record per row, CR LF line ends; a field holding a comma, a
// double quote or a line break is quoted, its quotes doubled. UTF-8 without a byte order mark.
// A list cell joins its items with "; ".
void WriteCsv(const std::vector<FleetRow>& rows, std::ostream& out);

// {"rows": [...]}: each row an object whose fields that summary.json also has keep its names;
// what the source cannot know is null (or an empty list).
nlohmann::ordered_json RowJson(const FleetRow& row);
void WriteJson(const std::vector<FleetRow>& rows, std::ostream& out);

// One page, inline CSS, no script, nothing fetched; every text escaped. Failed rows stand out.
void WriteHtml(const std::vector<FleetRow>& rows, std::ostream& out);

}  // namespace quorvane::fleet
