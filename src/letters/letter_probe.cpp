// The probe scan: map a free letter onto each candidate partition, read its label, keep or release.
#include "letters/letter_probe.h"

#include <algorithm>

#include "base/text.h"
#include "letters/volume_mapping.h"

namespace quorvane {

namespace {
constexpr wchar_t kDiskLineFormat[] = L"Disks %d : Partitions %d";
}  // namespace

bool ProbeDiskPartitions(CLayoutJob& job, DiskLineNumber lineNumber,
                         const std::function<ProbeVerdict(const std::wstring& label)>& judge) {
  Platform& platform = job.platform();
  // The table holds 20 disks; a count beyond it must not read past the end.
  const int32_t disks = std::clamp<int32_t>(job.m_DiskCount, 0, static_cast<int32_t>(kMaxDisks));
  for (int32_t i = 0; i < disks; ++i) {
    const DiskRecord& disk = job.m_Disks[static_cast<size_t>(i)];
    // One more than the reported count: hidden partitions count in the kernel's numbering.
    // Widened so that an absurd count cannot overflow.
    const int64_t candidates = int64_t{disk.Partitions} + 1;
    const int32_t shown = lineNumber == DiskLineNumber::DiskCount ? job.m_DiskCount : disk.Index;
    job.WriteLog(Format(kDiskLineFormat, {shown, static_cast<long long>(candidates)}));
    for (int64_t j = 1; j <= candidates; ++j) {
      const std::wstring letter = job.FindFreeDriveLetter();
      if (letter.empty()) continue;
      const std::wstring target = PartitionDevicePath(disk.Index, static_cast<int>(j));
      // A failed mapping leaves the letter unreadable, so its label is "" and it is released.
      MountPartition(platform, letter, target);
      const ProbeVerdict verdict = judge(job.ReadVolumeLabel(letter));
      if (verdict == ProbeVerdict::KeepAndStop) return true;
      if (verdict == ProbeVerdict::Release) RemoveLetterMapping(platform, letter);
    }
  }
  return false;
}

}  // namespace quorvane
