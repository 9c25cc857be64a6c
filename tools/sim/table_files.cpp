// Writing the fleet table to the files named on the command line.
#include "tools/sim/table_files.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <utility>

#include "base/utf8_path.h"
#include "fleet/table_writers.h"
#include "whatif/out_folder.h"

namespace quorvane::sim {
namespace {

using fleet::FleetRow;

void WriteTable(const std::string& path, const std::vector<FleetRow>& rows,
                void (*writer)(const std::vector<FleetRow>&, std::ostream&)) {
  if (path.empty()) return;
  std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
  writer(rows, out);
  out.flush();
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

bool CheckTableFiles(const TableFiles& files, std::string& error) {
  namespace fs = std::filesystem;
  const std::pair<const char*, const std::string*> named[] = {
      {"--csv", &files.csvPath}, {"--json", &files.jsonPath}, {"--html", &files.htmlPath}};
  std::vector<fs::path> seen;
  for (const auto& [option, path] : named) {
    if (path->empty()) continue;
    if (!whatif::CheckOutputFile(PathFromUtf8(*path), option, error)) return false;
    std::error_code ec;
    const fs::path where = fs::weakly_canonical(fs::absolute(PathFromUtf8(*path), ec), ec);
    for (const fs::path& other : seen) {
      if (other == where) {
        error = *path + ": named for two tables; give " + option + " a file of its own";
        return false;
      }
    }
    seen.push_back(where);
  }
  return true;
}

void WriteTableFiles(const TableFiles& files, const std::vector<FleetRow>& rows) {
  WriteTable(files.csvPath, rows, fleet::WriteCsv);
  WriteTable(files.jsonPath, rows, fleet::WriteJson);
  WriteTable(files.htmlPath, rows, fleet::WriteHtml);
}

}  // namespace quorvane::sim
