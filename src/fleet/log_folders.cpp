// Finding run logs under folders, grouping them by machine and reading each machine's row.
#include "fleet/log_folders.h"

#include <map>

#include "base/text.h"
#include "fleet/log_file.h"
#include "fleet/log_reader.h"
#include "procedure/log_copy.h"
#include "run/run_log.h"

namespace quorvane::fleet {
namespace {

namespace fs = std::filesystem;

bool SameNameIgnoringCase(const fs::path& name, const wchar_t* wanted) {
  return EqualsIgnoreCaseAscii(FromUtf8(name.string()), wanted);
}

std::string MachineName(const fs::path& folder) {
  const fs::path name = folder.filename();
  return name.empty() ? folder.string() : name.string();
}

}  // namespace

fs::path MachineFolderOf(const fs::path& logFile) {
  fs::path folder = fs::absolute(logFile).lexically_normal().parent_path();
  if (SameNameIgnoringCase(folder.filename(), kToolsFolderName)) folder = folder.parent_path();
  return folder;
}

std::vector<MachineLogs> FindMachineLogs(const std::vector<std::string>& inputs,
                                         std::vector<std::string>& errors) {
  // Machine folder -> its files: absolute path (one file given twice is read once) -> the path
  // as the input spells it.
  std::map<fs::path, std::map<fs::path, fs::path>> byFolder;
  auto add = [&](const fs::path& file) {
    byFolder[MachineFolderOf(file)].emplace(fs::absolute(file).lexically_normal(),
                                            file.lexically_normal());
  };
  for (const std::string& input : inputs) {
    std::error_code ec;
    const fs::path path(input);
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status)) {
      errors.push_back(input + ": no such file or folder");
      continue;
    }
    if (!fs::is_directory(status)) {
      add(path);
      continue;
    }
    size_t found = 0;
    fs::recursive_directory_iterator it(path, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
      if (!SameNameIgnoringCase(it->path().filename(), kLogFileName)) continue;
      std::error_code typeError;
      if (!it->is_regular_file(typeError)) continue;
      add(it->path());
      ++found;
    }
    if (ec) {
      errors.push_back(input + ": " + ec.message());
    } else if (found == 0) {
      errors.push_back(input + ": no " + Narrow8(kLogFileName) + " in it");
    }
  }

  std::vector<MachineLogs> machines;
  machines.reserve(byFolder.size());
  for (const auto& [folder, files] : byFolder) {
    MachineLogs machine{MachineName(folder), folder, {}};
    for (const auto& [absolute, spelled] : files) machine.files.push_back(spelled);
    machines.push_back(std::move(machine));
  }
  return machines;
}

std::vector<FleetRow> ReadFleetLogs(const std::vector<MachineLogs>& machines) {
  std::vector<FleetRow> rows;
  rows.reserve(machines.size());
  std::vector<LogFile> files;
  for (const MachineLogs& machine : machines) {
    files.clear();
    for (const fs::path& path : machine.files) files.push_back(ReadLogFile(path));
    rows.push_back(ReadMachineRow(machine.machine, files));
  }
  return rows;
}

}  // namespace quorvane::fleet
