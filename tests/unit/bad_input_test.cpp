// Bad input from outside the program: diskpart's report, dism's listing, WMI values that are null,
// SMBIOS tables with several capability records, and line breaks in log texts.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "base/text.h"
#include "inventory/smbios.h"
#include "run/layout_job.h"
#include "run/run_log.h"
#include "tests/unit/sim_fixture.h"

namespace quorvane {
namespace {

using sim::SimFixture;
using Lines = std::vector<std::string>;

TEST(BadInput, SystemDiskProbeReadsWhateverDiskpartPrints) {
  struct Case {
    const char* name;
    std::string report;
    int32_t disk;
    Lines tail;  // the lines after the command's exit code
  };
  const std::string longWord(5000, 'x');
  const std::string longNumber(5000, '7');
  const std::string cut1023(1023, 'x');
  const Case cases[] = {
      {"no digit",
       "DiskPart has encountered an error.\r\n",
       0,
       {"Not QHP in system and try to find out bios first boot disk=error.",
        "QHP isn't exist, set default disk as disk 0="}},
      {"5000-character word",
       longWord + "\r\n",
       0,
       {"Not QHP in system and try to find out bios first boot disk=" + cut1023,
        "QHP isn't exist, set default disk as disk 0="}},
      // A digit after the long word is still found: the word's tail is no token of its own.
      {"5000-character word, then the disk",
       longWord + " Disk 3 is now the selected disk.",
       3,
       {"Not QHP in system and try to find out bios first boot disk=3",
        "QHP isn't exist, set default disk as disk 3="}},
      // The last token's leading digits saturate: no disk, and M: then cannot hold the log.
      {"5000 digits",
       longNumber,
       INT32_MAX,
       {"Not QHP in system and try to find out bios first boot disk=" + std::string(1023, '7'),
        "QHP isn't exist, set default disk as disk 2147483647="}},
      {"empty", "", 0, {"QHP isn't exist, set default disk as disk 0="}},
      {"blanks only", " \r\n\t\r\n", 0, {"QHP isn't exist, set default disk as disk 0="}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimFixture sim(R"({"disks": [{"sizeMB": 500000}], "tools": {"systemDiskReport": )" +
                   sim::JsonString(c.report) + "}}");
    CLayoutJob job(sim.platform(), CLayoutJob::NoRun{});
    job.m_PBRInfo = RoleSlot{false, 5, 9, L""};
    job.SelectSystemDisk(false);
    EXPECT_EQ(job.m_PBRInfo.nDisk, c.disk);
    EXPECT_EQ(job.m_PBRInfo.nPartition, 1);
    Lines lines = sim.LogLines("X");
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "X:\\GetSystemPart.cmd=");
    EXPECT_EQ(lines[1], "ExitCode:0x0=");
    EXPECT_EQ(Lines(lines.begin() + 2, lines.end()), c.tail);
  }
}

// Without its closing brace, so that a test can add fields.
constexpr char kImageMachinePrefix[] =
    R"({"disks": [{"sizeMB": 100000, "partitions": [{"sizeMB": 50000,
    "letter": "M:", "files": {"RecoveryImage/install.wim": {"wimImages": ["A", "B"]}}}]}])";

std::wstring IndexFromListing(const std::string& listing) {
  const std::string profile = kImageMachinePrefix;
  SimFixture sim(profile + R"(, "tools": {"dismOutput": {"M:\\RecoveryImage\\install.wim": )" +
                 sim::JsonString(listing) + "}}}");
  CLayoutJob job(sim.platform(), CLayoutJob::NoRun{});
  return job.ParseInstallIndex(L"M:\\RecoveryImage\\install.wim");
}

TEST(BadInput, ImageIndexesBeyond32BitsAreNoIndexes) {
  EXPECT_EQ(IndexFromListing("Index : 99999999999\r\n"), L"2");
  EXPECT_EQ(IndexFromListing("Index : 2\r\nIndex : 4294967299\r\nIndex : 3\r\n"), L"3");
  EXPECT_EQ(IndexFromListing("Index : 99999999999999999999999999\r\nIndex : 5\r\n"), L"5");
  // The largest 32-bit number still counts.
  EXPECT_EQ(IndexFromListing("Index : 2147483647\r\n"), L"2147483647");
}

