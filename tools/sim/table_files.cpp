// Writing the fleet table to the files named on the command line.
#include "tools/sim/table_files.h"

#include <fstream>
#include <stdexcept>

#include "fleet/table_writers.h"

namespace quorvane::sim {
namespace {

using fleet::FleetRow;

void WriteTable(const std::string& path, const std::vector<FleetRow>& rows,
                void (*writer)(const std::vector<FleetRow>&, std::ostream&)) {
  if (path.empty()) return;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  writer(rows, out);
  out.flush();
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

void WriteTableFiles(const TableFiles& files, const std::vector<FleetRow>& rows) {
  WriteTable(files.csvPath, rows, fleet::WriteCsv);
  WriteTable(files.jsonPath, rows, fleet::WriteJson);
  WriteTable(files.htmlPath, rows, fleet::WriteHtml);
}

}  // namespace quorvane::sim
