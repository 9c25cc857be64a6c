// Writing the fleet table to the files named on the command line.
#include "tools/sim/table_files.h"

#include <sstream>

#include "base/utf8_path.h"
#include "fleet/table_signatures.h"
#include "fleet/table_writers.h"
#include "platform/host_files.h"
#include "whatif/output_policy.h"

namespace quorvane::sim {
namespace {

using fleet::FleetRow;

struct TableFile {
  const char* option;
  const std::string TableFiles::*path;
  const char* kind;
  whatif::OwnFileTest own;
  void (*writer)(const std::vector<FleetRow>&, std::ostream&);
};

constexpr TableFile kTables[] = {
    {"--csv", &TableFiles::csvPath, "CSV table", fleet::IsFleetCsv, fleet::WriteCsv},
    {"--json", &TableFiles::jsonPath, "JSON table", fleet::IsFleetJson, fleet::WriteJson},
    {"--html", &TableFiles::htmlPath, "fleet page", fleet::IsFleetPage, fleet::WriteHtml},
};

}  // namespace

std::string CheckTableFiles(const TableFiles& files, const std::vector<std::string>& inputs) {
  whatif::OutputPlan plan;
  for (const TableFile& table : kTables) {
    const std::string& path = files.*table.path;
    if (!path.empty())
      plan.files.push_back({table.option, PathFromUtf8(path), table.kind, {table.own}});
  }
  std::vector<std::filesystem::path> read;
  for (const std::string& input : inputs) read.push_back(PathFromUtf8(input));
  return whatif::CheckOutputs(plan, read);
}

std::string WriteTableFiles(const TableFiles& files, const std::vector<FleetRow>& rows) {
  for (const TableFile& table : kTables) {
    const std::string& path = files.*table.path;
    if (path.empty()) continue;
    std::ostringstream bytes;
    table.writer(rows, bytes);
    if (const std::string why = host::WriteWhole(PathFromUtf8(path), bytes.str()); !why.empty())
      return "cannot write " + path + ": " + why;
  }
  return "";
}

}  // namespace quorvane::sim
