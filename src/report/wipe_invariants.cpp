// The wipe invariant: diskpart touches no disk but a cache SSD the run may wipe.
#include <algorithm>
#include <map>
#include <optional>

#include "base/text.h"
#include "classify/disk_mode.h"
#include "classify/disk_sizes.h"
#include "classify/partition_roles.h"
#include "inventory/disk_inventory.h"
#include "platform/sim/commands/command_words.h"
#include "report/invariant_checks.h"
#include "run/layout_job.h"
#include "run/run_log.h"

namespace quorvane::report::invariants {
namespace {

// The partitions found in these roles are what the run and the machine depend on: the recovery
// partitions, the system partition, Windows, the recovery tools.
constexpr const wchar_t* kInUseRoleLines[] = {kQhpRoleLine,     kPbrRoleLine, kHddRoleLine,
                                              kSysRoleLine,     kEfiRoleLine, kOsRoleLine,
                                              kRecoveryRoleLine};

// The number a message of the form "<text>%d" ends in; empty when it has another form.
std::optional<int64_t> TrailingNumber(std::wstring_view message, std::wstring_view format) {
  const std::wstring_view lead = format.substr(0, format.size() - 2);
  if (!StartsWith(message, lead) || !MatchesLogFormat(message, format)) return std::nullopt;
  return ParseInt64(message.substr(lead.size()));
}

bool IsNumber(std::wstring_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

std::string DiskText(int64_t disk) { return "disk " + std::to_string(disk); }

struct Touched {
  std::map<int64_t, std::string> disks;  // disk -> what diskpart did to it first
  void Add(int64_t disk, const std::string& what) { disks.emplace(disk, what); }
};

// Every disk a diskpart script selects by number, and every disk the runs changed.
Touched WhatDiskpartTouched(const CheckedRun& run) {
  Touched touched;
  for (const auto& tool : run.machine.ToolRuns()) {
    if (tool.program != L"diskpart") continue;
    const std::wstring script = WidenTextFile(tool.script);
    size_t start = 0;
    while (start < script.size()) {
      size_t end = std::min(script.find(L'\n', start), script.size());
      const auto words = sim::standin::SplitWords(script.substr(start, end - start));
      start = end + 1;
      // "select disk system" selects what the firmware boots; a script that changes that disk
      // shows below with the disks that changed.
      if (words.size() != 3 || !EqualsIgnoreCaseAscii(words[0], L"select") ||
          !EqualsIgnoreCaseAscii(words[1], L"disk") || !IsNumber(words[2]))
        continue;
      touched.Add(ParseInt64(words[2]), "selected by a diskpart script (\"" +
                                            ToUtf8(words[0] + L" " + words[1] + L" " + words[2]) +
                                            "\")");
    }
  }
  for (const auto& cleaned : run.machine.CleanedDisks()) touched.Add(cleaned.index, "cleaned");
  for (const auto& after : run.machine.profile().disks) {
    for (const auto& before : run.loaded.disks)
      if (before.index == after.index &&
          (before.partitions != after.partitions || before.gpt != after.gpt))
        touched.Add(after.index, "repartitioned");
  }
  return touched;
}

// Why a disk may not be wiped as the cache SSD; empty when it may.
std::string WhyNotTheCacheSsd(const CheckedRun& run, int64_t disk) {
  // The inventory lists fixed disks, in WMI's order, up to its table's size.
  size_t listedBefore = 0;
  const sim::DiskSpec* listed = nullptr;
  for (const auto& d : run.loaded.disks) {
    if (!MatchesWildcards(d.mediaType, kFixedDiskMediaType, L'%', L'_')) continue;
    if (d.index == disk) {
      listed = &d;
      break;
    }
    ++listedBefore;
  }
  if (listed == nullptr || listedBefore >= kMaxDisks) return "it is no disk the inventory lists";
  if (!listed->media) return "it has no medium";
  if (listed->sizeMB > kSmallSsdLimitMB)
    return "it is " + std::to_string(listed->sizeMB) + " MB, larger than a cache SSD (" +
           std::to_string(kSmallSsdLimitMB) + " MB)";
  for (const auto& write : run.machine.LogWrites()) {
    const std::wstring_view message = LogMessage(write.key);
    for (const wchar_t* role : kInUseRoleLines) {
      if (message != role) continue;
      constexpr std::wstring_view kFound = L"true on ";
      if (StartsWith(write.value, kFound) &&
          ParseInt64(std::wstring_view(write.value).substr(kFound.size())) == disk)
        return "the run found a partition of it in a role (\"" + ToUtf8(message) + "=" +
               ToUtf8(write.value) + "\")";
    }
    if (write.written &&
        StartsWith(FromUtf8(write.hostFile), L"volumes/disk" + std::to_wstring(disk) + L"-part"))
      return "the run wrote its log there (" + write.hostFile + ")";
  }
  return "";
}

}  // namespace

void CheckWipes(const CheckedRun& run, Broken& broken) {
  const Touched touched = WhatDiskpartTouched(run);
  if (touched.disks.empty()) return;
  std::optional<int64_t> cacheSsd;
  for (const auto& write : run.machine.LogWrites())
    if (auto disk = TrailingNumber(LogMessage(write.key), kMiniSsdDiskLine)) cacheSsd = disk;
  for (const auto& [disk, what] : touched.disks) {
    if (!cacheSsd) {
      broken.push_back(DiskText(disk) + " was " + what + ", but the run named no cache SSD");
    } else if (disk != *cacheSsd) {
      broken.push_back(DiskText(disk) + " was " + what + ", but the cache SSD the run named is " +
                       DiskText(*cacheSsd));
    }
  }
  if (!cacheSsd || !touched.disks.count(*cacheSsd)) return;
  const std::string why = WhyNotTheCacheSsd(run, *cacheSsd);
  if (!why.empty())
    broken.push_back(DiskText(*cacheSsd) + " was " + touched.disks.at(*cacheSsd) +
                     " as the cache SSD, but " + why);
}

}  // namespace quorvane::report::invariants
