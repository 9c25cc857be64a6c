// The fleet table files known again by their content, so that --csv, --json and --html replace
// an earlier table of this program's and nothing else.
#pragma once

#include <string_view>

namespace quorvane::fleet {

// Each takes a file's start (`head`; the whole file when `whole`) and tells whether WriteCsv,
// WriteJson or WriteHtml (table_writers.h) wrote it.
bool IsFleetCsv(std::string_view head, bool whole);
bool IsFleetJson(std::string_view head, bool whole);
bool IsFleetPage(std::string_view head, bool whole);

}  // namespace quorvane::fleet
