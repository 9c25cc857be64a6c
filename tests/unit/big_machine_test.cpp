// Machines larger than the fixed tables (25 disks, 3000 lettered partitions) and disk numbers
// with gaps.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/platform.h"
#include "platform/sim/sim_wmi.h"
#include "run/layout_job.h"
#include "tests/null_platform.h"

namespace quorvane {
namespace {

constexpr int kFakeDisks = 25;
constexpr int kFakeAssociations = 3000;
constexpr int kPartitionsPerDisk = 150;  // 3000 associations over the first 20 disks

class FakeObject : public WmiObject {
 public:
  explicit FakeObject(std::map<std::wstring, WmiValue> values) : m_values(std::move(values)) {}
  WmiValue Get(const std::wstring& name) override {
    auto it = m_values.find(name);
    return it == m_values.end() ? WmiValue{} : it->second;
  }

 private:
  std::map<std::wstring, WmiValue> m_values;
};

using sim::WmiInteger;
using sim::WmiNull;
using sim::WmiText;

// Hands out `count` objects made by `make`, then WBEM_S_FALSE.
class FakeEnumerator : public WmiEnumerator {
 public:
  using Maker = std::function<std::unique_ptr<WmiObject>(int)>;
  FakeEnumerator(int count, Maker make, int& handedOut)
      : m_count(count), m_make(std::move(make)), m_handedOut(handedOut) {}
  Result Next(uint32_t) override {
    Result result;
    if (m_next >= m_count) return result;
    result.hr = win::kSOk;
    result.object = m_make(m_next++);
    ++m_handedOut;
    return result;
  }

 private:
  int m_count;
  Maker m_make;
  int& m_handedOut;
  int m_next = 0;
};

std::unique_ptr<WmiObject> MakeDisk(int i) {
  return std::make_unique<FakeObject>(std::map<std::wstring, WmiValue>{
      {L"Index", WmiInteger(i)},
      {L"Caption", WmiText(L"Disk model " + std::to_wstring(i))},
      {L"Size", WmiInteger(int64_t{(i + 1) * 100} << 30)},  // (i + 1) * 100 GB
      {L"DeviceID", WmiText(L"\\\\.\\PHYSICALDRIVE" + std::to_wstring(i))},
      {L"Signature", i % 2 ? WmiNull() : WmiInteger(0x1234 + i)},
      {L"Partitions", WmiInteger(kPartitionsPerDisk)},
  });
}

// Association k: disk k / 150, partition k % 150, k MB long, a letter from C: to Z:.
std::wstring LetterOf(int k) { return std::wstring{static_cast<wchar_t>(L'C' + k % 24), L':'}; }

std::unique_ptr<WmiObject> MakeAssociation(int k) {
  const int64_t start = int64_t{k} << 20;
  return std::make_unique<FakeObject>(std::map<std::wstring, WmiValue>{
      {L"Antecedent",
       WmiText(
           Format(L"\\\\Q\\root\\cimv2:Win32_DiskPartition.DeviceID=\"Disk #%d, Partition #%d\"",
                  {k / kPartitionsPerDisk, k % kPartitionsPerDisk}))},
      {L"Dependent",
       WmiText(L"\\\\Q\\root\\cimv2:Win32_LogicalDisk.DeviceID=\"" + LetterOf(k) + L"\"")},
      {L"StartingAddress", WmiInteger(start)},
      {L"EndingAddress", WmiInteger(start + ((int64_t{k} + 1) << 20) - 1)},
  });
}

// The quoted DeviceID of a lookup query, so that each answer names what was asked.
std::wstring QuotedKey(const std::wstring& wql) {
  size_t open = wql.find(L'"');
  size_t close = wql.rfind(L'"');
  return open == std::wstring::npos || close <= open ? L"" : wql.substr(open + 1, close - open - 1);
}

struct Counters {
  int disksHandedOut = 0;
  int associationsHandedOut = 0;
  int lookups = 0;
};

class FakeServices : public WmiServices {
 public:
  explicit FakeServices(Counters& counters) : m_counters(counters) {}
  int32_t SetProxyBlanket() override { return win::kSOk; }
  int32_t ExecQuery(const std::wstring& wql, std::unique_ptr<WmiEnumerator>& out) override {
    if (Contains(wql, L"Win32_DiskDrive")) {
      out = std::make_unique<FakeEnumerator>(kFakeDisks, MakeDisk, m_counters.disksHandedOut);
    } else if (Contains(wql, L"Win32_LogicalDiskToPartition")) {
      out = std::make_unique<FakeEnumerator>(kFakeAssociations, MakeAssociation,
                                             m_counters.associationsHandedOut);
    } else {
      ++m_counters.lookups;
      const bool partition = Contains(wql, L"Win32_DiskPartition");
      std::wstring key = QuotedKey(wql);
      out = std::make_unique<FakeEnumerator>(
          1,
          [partition, key](int) {
            return std::make_unique<FakeObject>(std::map<std::wstring, WmiValue>{
                {partition ? L"Type" : L"VolumeName", WmiText(L"of " + key)}});
          },
          m_unused);
    }
    return win::kSOk;
  }
  int32_t CreateInstanceEnum(const std::wstring&, std::unique_ptr<WmiEnumerator>&) override {
    return -1;
  }

