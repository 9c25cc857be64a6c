// The road's explanation and the rapid-start reason, from the flags, roles and lines of a run.
#include "report/explanations.h"

#include "base/text.h"
#include "classify/capability_decision.h"
#include "classify/disk_mode.h"
#include "classify/disk_sizes.h"
#include "classify/role_labels.h"
#include "procedure/layout_sequence.h"
#include "procedure/rapid_start.h"

namespace quorvane::report {
namespace {

int RoleDisk(const RunReport& report, const char* name) {
  for (const auto& role : report.roles)
    if (role.name == name) return role.disk;
  return 0;
}

std::string Limit() { return "of at most " + std::to_string(kSmallSsdLimitMB) + " MB"; }

}  // namespace

std::string RapidStartWhy(const LoggedLines& logged) {
  if (logged.Logged(kSmbiosFailLine)) return "no SMBIOS capability record";
  if (logged.Logged(kRapidStartWantedLine)) return "the SMBIOS record asks for it";
  if (logged.Logged(kRapidStartNotWantedLine)) return "the SMBIOS record does not ask for it";
  return "the SMBIOS record revision decides nothing";
}

std::string RoadWhy(const RunReport& report, const LoggedLines& logged) {
  const std::string ssd = std::to_string(RoleDisk(report, "ssd"));
  if (report.road == Road::Register)
    return "SSD+HDD mode: the SSD is disk " + ssd +
           ", the hard disk with its own recovery partition is disk " +
           std::to_string(RoleDisk(report, "hdd"));
  if (report.road == Road::RapidStart) {
    std::string why =
        "disk " + ssd + " is a cache SSD " + Limit() + " and " + RapidStartWhy(logged);
    if (logged.Logged(kInUseSkipLine)) why += "; it holds partitions in use, so nothing was carved";
    if (logged.Logged(kTooSmallSkipLine))
      why += "; it is too small for the cache, so nothing was carved";
    return why;
  }
  if (report.miniSsd == true)
    return "a cache SSD, but rapid start is off: " + RapidStartWhy(logged);
  if (report.disksAfter.size() < 2 || !logged.Logged(kModeCheckLine))
    return "one disk in the inventory: neither SSD+HDD mode nor a cache SSD";
  return "neither SSD+HDD mode (" + ToUtf8(kPqService2Label) + " or " + ToUtf8(kPushButtonLabel) +
         " on a second disk) nor a cache SSD " + Limit();
}

}  // namespace quorvane::report
