// Construction of the run context.
#include "run/layout_job.h"

namespace quorvane {

CLayoutJob::CLayoutJob(Platform& platform) : m_platform(platform) {
  Construct();
  RunLayoutSequence();
}

CLayoutJob::CLayoutJob(Platform& platform, NoRun) : m_platform(platform) { Construct(); }

void CLayoutJob::Construct() {
  m_DiskCount = 0;
  m_biRST = false;
  m_bSSDHDDMode = false;
  m_bminiSSD = false;
  ClearTables();
  m_pLogDir = std::make_unique<std::wstring>(L"");
}

void CLayoutJob::ClearTables() {
  for (auto& disk : m_Disks) {
    disk.Index = kEmptyIndex;
    disk.Partitions = 0;
    disk.SizeMB = 0;
  }
  for (auto& partition : m_Partitions) {
    partition.DiskIndex = kEmptyIndex;
    partition.SizeMB = 0;
    partition.SizeGB = 0;
    partition.bInRole = false;
  }
}

int32_t CountLeadingDisks(const std::array<DiskRecord, kMaxDisks>& disks) {
  int32_t count = 0;
  for (const auto& disk : disks) {
    if (disk.Index == kEmptyIndex) break;
    ++count;
  }
  return count;
}

}  // namespace quorvane
