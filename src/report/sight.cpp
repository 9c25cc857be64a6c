// Which disks and partitions the run's tables held, and which role labels it never reached.
#include "report/sight.h"

#include <set>
#include <utility>

#include "base/text.h"
#include "classify/partition_roles.h"
#include "classify/role_labels.h"
#include "firmware/boot_mode.h"
#include "inventory/disk_inventory.h"
#include "procedure/layout_sequence.h"

namespace quorvane::report {

bool NoFixedDiskInAnyAttempt(const LoggedLines& logged) {
  return logged.Logged(Format(kInventoryErrorLine, {kInventoryAttempts - 1, kNoDisk}));
}

namespace {

// The profile tells a read that failed from a machine without the record: the log cannot.
void MarkWhatTheRunCouldNotRead(const sim::SimPlatform& machine, const LoggedLines& logged,
                                RunReport& report) {
  const sim::Profile& profile = machine.profile();
  report.smbiosReadFailed = logged.Logged(kSmbiosFailLine) &&
                            (profile.faults.comInitFails || profile.faults.smbiosFetchFails);
  report.firstInventoryFailed =
      report.diskCount <= 0 && !profile.disks.empty() && !NoFixedDiskInAnyAttempt(logged);
  if (logged.Logged(kDefaultLine)) {
    report.firmwareAnswer = profile.firmware.kind == sim::FirmwareSpec::Kind::Readable
                                ? "read a variable"
                                : "failed with error " + std::to_string(profile.firmware.lastError);
  }
}

}  // namespace

void MarkWhatTheRunSaw(const sim::SimPlatform& machine, const CLayoutJob& job,
                       const LoggedLines& logged, RunReport& report) {
  report.diskCount = job.m_DiskCount;
  report.refreshListed = !logged.Logged(kRefreshFailedLine);
  MarkWhatTheRunCouldNotRead(machine, logged, report);

  std::set<int> disks;
  for (const auto& disk : job.m_Disks)
    if (disk.Index != kEmptyIndex) disks.insert(disk.Index);
  // The table numbers partitions as WMI does.
  std::set<std::pair<int, int>> partitions;
  for (const auto& part : job.m_Partitions) {
    if (part.DiskIndex == kEmptyIndex) break;
    partitions.insert({part.DiskIndex, part.PartitionIndex});
  }

  auto mark = [&](DiskReport& disk) {
    disk.inventoried = disks.count(disk.index) > 0;
    for (auto& part : disk.partitions)
      if (!part.hidden) part.listed = partitions.count({disk.index, part.wmiIndex}) > 0;
  };
  for (auto& disk : report.disksBefore) mark(disk);
  for (auto& disk : report.disksAfter) {
    if (disk.cleaned) {
      disk.inventoried = disks.count(disk.index) > 0;
    } else {
      mark(disk);
    }
  }
}

// The labels the refresh tags roles by, as it tests them.
bool IsRoleLabel(const std::string& label) {
  const std::wstring upper = ToUpperAscii(FromUtf8(label));
  return upper == kPqServiceLabel || upper == kSystemReservedLabel || upper == kEspLabel ||
         StartsWith(upper, kRecoveryLabel) || IsOsLabel(upper) || IsHardDiskLabel(label);
}

bool IsHardDiskLabel(const std::string& label) {
  const std::wstring upper = ToUpperAscii(FromUtf8(label));
  return upper == kPqService2Label || StartsWith(upper, kPushButtonLabel);
}

std::vector<UnreachedPartition> UnreachedRoleLabels(const RunReport& report) {
  std::vector<UnreachedPartition> unreached;
  if (!report.refreshListed) return unreached;
  for (const auto& disk : report.disksBefore) {
    if (!disk.inventoried) continue;
    for (size_t i = 0; i < disk.partitions.size(); ++i) {
      const auto& part = disk.partitions[i];
      if (part.listed || !part.label || !IsRoleLabel(*part.label)) continue;
      unreached.push_back({disk.index, static_cast<int>(i) + 1, *part.label, part.hidden});
    }
  }
  return unreached;
}

std::string NeverReachedText(const UnreachedPartition& partition) {
  return "\"" + partition.label + "\" on disk " + std::to_string(partition.disk) + ", partition " +
         std::to_string(partition.number) + " was never reached: " +
         (partition.hidden ? "it is hidden, and WMI lists no hidden partition"
                           : "it had no letter at start and no probe kept one on it, and the "
                             "run lists only lettered partitions");
}

}  // namespace quorvane::report
