// The simulated WMI: WQL LIKE, the rows the inventory reads (hidden partitions shift the WMI
// numbering), injected inventory and COM faults, and the raw SMBIOS instance.
#include "platform/sim/sim_wmi.h"

#include <gtest/gtest.h>

#include "platform/sim/wql.h"
#include "tests/unit/sim_fixture.h"

namespace quorvane::sim {
namespace {

std::vector<std::unique_ptr<WmiObject>> All(WmiServices& services, const std::wstring& wql) {
  std::unique_ptr<WmiEnumerator> e;
  EXPECT_EQ(services.ExecQuery(wql, e), win::kSOk) << std::string(wql.begin(), wql.end());
  std::vector<std::unique_ptr<WmiObject>> out;
  while (e) {
    auto next = e->Next(10000);
    if (!next.object) {
      EXPECT_EQ(next.hr, win::kSFalse);
      break;
    }
    out.push_back(std::move(next.object));
  }
  return out;
}

std::wstring Text(WmiObject& o, const wchar_t* name) {
  return o.Get(name).text.value_or(L"<none>");
}

std::unique_ptr<WmiServices> Connect(SimPlatform& p, const std::wstring& ns) {
  std::unique_ptr<WmiLocator> locator;
  std::unique_ptr<WmiServices> services;
  EXPECT_EQ(p.CoInitializeMultithreaded(), win::kSOk);
  EXPECT_EQ(p.CreateWmiLocator(0x15, locator), win::kSOk);
  EXPECT_EQ(locator->ConnectServer(ns, services), win::kSOk);
  return services;
}

TEST(SimWmi, LikeMatchesRunsAndSingleCharactersIgnoringCase) {
  const wchar_t* pattern = L"Fixed%hard%disk%media";
  EXPECT_TRUE(WqlLike(L"Fixed hard disk media", pattern));
  EXPECT_TRUE(WqlLike(L"FIXED HARD DISK MEDIA", pattern));
  EXPECT_TRUE(WqlLike(L"Fixedharddiskmedia", pattern));
  EXPECT_FALSE(WqlLike(L"Fixed hard disk", pattern));
  EXPECT_FALSE(WqlLike(L"External hard disk media", pattern));
  EXPECT_FALSE(WqlLike(L"Removable Media", pattern));
  EXPECT_TRUE(WqlLike(L"abc", L"a_c"));
  EXPECT_FALSE(WqlLike(L"ac", L"a_c"));
  EXPECT_TRUE(WqlLike(L"", L"%"));
  EXPECT_TRUE(WqlLike(L"a%b", L"a%%b"));
  EXPECT_FALSE(ParseWql(L"select Name from Win32_DiskDrive").has_value());
  EXPECT_FALSE(ParseWql(L"select * from Win32_DiskDrive where (Index > 1)").has_value());
  auto q = ParseWql(L"SELECT * FROM Win32_LogicalDisk WHERE (DeviceID=\"D:\")");
  ASSERT_TRUE(q.has_value());
  EXPECT_EQ(q->className, L"Win32_LogicalDisk");
  EXPECT_EQ(q->operand, L"D:");
}

constexpr char kMachine[] = R"({
  "disks": [
    {"sizeMB": 244198, "model": "SSD", "partitions": [
      {"label": "ESP", "type": "GPT: System", "sizeMB": 260},
      {"hidden": true, "type": "GPT: Unknown", "sizeMB": 16, "label": null},
      {"label": "OS", "sizeMB": 1000, "letter": "C:"},
      {"label": null, "sizeMB": 10, "letter": "R:"}]},
    {"sizeMB": 100000, "style": "mbr", "signature": 305419896, "mediaType": "External hard disk media",
     "partitions": [{"label": "USB", "sizeMB": 5000, "letter": "U:"}]},
    {"sizeMB": 30000, "media": false}]})";