TEST(BadInput, UnreadableImageListingShowsTheBoxAndGivesIndexTwo) {
  // A folder stands where the listing should be: it exists, but cannot be read.
  const std::string profile = kImageMachinePrefix;
  SimFixture sim(profile + R"(, "drives": [{"letter": "X:", "label": "Boot",
      "files": {"ParseinstallInfo.log/": ""}}]})");
  CLayoutJob job(sim.platform(), CLayoutJob::NoRun{});
  EXPECT_EQ(job.ParseInstallIndex(L"M:\\RecoveryImage\\install.wim"), L"2");
  const Lines lines = sim.LogLines("X");
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(
      Lines(lines.end() - 2, lines.end()),
      (Lines{"start Parse Install Index Info=", "[ParseInstallIndex] Not have index info.="}));
  ASSERT_FALSE(sim.platform().MessageBoxes().empty());
  EXPECT_EQ(sim.platform().MessageBoxes().back().text,
            L"Fail to open file: \nX:\\ParseinstallInfo.log");
}

// A WMI whose one disk and one association answer null for the property named.
class NullWmiObject : public WmiObject {
 public:
  NullWmiObject(std::map<std::wstring, std::wstring> values, std::wstring nullProperty)
      : m_values(std::move(values)), m_null(std::move(nullProperty)) {}
  WmiValue Get(const std::wstring& name) override {
    WmiValue v;
    if (name == m_null || name == L"Signature") {
      v.kind = WmiValue::Kind::Null;
    } else if (auto it = m_values.find(name); it != m_values.end()) {
      v.kind = WmiValue::Kind::Text;
      v.text = it->second;
    }
    return v;
  }

 private:
  std::map<std::wstring, std::wstring> m_values;
  std::wstring m_null;
};

class OneRowEnumerator : public WmiEnumerator {
 public:
  explicit OneRowEnumerator(std::unique_ptr<WmiObject> row) : m_row(std::move(row)) {}
  Result Next(uint32_t) override {
    Result result;
    if (m_row) result.hr = win::kSOk;
    result.object = std::move(m_row);
    return result;
  }

 private:
  std::unique_ptr<WmiObject> m_row;
};

class NullWmiServices : public WmiServices {
 public:
  explicit NullWmiServices(std::wstring nullProperty) : m_null(std::move(nullProperty)) {}
  int32_t SetProxyBlanket() override { return win::kSOk; }
  int32_t ExecQuery(const std::wstring& wql, std::unique_ptr<WmiEnumerator>& out) override {
    std::map<std::wstring, std::wstring> row;
    if (wql.find(L"Win32_DiskDrive") != std::wstring::npos) {
      row = {{L"Index", L"3"},
             {L"Caption", L"Disk"},
             {L"Size", L"500107862016"},
             {L"DeviceID", L"\\\\.\\PHYSICALDRIVE3"},
             {L"Partitions", L"2"}};
    } else if (wql.find(L"Win32_LogicalDiskToPartition") != std::wstring::npos) {
      row = {{L"Antecedent", L"x.DeviceID=\"Disk #3, Partition #1\""},
             {L"Dependent", L"x.DeviceID=\"E:\""},
             {L"StartingAddress", L"1048576"},
             {L"EndingAddress", L"105906175"}};
    } else if (wql.find(L"Win32_DiskPartition") != std::wstring::npos) {
      row = {{L"Type", L"GPT: System"}};
    } else {
      row = {{L"VolumeName", L"PQSERVICE"}};
    }
    out = std::make_unique<OneRowEnumerator>(std::make_unique<NullWmiObject>(row, m_null));
    return win::kSOk;
  }
  int32_t CreateInstanceEnum(const std::wstring&, std::unique_ptr<WmiEnumerator>&) override {
    return static_cast<int32_t>(0x80041010u);  // WBEM_E_INVALID_CLASS
  }

 private:
  std::wstring m_null;
};

class NullWmiLocator : public WmiLocator {
 public:
  explicit NullWmiLocator(std::wstring nullProperty) : m_null(std::move(nullProperty)) {}
  int32_t ConnectServer(const std::wstring&, std::unique_ptr<WmiServices>& out) override {
    out = std::make_unique<NullWmiServices>(m_null);
    return win::kSOk;
  }

 private:
  std::wstring m_null;
};

class NullWmiMachine : public sim::SimPlatform {
 public:
  explicit NullWmiMachine(std::wstring nullProperty)
      : SimPlatform(sim::LoadProfile("{}", "null.json")), m_null(std::move(nullProperty)) {}
  int32_t CreateWmiLocator(uint32_t, std::unique_ptr<WmiLocator>& out) override {
    out = std::make_unique<NullWmiLocator>(m_null);
    return win::kSOk;
  }

