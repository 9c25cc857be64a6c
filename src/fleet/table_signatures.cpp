// What opens each table file this program writes: the CSV's header line, the JSON's first key,
// the page's head.
#include "fleet/table_signatures.h"

namespace quorvane::fleet {
namespace {

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

}  // namespace

bool IsFleetCsv(std::string_view head, bool) {
  // The header line: the machine first, its status and problem (after the source, when compared).
  const std::string_view line = head.substr(0, head.find("\r\n"));
  return line.size() < head.size() && StartsWith(line, "machine,") &&
         line.find(",status,problem,") != std::string_view::npos;
}

bool IsFleetJson(std::string_view head, bool) { return StartsWith(head, "{\n  \"rows\": ["); }

bool IsFleetPage(std::string_view head, bool) {
  return StartsWith(head,
                    "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                    "<title>Quorvane fleet</title>\n");
}

}  // namespace quorvane::fleet