TEST(SimWmi, RowsFollowTheMachineWithHiddenPartitionsLeftOutOfTheNumbering) {
  SimFixture sim(kMachine);
  auto services = Connect(sim.platform(), L"\\\\.\\root\\CIMV2");
  ASSERT_TRUE(services);
  EXPECT_EQ(services->SetProxyBlanket(), win::kSOk);

  auto disks = All(
      *services, L"select * from Win32_DiskDrive where (MediaType LIKE \"Fixed%hard%disk%media\")");
  ASSERT_EQ(disks.size(), 2u);  // the external disk is filtered out
  EXPECT_EQ(Text(*disks[0], L"Index"), L"0");
  EXPECT_EQ(Text(*disks[0], L"Caption"), L"SSD");
  EXPECT_EQ(Text(*disks[0], L"Size"), L"256060162048");
  EXPECT_EQ(disks[0]->Get(L"Signature").kind, WmiValue::Kind::Null);
  EXPECT_EQ(Text(*disks[0], L"Partitions"), L"3");
  EXPECT_EQ(Text(*disks[1], L"DeviceID"), L"\\\\.\\PHYSICALDRIVE2");
  EXPECT_EQ(disks[1]->Get(L"Size").kind, WmiValue::Kind::Null);
  EXPECT_FALSE(disks[1]->Get(L"Size").text.has_value());
  auto all = All(*services, L"select * from Win32_DiskDrive");
  EXPECT_EQ(Text(*all[1], L"Signature"), L"305419896");

  // C:, R: and U: are lettered; the external disk's partition is associated too.
  sim.platform().DefineDosDevice(1, L"E:",
                                 L"\\Device\\Harddisk0\\Partition2");  // hidden: not listed
  auto links = All(*services, L"select * from Win32_LogicalDiskToPartition");
  ASSERT_EQ(links.size(), 3u);
  EXPECT_EQ(Text(*links[0], L"Antecedent"),
            L"\\\\SIMPC\\root\\cimv2:Win32_DiskPartition.DeviceID=\"Disk #0, Partition #1\"");
  EXPECT_EQ(Text(*links[0], L"Dependent"),
            L"\\\\SIMPC\\root\\cimv2:Win32_LogicalDisk.DeviceID=\"C:\"");
  const int64_t start = (1 + 260 + 16) * 1048576LL;
  EXPECT_EQ(Text(*links[0], L"StartingAddress"), std::to_wstring(start));
  EXPECT_EQ(Text(*links[0], L"EndingAddress"), std::to_wstring(start + 1000 * 1048576LL - 1));
  EXPECT_NE(Text(*links[1], L"Dependent").find(L"\"R:\""), std::wstring::npos);
  EXPECT_NE(Text(*links[2], L"Antecedent").find(L"\"Disk #1, Partition #0\""), std::wstring::npos);

  auto part = All(*services,
                  L"select * from Win32_DiskPartition where (DeviceID=\"Disk #0, Partition #1\")");
  ASSERT_EQ(part.size(), 1u);
  EXPECT_EQ(Text(*part[0], L"Type"), L"GPT: Basic Data");
  auto raw = All(*services, L"select * from Win32_LogicalDisk where (DeviceID=\"R:\")");
  ASSERT_EQ(raw.size(), 1u);
  EXPECT_EQ(raw[0]->Get(L"VolumeName").kind, WmiValue::Kind::Null);
  EXPECT_EQ(Text(*All(*services, L"select * from Win32_LogicalDisk where (DeviceID=\"C:\")")[0],
                 L"VolumeName"),
            L"OS");
  std::unique_ptr<WmiEnumerator> e;
  EXPECT_EQ(services->ExecQuery(L"select * from Win32_Nothing", e), hr::kWbemEInvalidClass);
  EXPECT_EQ(services->ExecQuery(L"select Name from Win32_DiskDrive", e), hr::kWbemEInvalidQuery);
}

