// Finding run logs in folders and telling which machine each belongs to.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "fleet/fleet_row.h"

namespace quorvane::fleet {

struct MachineLogs {
  std::string machine;
  std::filesystem::path folder;              // the machine's folder
  std::vector<std::filesystem::path> files;  // its run logs, in path order
};

// The machine a log file belongs to: the name of its folder, or of the folder above when that
// is a tools folder ("RYTOOLS", any case), which names no machine.
std::filesystem::path MachineFolderOf(const std::filesystem::path& logFile);

// Each input is a log file (taken whatever its name) or a folder searched, recursively, for files
// named like the run log (any case); a folder that is a symbolic link is followed. Grouped by
// machine folder, in path order. An input that does not exist, is neither a file nor a folder, or
// holds no run log is named in `errors`; a link that leads back into a folder it lies in (a
// loop) and a broken link are named, with why, in `passedOver`.
std::vector<MachineLogs> FindMachineLogs(const std::vector<std::string>& inputs,
                                         std::vector<std::string>& errors,
                                         std::vector<std::string>* passedOver = nullptr);

// Reads every machine's logs into a row, in the order given.
std::vector<FleetRow> ReadFleetLogs(const std::vector<MachineLogs>& machines);

}  // namespace quorvane::fleet
