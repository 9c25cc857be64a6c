// The system disk from the partition tables: the boot mode decides which partition marks it.
#include "capture/system_disk_guess.h"

#include "platform/platform.h"

namespace quorvane::capture {
namespace {

constexpr wchar_t kEspType[] = L"c12a7328-f81f-11d2-ba4b-00a0c93ec93b";
constexpr uint8_t kMbrEspType = 0xEF;

bool IsUefi(const FirmwareProbe& probe) {
  return probe.returned == 0 && probe.lastError == win::kErrorNoAccess;
}

bool MarksSystemDisk(const LayoutPartition& p, bool uefi) {
  if (p.number == 0) return false;
  return uefi ? (p.gptType == kEspType || p.mbrType == kMbrEspType) : p.active;
}

}  // namespace

std::optional<int> GuessSystemDisk(const MachineFacts& facts, Notes& notes) {
  const bool uefi = IsUefi(facts.firmware);
  const std::string mark = uefi ? "an EFI system partition" : "an active partition";
  std::vector<int> candidates;
  std::string unread;
  for (const auto& disk : facts.layouts) {
    if (!disk.layout.value) {
      unread += (unread.empty() ? "" : ", ") + std::to_string(disk.disk);
      continue;
    }
    for (const auto& p : disk.layout.value->partitions) {
      if (!MarksSystemDisk(p, uefi)) continue;
      candidates.push_back(disk.disk);
      break;
    }
  }
  const std::string maybe =
      unread.empty() ? "" : "; the partition tables of disks " + unread + " could not be read";
  const std::string fact = "no disk holds " + mark + ": \"select disk system\" is taken to fail";
  if (candidates.empty() && unread.empty()) {
    AddFact(notes,
            "No disk holds " + mark +
                ", so diskpart's \"select disk system\" fails on the "
                "machine as in the profile.",
            fact);
    return std::nullopt;
  }
  if (candidates.empty()) {
    AddGuess(notes,
             "No disk read holds " + mark +
                 ", but some partition tables could not be read: the profile takes diskpart's "
                 "\"select disk system\" to fail, which it may not.",
             fact + maybe);
    return std::nullopt;
  }
  if (candidates.size() > 1) {
    std::string all;
    for (int d : candidates) all += (all.empty() ? "" : ", ") + std::to_string(d);
    AddGuess(notes,
             "Disks " + all + " each hold " + mark +
                 ": the profile takes diskpart's system disk "
                 "to be the first, disk " +
                 std::to_string(candidates.front()) + ", and diskpart may pick another.",
             "disks " + all + " each hold " + mark + ": the system disk is taken to be disk " +
                 std::to_string(candidates.front()) + ", the first" + maybe);
  } else if (!unread.empty()) {
    AddGuess(notes,
             "The profile takes diskpart's system disk to be disk " +
                 std::to_string(candidates.front()) +
                 ", but some partition tables could not be read: diskpart may pick another.",
             "the system disk is taken to be disk " + std::to_string(candidates.front()) +
                 ", the one that holds " + mark + maybe);
  }
  return candidates.front();
}

}  // namespace quorvane::capture
