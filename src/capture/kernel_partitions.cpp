// Matching a disk's partition table with WMI's partition rows.
#include "capture/kernel_partitions.h"

#include <algorithm>
#include <cstdint>
#include <set>

namespace quorvane::capture {
namespace {

// The Microsoft Reserved partition: WMI never lists it.
constexpr wchar_t kMsrType[] = L"e3c9e316-0b5c-4db8-817d-f92df00215ae";

std::string DiskText(int disk) { return "disk " + std::to_string(disk); }

std::vector<const WmiPartitionRow*> RowsOfDisk(int disk, const WmiFacts& wmi) {
  std::vector<const WmiPartitionRow*> rows;
  for (const auto& row : wmi.partitions)
    if (row.diskIndex == disk) rows.push_back(&row);
  return rows;
}

DiskPartitions FromWmiRows(int disk, uint32_t layoutError, const WmiFacts& wmi) {
  DiskPartitions out;
  auto rows = RowsOfDisk(disk, wmi);
  std::stable_sort(rows.begin(), rows.end(), [](const auto* a, const auto* b) {
    return a->index.value_or(INT64_MAX) < b->index.value_or(INT64_MAX);
  });
  std::string what = "the partition table of " + DiskText(disk) + " could not be read (error " +
                     std::to_string(layoutError) + ")";
  if (rows.empty()) {
    AddGuess(out.notes,
             "The partition table of " + DiskText(disk) +
                 " could not be read, and WMI lists no partition on it: the profile holds the "
                 "disk empty.",
             what + " and WMI lists no partition on it: written without partitions");
    return out;
  }
  AddGuess(out.notes,
           "The partition table of " + DiskText(disk) +
               " could not be read: its partitions come from WMI, so a hidden one (an MSR) may "
               "be missing and the ones after it numbered one too low.",
           what +
               ": its partitions are WMI's, numbered in WMI's order; a partition "
               "WMI does not list (an MSR) is missing, so later numbers may be one too low");
  for (const auto* row : rows) {
    KernelPartition p;
    p.number = static_cast<int>(out.partitions.size()) + 1;
    p.length = row->size.value_or(0);
    p.listed = true;
    p.wmiType = row->type;
    out.partitions.push_back(p);
  }
  return out;
}

}  // namespace

DiskPartitions KernelPartitionsOf(int disk, const Outcome<DriveLayout>& layout,
                                  const WmiFacts& wmi) {
  if (!layout.value) return FromWmiRows(disk, layout.error, wmi);
  DiskPartitions out;
  std::vector<LayoutPartition> entries;
  for (const auto& e : layout.value->partitions)
    if (e.number > 0 && e.length > 0) entries.push_back(e);
  std::stable_sort(entries.begin(), entries.end(),
                   [](const auto& a, const auto& b) { return a.number < b.number; });

  auto rows = RowsOfDisk(disk, wmi);
  std::vector<bool> matched(rows.size(), false);
  for (const auto& e : entries) {
    if (!out.partitions.empty() &&
        static_cast<uint32_t>(out.partitions.back().number) >= e.number) {
      AddGuess(out.notes,
               "The partition table of " + DiskText(disk) + " holds partition " +
                   std::to_string(e.number) + " twice: the profile keeps the first.",
               DiskText(disk) + " lists partition " + std::to_string(e.number) +
                   " twice: the second is left out");
      continue;
    }
    while (static_cast<uint32_t>(out.partitions.size()) + 1 < e.number) {
      KernelPartition gap;
      gap.number = static_cast<int>(out.partitions.size()) + 1;
      gap.gap = true;
      out.partitions.push_back(gap);
      AddGuess(out.notes,
               "The partition table of " + DiskText(disk) + " skips number " +
                   std::to_string(gap.number) +
                   ": the profile holds a small hidden partition in its place.",
               DiskText(disk) + " has no partition " + std::to_string(gap.number) +
                   " although a later one is numbered " + std::to_string(e.number) +
                   ": written as a hidden 1 MiB partition without a file system");
    }
    KernelPartition p;
    p.number = static_cast<int>(e.number);
    p.length = e.length;
    for (size_t i = 0; i < rows.size(); ++i) {
      if (matched[i] || rows[i]->startingOffset != e.offset) continue;
      matched[i] = true;
      p.listed = true;
      p.wmiType = rows[i]->type;
      p.wmiIndex = rows[i]->index;
      break;
    }
    // Without WMI's list only the one kind of partition it is known to leave out is hidden.
    if (!wmi.partitionsListed) p.listed = e.gptType != kMsrType;
    out.partitions.push_back(p);
  }
  for (size_t i = 0; i < rows.size(); ++i) {
    if (matched[i]) continue;
    AddGuess(out.notes,
             "WMI lists a partition of " + DiskText(disk) +
                 " that its partition table does not have: the profile leaves it out, but the "
                 "run may list it.",
             "WMI lists a partition of " + DiskText(disk) + " at byte " +
                 (rows[i]->startingOffset ? std::to_string(*rows[i]->startingOffset)
                                          : std::string("(unreadable)")) +
                 " that its partition table does not have: left out");
  }
  // WMI numbers the partitions it lists from 0 in its own order, which need not be the kernel's;
  // the run builds device paths from WMI's number, so the profile keeps it when it can.
  std::set<int64_t> seen;
  bool differs = false;
  out.wmiIndexesKept = true;
  int64_t position = 0;
  for (const auto& p : out.partitions) {
    if (!p.listed) continue;
    if (!p.wmiIndex || *p.wmiIndex < 0 || *p.wmiIndex > kMaxWmiIndex ||
        !seen.insert(*p.wmiIndex).second) {
      out.wmiIndexesKept = false;
    }
    differs = differs || (p.wmiIndex && *p.wmiIndex != position);
    ++position;
  }
  if (differs && !out.wmiIndexesKept) {
    AddGuess(out.notes,
             "WMI numbers the partitions of " + DiskText(disk) +
                 " in an order the profile cannot keep: the partition numbers the run uses may "
                 "differ.",
             "WMI numbers the partitions of " + DiskText(disk) +
                 " out of their order, but not each once: the profile numbers them by "
                 "their place among the partitions WMI lists");
  }
  return out;
}

}  // namespace quorvane::capture