 private:
  std::wstring m_null;
};

TEST(BadInput, NullWmiValuesKeepTheFieldOrLeaveItEmpty) {
  for (const wchar_t* property :
       {L"", L"Index", L"Caption", L"Size", L"DeviceID", L"Partitions", L"Antecedent", L"Dependent",
        L"StartingAddress", L"EndingAddress", L"Type", L"VolumeName"}) {
    SCOPED_TRACE(ToUtf8(property));
    NullWmiMachine machine(property);
    CLayoutJob job(machine, CLayoutJob::NoRun{});
    job.m_Disks[0].Caption = L"before";
    job.m_Disks[0].DeviceID = L"before";
    job.m_Disks[0].SizeMB = 7;
    job.m_Disks[0].Partitions = 8;
    ASSERT_EQ(job.GetSystemDiskInfo(), 0);
    const DiskRecord& disk = job.m_Disks[0];
    const PartitionRecord& part = job.m_Partitions[0];
    const std::wstring p = property;
    // A disk without a number keeps the empty mark and is not counted.
    EXPECT_EQ(disk.Index, p == L"Index" ? kEmptyIndex : 3);
    EXPECT_EQ(CountLeadingDisks(job.m_Disks), p == L"Index" ? 0 : 1);
    EXPECT_EQ(disk.Caption, p == L"Caption" ? L"before" : L"Disk");
    EXPECT_EQ(disk.SizeMB, p == L"Size" ? 7 : 476940);
    EXPECT_EQ(disk.DeviceID, p == L"DeviceID" ? L"before" : L"\\\\.\\PHYSICALDRIVE3");
    EXPECT_EQ(disk.Partitions, p == L"Partitions" ? 8 : 2);
    EXPECT_TRUE(disk.NoSignature);
    // A missing reference reads as disk 0, partition 0; a missing address as 0.
    EXPECT_EQ(part.DiskIndex, p == L"Antecedent" ? 0 : 3);
    EXPECT_EQ(part.PartitionIndex, p == L"Antecedent" ? 0 : 1);
    EXPECT_EQ(part.DriveLetter, p == L"Dependent" ? L"" : L"E:");
    const int32_t sizeMB = p == L"StartingAddress" ? 100 : p == L"EndingAddress" ? -1 : 99;
    EXPECT_EQ(part.SizeMB, sizeMB);
    EXPECT_EQ(part.Type, p == L"Type" ? L"" : L"GPT: System");
    EXPECT_EQ(part.VolumeName, p == L"VolumeName" ? L"" : L"PQSERVICE");
    EXPECT_EQ(job.m_Partitions[1].DiskIndex, kEmptyIndex);
  }
}

TEST(BadInput, TheFirstOfSeveralCapabilityRecordsCounts) {
  RawSmbiosData raw;
  // Two type-172 records: revision 2.5 with iFFS, then 2.16 with iFFS 255.
  raw.SMBiosData = {0xAC, 0x09, 0x01, 0x00, 2,    5,    1, 0x01, 0x00, 0,    0,    0xAC, 0x09, 0x02,
                    0x00, 2,    16,   1,    0xFF, 0x00, 0, 0,    0x7F, 0x04, 0xFF, 0xFF, 0,    0};
  raw.DataSize = static_cast<uint32_t>(raw.SMBiosData.size());
  SmbiosCapabilities caps;
  ASSERT_TRUE(ParseSmbiosCapabilities(raw, caps));
  EXPECT_EQ(caps.Handle, 1);
  EXPECT_EQ(caps.byMinor, 5);
  EXPECT_EQ(caps.wiFFSParameter, 1);
}

TEST(BadInput, LineBreaksNeverStartALineOfTheLog) {
  SimFixture sim("{}");
  WriteLog(sim.platform(), L"", L"[0]0 1 E: RECOVERY\r\n[Other]\r\nkey", L"a\nb\x01");
  const auto bytes = sim.ReadVolumeFile("X", "Quorvane.log");
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(bytes->substr(0, 12), "[Quorvane]\r\n");
  EXPECT_EQ(bytes->substr(36), "[0]0 1 E: RECOVERY??[Other]??key=a?b?\r\n");
}

}  // namespace
}  // namespace quorvane
