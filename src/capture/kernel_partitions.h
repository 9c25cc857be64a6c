// A disk's partitions in the kernel's numbering, each matched with the row WMI lists for it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "capture/capture_notes.h"
#include "capture/machine_facts.h"

namespace quorvane::capture {

struct KernelPartition {
  int number = 0;       // \Device\Harddisk<D>\Partition<number>
  int64_t length = 0;   // bytes
  bool listed = false;  // WMI lists it (an MSR it does not)
  std::optional<std::wstring> wmiType;
  std::optional<int64_t> wmiIndex;
  bool gap = false;  // a number the partition table skips: nothing is known of it
};

struct DiskPartitions {
  std::vector<KernelPartition> partitions;  // by number, from 1 without a gap
  Notes notes;                              // what could not be matched or read
  // Every partition WMI lists has a WMI index of its own, so the profile can keep them.
  bool wmiIndexesKept = false;
};

// The largest WMI index a profile holds.
inline constexpr int64_t kMaxWmiIndex = 998;

// From the drive layout when it could be read, matched with WMI's rows by starting offset;
// from WMI's rows alone, in their order, when it could not.
DiskPartitions KernelPartitionsOf(int disk, const Outcome<DriveLayout>& layout,
                                  const WmiFacts& wmi);

}  // namespace quorvane::capture
