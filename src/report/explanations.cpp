// The road's explanation and the rapid-start reason, from what the run counted, found and logged.
#include "report/explanations.h"

#include "base/text.h"
#include "classify/capability_decision.h"
#include "classify/disk_sizes.h"
#include "classify/partition_roles.h"
#include "classify/role_labels.h"
#include "procedure/layout_sequence.h"
#include "procedure/rapid_start.h"
#include "report/sight.h"

namespace quorvane::report {
namespace {

int RoleDisk(const RunReport& report, const char* name) {
  for (const auto& role : report.roles)
    if (role.name == name) return role.disk;
  return 0;
}

std::string Limit() { return "of at most " + std::to_string(kSmallSsdLimitMB) + " MB"; }

std::string U8(const wchar_t* text) { return ToUtf8(text); }

// What the mode check had: a hard disk's own recovery partition, and an SSD on another disk.
std::string NotSsdHddWhy(const RunReport& report, const LoggedLines& logged) {
  const auto hdd = logged.RoleDisk(kHddRoleLine);
  if (!hdd) {
    std::string why = "it saw no " + U8(kPqService2Label) + " or " + U8(kPushButtonLabel) +
                      " partition (a hard disk's own recovery)";
    for (const auto& partition : UnreachedRoleLabels(report))
      if (IsHardDiskLabel(partition.label)) why += "; " + NeverReachedText(partition);
    return why;
  }
  const std::string disk = std::to_string(*hdd);
  if (!logged.RoleDisk(kSsdRoleLine))
    return "disk " + disk + " holds a hard disk's own recovery partition, but no " +
           U8(kPqServiceLabel) + " or " + U8(kRecoveryLabel) + " partition marks an SSD";
  return "the SSD's and the hard disk's recovery partitions are both on disk " + disk;
}

}  // namespace

std::string RapidStartWhy(const RunReport& report, const LoggedLines& logged) {
  if (report.smbiosReadFailed) return "the SMBIOS read failed: rapid start was not decided";
  if (logged.Logged(kSmbiosFailLine)) return "no SMBIOS capability record";
  if (logged.Logged(kRapidStartWantedLine)) return "the SMBIOS record asks for it";
  if (logged.Logged(kRapidStartNotWantedLine)) return "the SMBIOS record does not ask for it";
  return "the SMBIOS record revision decides nothing";
}

namespace {

std::string RoadOnly(const RunReport& report, const LoggedLines& logged) {
  const std::string ssd = std::to_string(RoleDisk(report, "ssd"));
  if (report.road == Road::Register)
    return "SSD+HDD mode: the SSD is disk " + ssd +
           ", the hard disk with its own recovery partition is disk " +
           std::to_string(RoleDisk(report, "hdd"));
  if (report.road == Road::RapidStart) {
    std::string why =
        "disk " + ssd + " is a cache SSD " + Limit() + " and " + RapidStartWhy(report, logged);
    if (logged.Logged(kInUseSkipLine)) why += "; it holds partitions in use, so nothing was carved";
    if (logged.Logged(kTooSmallSkipLine))
      why += "; it is too small for the cache, so nothing was carved";
    return why;
  }
  if (report.miniSsd == true && report.smbiosReadFailed)
    return "disk " + ssd + " is a cache SSD " + Limit() + ", but " + RapidStartWhy(report, logged);
  if (report.miniSsd == true)
    return "disk " + ssd + " is a cache SSD " + Limit() +
           ", but rapid start is off: " + RapidStartWhy(report, logged);
  if (report.diskCount <= 0 && report.firstInventoryFailed)
    return "every attempt of its first inventory failed, so the run counted no disk and looked for "
           "neither SSD+HDD mode nor a cache SSD";
  if (report.diskCount <= 0)
    return "the run counted no disk, so it looked for neither SSD+HDD mode nor a cache SSD";
  if (report.diskCount == 1)
    return "the run counted one disk, and SSD+HDD mode and a cache SSD both take two";
  const std::string counted =
      "the run counted " + std::to_string(report.diskCount) + " disks, but ";
  if (!report.refreshListed)
    return counted +
           "every attempt of its second inventory failed, so it found neither SSD+HDD mode nor a "
           "cache SSD";
  return counted + "none is a cache SSD " + Limit() +
         ", and it is not SSD+HDD mode: " + NotSsdHddWhy(report, logged);
}

}  // namespace

std::string RoadWhy(const RunReport& report, const LoggedLines& logged) {
  std::string why = RoadOnly(report, logged);
  // The boot mode decides the letters the run probes, and so the roles it can find.
  if (!report.firmwareAnswer.empty())
    why += "; the boot mode was not decided: the firmware probe " + report.firmwareAnswer +
           ", so the run took legacy BIOS";
  return why;
}

}  // namespace quorvane::report
