// Mapping a simulated run's report onto the fleet row, field by field.
#include "fleet/row_of_report.h"

#include <filesystem>

#include "base/utf8_path.h"
#include "inventory/wmi_paths.h"

namespace quorvane::fleet {
namespace {

using report::RunReport;

constexpr int64_t kBytesPerMB = 1048576;

std::array<RoleCell, kRoleCount> Roles(const RunReport& report) {
  std::array<RoleCell, kRoleCount> cells{};
  for (const report::RoleReport& role : report.roles) {
    for (int i = 0; i < kRoleCount; ++i) {
      if (role.name == kRoleNames[i]) cells[i] = RoleCell{role.found, role.disk, role.partition};
    }
  }
  return cells;
}

// "\"PQSERVICE\", 20000 MB, GPT: Basic Data".
std::string PartitionText(const report::PartitionReport& part) {
  return (part.label ? "\"" + *part.label + "\"" : std::string("no file system")) + ", " +
         std::to_string(part.sizeMB) + " MB, " + part.type;
}

void Wiped(const RunReport& report, FleetRow& row) {
  for (const report::DiskChange& disk : report.changes.disks) {
    if (!disk.cleaned) continue;
    row.wipedDisk = disk.index;
    for (const auto& part : disk.before) row.wipedDiskHeld.push_back(PartitionText(part));
    return;
  }
}

// The disks the run decided by, as its refresh listed them (the partitions WMI counts).
void Disks(const RunReport& report, FleetRow& row) {
  if (!report.refreshListed) return;
  for (const report::DiskReport& disk : report.disksBefore) {
    if (!disk.inventoried) continue;
    DiskCell cell;
    cell.index = disk.index;
    cell.model = disk.model;
    // As the inventory's 32-bit field holds it, and its log shows it.
    cell.sizeMB = BytesToMB(disk.sizeMB * kBytesPerMB);
    cell.style = disk.style;
    for (const auto& part : disk.partitions) cell.partitions += part.hidden ? 0 : 1;
    row.disks.push_back(std::move(cell));
  }
}

}  // namespace

FleetRow RowOfReport(const RunReport& report, const std::string& profileFile) {
  FleetRow row;
  row.machine = report.machine;
  row.source = RowSource::Simulation;
  row.status = RowStatus::Simulated;
  row.profileFile = profileFile;
  // A batch writes no output tree: the logs are named as the run wrote them on the machine.
  for (const auto& log : report.logFiles) row.logFiles.push_back(log.written);

  row.road = report::RoadName(report.road);
  row.ssdHddMode = report.ssdHddMode;
  row.miniSsd = report.miniSsd;
  row.rapidStart = report.rapidStart;
  row.roles = Roles(report);
  row.pbrPartition = report.pbrPartition;
  for (const auto& letter : report.letters) {
    row.letters.push_back(LetterCell{letter.letter, letter.target, VolumeText(letter.volume)});
  }

  for (const auto& command : report.commands) {
    CommandCell cell{command.commandLine, command.started, std::nullopt, std::nullopt};
    if (command.started) {
      cell.exitCode = command.exitCode;
    } else {
      cell.lastError = command.lastError;
    }
    row.commands.push_back(std::move(cell));
  }
  row.commandsWhole = true;
  for (const auto& box : report.messageBoxes) {
    row.messageBoxes.push_back(MessageBoxCell{box.text, box.caption});
  }
  for (const auto& warning : report.warnings) {
    row.warnings.push_back(WarningCell{warning.kind, warning.text, warning.severity});
  }
  Wiped(report, row);
  row.simulatedMs = report.simulatedMs;
  Disks(report, row);
  return row;
}

FleetRow BadProfileRow(const std::string& profileFile, const std::string& error) {
  FleetRow row;
  row.machine = Utf8OfPath(PathFromUtf8(profileFile).stem());
  row.source = RowSource::Simulation;
  row.status = RowStatus::BadProfile;
  row.problem = error;
  row.profileFile = profileFile;
  return row;
}

}  // namespace quorvane::fleet