 private:
  Counters& m_counters;
  int m_unused = 0;
};

class FakeLocator : public WmiLocator {
 public:
  explicit FakeLocator(Counters& counters) : m_counters(counters) {}
  int32_t ConnectServer(const std::wstring&, std::unique_ptr<WmiServices>& out) override {
    out = std::make_unique<FakeServices>(m_counters);
    return win::kSOk;
  }

 private:
  Counters& m_counters;
};

// A machine that is only its WMI disks and a log; every other call fails or finds nothing.
class BigMachine : public NullPlatform {
 public:
  Counters counters;
  std::vector<std::wstring> logKeys;

  bool WritePrivateProfileString(const std::wstring&, const std::wstring& key, const std::wstring&,
                                 const std::wstring&) override {
    logKeys.push_back(key);
    return true;
  }
  int32_t CreateWmiLocator(uint32_t, std::unique_ptr<WmiLocator>& out) override {
    out = std::make_unique<FakeLocator>(counters);
    return win::kSOk;
  }

  size_t CountKeysContaining(std::wstring_view part) const {
    return std::count_if(logKeys.begin(), logKeys.end(),
                         [&](const std::wstring& key) { return Contains(key, part); });
  }
};

TEST(BigMachine, InventoryFillsTheTablesToTheirEndAndNoFurther) {
  BigMachine machine;
  auto job = std::make_unique<CLayoutJob>(machine, CLayoutJob::NoRun{});
  // The members around the tables must come through untouched.
  job->m_PBRInfo = RoleSlot{false, 77, 88, L"guard"};
  job->m_DiskCount = 123;

  ASSERT_EQ(job->GetSystemDiskInfo(), 0);
  EXPECT_EQ(machine.counters.disksHandedOut, kFakeDisks);  // the enumeration ran to its end
  EXPECT_EQ(machine.counters.associationsHandedOut, kFakeAssociations);

  // The first 20 disks, in WMI's order; the 21st to 25th are nowhere in the table.
  for (int i = 0; i < static_cast<int>(kMaxDisks); ++i) {
    const DiskRecord& disk = job->m_Disks[i];
    EXPECT_EQ(disk.Index, i);
    EXPECT_EQ(disk.SizeMB, (i + 1) * 102400);
    EXPECT_EQ(disk.DeviceID, L"\\\\.\\PHYSICALDRIVE" + std::to_wstring(i));
    EXPECT_EQ(disk.NoSignature, i % 2 == 1);
  }
  for (int i = static_cast<int>(kMaxDisks); i < kFakeDisks; ++i) {
    EXPECT_EQ(FindDisk(job->m_Disks, i), nullptr) << i;
  }

  // Associations 0 to 2559, each with its own numbers, size, letter and lookups.
  for (int k = 0; k < static_cast<int>(kMaxPartitions); ++k) {
    const PartitionRecord& p = job->m_Partitions[k];
    ASSERT_EQ(p.DiskIndex, k / kPartitionsPerDisk) << k;
    ASSERT_EQ(p.PartitionIndex, k % kPartitionsPerDisk) << k;
    ASSERT_EQ(p.SizeMB, k) << k;
    ASSERT_EQ(p.DriveLetter, LetterOf(k)) << k;
    ASSERT_EQ(p.Type, Format(L"of Disk #%d, Partition #%d", {p.DiskIndex, p.PartitionIndex}));
    ASSERT_EQ(p.VolumeName, L"of " + LetterOf(k)) << k;
  }
  // The 2561st association (disk 17, partition 10) was not recorded over another entry.
  for (const auto& p : job->m_Partitions) {
    EXPECT_FALSE(p.DiskIndex == 2560 / kPartitionsPerDisk &&
                 p.PartitionIndex == 2560 % kPartitionsPerDisk);
  }
  EXPECT_EQ(job->m_PBRInfo.nDisk, 77);
  EXPECT_EQ(job->m_PBRInfo.nPartition, 88);
  EXPECT_EQ(job->m_PBRInfo.strInfo, L"guard");
  EXPECT_EQ(job->m_DiskCount, 123);
}

TEST(BigMachine, RefreshLogsEveryTableEntryOnce) {
  BigMachine machine;
  auto job = std::make_unique<CLayoutJob>(machine, CLayoutJob::NoRun{});
  ASSERT_EQ(job->GetSystemDiskInfo(), 0);
  job->m_DiskCount = CountLeadingDisks(job->m_Disks);
  EXPECT_EQ(job->m_DiskCount, 20);

  machine.logKeys.clear();
  ASSERT_TRUE(job->UpdateDiskInfo());
  EXPECT_EQ(machine.CountKeysContaining(L"HDD "), kMaxDisks);
  EXPECT_EQ(machine.CountKeysContaining(L"[2559]17 9 "), 1u);
  EXPECT_EQ(machine.CountKeysContaining(L"[2560]"), 0u);
  // Disk 0 (102400 MB) is the only SSD-sized disk; nothing is taken for a small SSD.
  EXPECT_EQ(machine.CountKeysContaining(L"SSD Disk is 0 >= 64GB"), 1u);
  EXPECT_EQ(machine.CountKeysContaining(L"< 64GB"), 0u);
}

void SetDisks(CLayoutJob& job, std::initializer_list<std::pair<int32_t, int32_t>> numberAndMB) {
  size_t i = 0;
  for (auto [number, mb] : numberAndMB) {
    job.m_Disks[i].Index = number;
    job.m_Disks[i].SizeMB = mb;
    ++i;
  }
  job.m_DiskCount = CountLeadingDisks(job.m_Disks);
}

TEST(BigMachine, DiskNumberGapsAreNeverTakenForTheMiniSsd) {
  {
    // Disks 0 and 3: number 1 has no record, so no size; it must not read as 0 MB.
    BigMachine machine;
    CLayoutJob job(machine, CLayoutJob::NoRun{});
    SetDisks(job, {{0, 500000}, {3, 30000}});
    job.CheckSDDHDDMode();
    EXPECT_FALSE(job.m_bminiSSD);
    EXPECT_FALSE(job.m_SSDInfo.bFound);
    EXPECT_EQ(machine.CountKeysContaining(L"Can not find miniSSD"), 1u);
    EXPECT_EQ(std::count_if(machine.logKeys.begin(), machine.logKeys.end(),
                            [](const std::wstring& key) { return key.ends_with(L" 0"); }),
              0);
  }
  {
    // Disks 2, 0 and 5 in WMI's order: number 1 is passed over and disk 2 is the mini-SSD.
    BigMachine machine;
    CLayoutJob job(machine, CLayoutJob::NoRun{});
    SetDisks(job, {{2, 30000}, {0, 500000}, {5, 100000}});
    job.CheckSDDHDDMode();
    EXPECT_TRUE(job.m_bminiSSD);
    EXPECT_EQ(job.m_SSDInfo.nDisk, 2);
    EXPECT_EQ(machine.CountKeysContaining(L"miniSSD Info: miniSSD Disk is 2"), 1u);
  }
}

// The partition table makes its records when first written; one never written reads as new, a
// table emptied and filled again keeps no record of the first filling but its text, and no index
// past its end is reached.
TEST(BigMachine, ThePartitionTableReadsUnwrittenRecordsAsNewAndStopsAtItsEnd) {
  NullPlatform platform;
  CLayoutJob job(platform, CLayoutJob::NoRun{});
  const auto& table = job.m_Partitions;
  EXPECT_EQ(table[kMaxPartitions - 1].DiskIndex, kEmptyIndex);
  job.m_Partitions[2] = PartitionRecord{1, 3, L"D:", L"DATA", 100, 0.1f, L"GPT: Basic Data"};
  EXPECT_EQ(std::distance(table.begin(), table.end()), 3);
  EXPECT_EQ(table[0].DiskIndex, kEmptyIndex);
  EXPECT_EQ(table[2].VolumeName, L"DATA");
  job.ClearTables();
  EXPECT_EQ(table[2].DiskIndex, kEmptyIndex);
  EXPECT_EQ(table[2].SizeMB, 0);
  EXPECT_EQ(table[2].VolumeName, L"DATA");  // the text stays, as in the fixed table
  EXPECT_THROW(job.m_Partitions[kMaxPartitions], std::out_of_range);
  EXPECT_THROW(table[kMaxPartitions], std::out_of_range);
}

}  // namespace
}  // namespace quorvane