// One inventory attempt as the engine makes it; its result code.
int InventoryAttempt(SimPlatform& p) {
  p.CoUninitialize();
  p.CoInitializeMultithreaded();
  int32_t security = p.CoInitializeSecurity();
  if (!win::Succeeded(security) && security != win::kRpcETooLate) return 2;
  std::unique_ptr<WmiLocator> locator;
  if (!win::Succeeded(p.CreateWmiLocator(0x15, locator))) return 3;
  std::unique_ptr<WmiServices> services;
  if (!win::Succeeded(locator->ConnectServer(L"\\\\.\\root\\CIMV2", services))) return 4;
  if (!win::Succeeded(services->SetProxyBlanket())) return 9;
  std::unique_ptr<WmiEnumerator> e;
  for (const wchar_t* q :
       {L"select * from Win32_DiskDrive", L"select * from Win32_LogicalDiskToPartition"})
    if (!win::Succeeded(services->ExecQuery(q, e))) return 5;
  p.CoUninitialize();
  return 0;
}

TEST(SimWmi, InventoryFaultsFailTheirAttemptAtTheirStep) {
  SimFixture sim(R"({"faults": {"inventory": [2, 3, 4, 0, 9, 5, 2]}})");
  std::vector<int> codes;
  for (int i = 0; i < 8; ++i) codes.push_back(InventoryAttempt(sim.platform()));
  EXPECT_EQ(codes, (std::vector<int>{2, 3, 4, 0, 9, 5, 2, 0}));
  sim.platform().CoInitializeMultithreaded();
  EXPECT_EQ(sim.platform().CoInitializeSecurity(), win::kRpcETooLate);
}

TEST(SimWmi, ComAndSmbiosFaults) {
  SimFixture sim(R"({"faults": {"comInit": "fail", "smbiosFetch": "fail"},
                     "smbios": {"table": "AC 06 34 12 02 10 00 00"}})");
  auto& p = sim.platform();
  std::unique_ptr<WmiLocator> locator;
  EXPECT_FALSE(win::Succeeded(p.CoInitializeMultithreaded()));
  EXPECT_EQ(p.CreateWmiLocator(1, locator), hr::kCoENotInitialized);  // COM never came up
  EXPECT_EQ(p.CoInitializeMultithreaded(), win::kSOk);
  EXPECT_EQ(p.CoInitializeMultithreaded(), win::kSFalse);
  ASSERT_EQ(p.CreateWmiLocator(1, locator), win::kSOk);
  std::unique_ptr<WmiServices> services;
  EXPECT_FALSE(win::Succeeded(locator->ConnectServer(L"ROOT\\WMI", services)));
  EXPECT_EQ(locator->ConnectServer(L"\\\\.\\root\\CIMV2", services), win::kSOk);

  SimFixture plain(R"({"smbios": {"table": "AC 06 34 12 02 10 00 00", "version": [3, 2]}})");
  auto wmi = Connect(plain.platform(), L"ROOT\\WMI");
  std::unique_ptr<WmiEnumerator> e;
  ASSERT_EQ(wmi->CreateInstanceEnum(L"MSSMBios_RawSMBiosTables", e), win::kSOk);
  auto raw = e->Next(win::kWbemInfinite);
  ASSERT_TRUE(raw.object);
  EXPECT_EQ(raw.object->Get(L"SmbiosMajorVersion").integer, 3);
  EXPECT_EQ(raw.object->Get(L"SMBiosData").bytes,
            (std::vector<uint8_t>{0xAC, 6, 0x34, 0x12, 2, 0x10, 0, 0}));

  SimFixture none("{}");
  auto noTable = Connect(none.platform(), L"ROOT\\WMI");
  ASSERT_EQ(noTable->CreateInstanceEnum(L"MSSMBios_RawSMBiosTables", e), win::kSOk);
  EXPECT_EQ(e->Next(win::kWbemInfinite).object->Get(L"SMBiosData").kind, WmiValue::Kind::Null);
}

}  // namespace
}  // namespace quorvane::sim
