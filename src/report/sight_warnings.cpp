// Warnings about what the run could not see or read: an SMBIOS read that failed, unreached labels,
// disks left out, no disk at all, a firmware probe that told nothing.
#include "base/text.h"
#include "firmware/boot_mode.h"
#include "inventory/disk_inventory.h"
#include "report/sight.h"
#include "report/warning_texts.h"
#include "report/warnings.h"

namespace quorvane::report {
namespace {

using sim::SimPlatform;
using Warnings = std::vector<Warning>;

void NoDiskWarning(const SimPlatform& machine, const LoggedLines& logged, const RunReport& report,
                   Warnings& warnings) {
  if (report.diskCount > 0 && !report.refreshListed) {
    warnings.push_back(Warning{kNoDiskWarning,
                               "every attempt of the run's second inventory failed, so it found "
                               "no partition role, no SSD+HDD mode and no cache SSD; " +
                                   std::string(kRerunMayDecideOtherwise),
                               Severity::Warning});
    return;
  }
  if (report.diskCount > 0) return;
  std::string why = "every attempt of its first inventory failed";
  if (machine.profile().disks.empty()) {
    why = "the machine has none";
  } else if (NoFixedDiskInAnyAttempt(logged)) {
    why = "the disk query found no fixed disk in any attempt";
  }
  warnings.push_back(
      Warning{kNoDiskWarning,
              "the run counted no disk (" + why +
                  "), so it probed no partition for a letter and looked for "
                  "neither SSD+HDD mode nor a cache SSD" +
                  (report.firstInventoryFailed ? "; " + std::string(kRerunMayDecideOtherwise)
                                               : std::string()),
              Severity::Warning});
}

// The simulator knows whether the read failed or the machine has no record; only the first is
// a finding.
void SmbiosWarning(const SimPlatform& machine, const RunReport& report, Warnings& warnings) {
  if (!report.smbiosReadFailed) return;
  const std::string cause = machine.profile().faults.comInitFails
                                ? "COM could not be initialised"
                                : "connecting to ROOT\\WMI failed";
  warnings.push_back(Warning{kSmbiosUnreadWarning,
                             "the SMBIOS read failed (" + cause +
                                 "), so the run never saw the capability record: rapid start was "
                                 "not decided and stayed off; " +
                                 kRerunMayDecideOtherwise,
                             Severity::Warning});
}

// Only a completed refresh, or a disk query that listed nothing, tells that a disk was left out
// by its media type rather than by a failed attempt.
void LeftOutDiskWarnings(const LoggedLines& logged, const RunReport& report, Warnings& warnings) {
  if (!report.refreshListed && !NoFixedDiskInAnyAttempt(logged)) return;
  size_t inventoried = 0;
  for (const auto& disk : report.disksBefore) inventoried += disk.inventoried ? 1 : 0;
  for (const auto& disk : report.disksBefore) {
    if (disk.inventoried) continue;
    std::string text = "disk " + std::to_string(disk.index) + " (\"" + disk.model + "\", " +
                       std::to_string(disk.sizeMB) + " MB) is not in the run's inventory: ";
    text += inventoried >= kMaxDisks
                ? "the disk table holds " + std::to_string(kMaxDisks) + " disks"
                : "its media type is \"" + disk.mediaType + "\"";
    warnings.push_back(Warning{kDiskNotInventoriedWarning,
                               text + "; the run counts, probes and sizes only the disks it lists",
                               Severity::Note});
  }
}

void FirmwareWarning(const RunReport& report, Warnings& warnings) {
  if (report.firmwareAnswer.empty()) return;
  warnings.push_back(Warning{
      kFirmwareUndeterminedWarning,
      "the firmware probe " + report.firmwareAnswer + ", which tells neither legacy BIOS (error " +
          std::to_string(win::kErrorInvalidFunction) + ") nor UEFI (error " +
          std::to_string(win::kErrorNoAccess) +
          "), so the run took legacy BIOS for its letters and any carving; " +
          kRerunMayDecideOtherwise,
      Severity::Warning});
}

}  // namespace

void SightWarnings(const SimPlatform& machine, const LoggedLines& logged, const RunReport& report,
                   Warnings& warnings) {
  SmbiosWarning(machine, report, warnings);
  NoDiskWarning(machine, logged, report, warnings);
  LeftOutDiskWarnings(logged, report, warnings);
  for (const auto& partition : UnreachedRoleLabels(report))
    warnings.push_back(
        Warning{kLabelUnreachableWarning, NeverReachedText(partition), Severity::Warning});
  FirmwareWarning(report, warnings);
}

}  // namespace quorvane::report
