// Notes on sizes that cannot be a disk's in MB: most often a size typed in GB or in bytes, which
// the run takes as another machine.
#include <cstdint>
#include <limits>

#include "report/warning_texts.h"
#include "report/warnings.h"

namespace quorvane::report {
namespace {

constexpr int64_t kSmallestDiskMB = 1024;
constexpr int64_t kLargestDiskMB = int64_t{64} * 1024 * 1024;  // 64 TB
// The run keeps a disk's size in a 32-bit field and logs it from there, cut at this.
constexpr int64_t kLoggedSizeLimitMB = std::numeric_limits<int32_t>::max();
constexpr int64_t kBytesPerMB = 1048576;

std::string Joined(const std::vector<std::string>& parts, const char* separator) {
  std::string text;
  for (const auto& part : parts) text += (text.empty() ? "" : separator) + part;
  return text;
}

}  // namespace

void SizeWarnings(const RunReport& report, std::vector<Warning>& warnings) {
  for (size_t i = 0; i < report.disksBefore.size(); ++i) {
    const DiskReport& disk = report.disksBefore[i];
    if (!disk.media) continue;  // no size at all
    const std::string field = "disks[" + std::to_string(i) + "]";
    const std::string size = std::to_string(disk.sizeMB);
    std::vector<std::string> wrong;
    std::string hint;
    if (disk.sizeMB < kSmallestDiskMB) {
      wrong.push_back("under " + std::to_string(kSmallestDiskMB) + " MB");
      hint = "a size in GB times 1024: " + size + " GB is " + std::to_string(disk.sizeMB * 1024) +
             " MB";
    }
    if (disk.sizeMB > kLargestDiskMB) {
      wrong.push_back("over 64 TB");
      hint = "a size in bytes divided by " + std::to_string(kBytesPerMB) + ": " + size +
             " bytes is " + std::to_string(disk.sizeMB / kBytesPerMB) + " MB";
    }
    if (disk.sizeMB > kLoggedSizeLimitMB)
      wrong.push_back("beyond the run's 32-bit size field (its log shows " +
                      std::to_string(kLoggedSizeLimitMB) + ")");
    std::vector<std::string> findings;
    if (!wrong.empty())
      findings.push_back(field + ".sizeMB is " + size + ", " + Joined(wrong, " and "));
    int64_t total = 0;
    for (const auto& part : disk.partitions) total += part.sizeMB;
    // The first partition starts 1 MB into the disk.
    if (total + 1 > disk.sizeMB)
      findings.push_back(field + ".partitions add up to " + std::to_string(total) +
                         " MB, more than the disk's " + size + " MB");
    if (findings.empty()) continue;
    warnings.push_back(Warning{kImplausibleSizeWarning,
                               Joined(findings, "; ") + ": sizes in a profile are in MB" +
                                   (hint.empty() ? "" : " (" + hint + ")"),
                               Severity::Note});
  }
}

}  // namespace quorvane::report
