// The pure readers of the inventory: WMI object paths and sizes, SMBIOS walk, diskpart report.
#include <gtest/gtest.h>

#include "base/text.h"
#include "classify/system_disk.h"
#include "inventory/smbios.h"
#include "inventory/wmi_paths.h"

namespace quorvane {
namespace {

TEST(WmiPaths, PartitionReferenceFromAntecedent) {
  auto ref = ParsePartitionReference(
      L"\\\\PC\\root\\cimv2:Win32_DiskPartition.DeviceID=\"Disk #1, Partition #0\"");
  EXPECT_EQ(ref.disk, 1);
  EXPECT_EQ(ref.partition, 0);
  ref = ParsePartitionReference(L"X.DeviceID=\"Disk #12, Partition #3\"");
  EXPECT_EQ(ref.disk, 12);
  EXPECT_EQ(ref.partition, 3);
  // Malformed paths never crash and read missing pieces as 0.
  ref = ParsePartitionReference(L"no equals sign #4");
  EXPECT_EQ(ref.disk, 0);
  EXPECT_EQ(ref.partition, 0);
  ref = ParsePartitionReference(L"x=\"Disk 1, Partition 2\"");
  EXPECT_EQ(ref.disk, 0);
  EXPECT_EQ(ref.partition, 0);
  ref = ParsePartitionReference(L"x=Disk #7");  // no comma, no quotes
  EXPECT_EQ(ref.disk, 7);
  EXPECT_EQ(ref.partition, 7);
  EXPECT_EQ(ParsePartitionReference(L"").disk, 0);
}

TEST(WmiPaths, DriveLetterFromDependent) {
  EXPECT_EQ(ParseDriveLetterReference(L"\\\\PC\\root\\cimv2:Win32_LogicalDisk.DeviceID=\"D:\""),
            L"D:");
  EXPECT_EQ(ParseDriveLetterReference(L"Win32_LogicalDisk.DeviceID=\"D\""), L"");
  EXPECT_EQ(ParseDriveLetterReference(L"C:\\no\\equals"), L"");
  EXPECT_EQ(ParseDriveLetterReference(L"=:"), L"=:");
}

TEST(WmiPaths, SizesTruncateTowardZero) {
  EXPECT_EQ(BytesToMB(500107862016LL), 476940);
  int64_t span = AddressSpan(L"1048576", L"105906175");
  EXPECT_EQ(span, 104857599);
  EXPECT_EQ(BytesToMB(span), 99);
  EXPECT_NEAR(BytesToGB(span), 0.09766f, 0.00001f);
  EXPECT_EQ(BytesToMB(-1048577), -1);
  // Sizes beyond 2^31 MB (a size text beyond 64 bits saturates first) stay huge.
  EXPECT_EQ(BytesToMB(ParseInt64(L"99999999999999999999999")), INT32_MAX);
  EXPECT_EQ(BytesToMB(2251799813685248LL), INT32_MAX);
  EXPECT_EQ(BytesToMB(INT64_MIN), INT32_MIN);
  // Empty and absurd texts give defined results.
  EXPECT_EQ(AddressSpan(L"", L""), 0);
  EXPECT_EQ(AddressSpan(L"-9223372036854775808", L"9223372036854775807"), -1);
}

RawSmbiosData Table(std::vector<uint8_t> bytes) {
  RawSmbiosData raw;
  raw.SMBiosData = std::move(bytes);
  raw.DataSize = static_cast<uint32_t>(raw.SMBiosData.size());
  return raw;
}

TEST(Smbios, DecodesTheCapabilityRecordAfterOtherStructures) {
  // A type-0 structure with one string, then the capability record.
  RawSmbiosData raw =
      Table({0x00, 0x04, 0x00, 0x00, 'B',  'I',  'O',  'S',  0x00, 0x00, 0xAC, 0x0C,
             0x34, 0x12, 0x02, 0x10, 0x01, 0x01, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00});
  SmbiosCapabilities caps;
  ASSERT_TRUE(ParseSmbiosCapabilities(raw, caps));
  EXPECT_EQ(caps.RecordType, 172);
  EXPECT_EQ(caps.Handle, 0x1234);
  EXPECT_EQ(caps.byMajor, 2);
  EXPECT_EQ(caps.byMinor, 16);
  EXPECT_EQ(caps.EntryCount, 2);
  EXPECT_EQ(caps.biFFS, 1);
  EXPECT_EQ(caps.wiFFSParameter, 1);
  EXPECT_EQ(caps.biSRT, 3);
  EXPECT_EQ(caps.wiSRTParameter, 0);
  EXPECT_EQ(caps.LastIdentifier, 3);
}

TEST(Smbios, EntriesRepeatedAndUnknown) {
  RawSmbiosData raw = Table(
      {0xAC, 0x12, 0, 0, 2, 8, 1, 0xFF, 0x00, 9, 0x34, 0x12, 1, 0x07, 0x00, 5, 0x01, 0x00, 0, 0});
  SmbiosCapabilities caps;
  ASSERT_TRUE(ParseSmbiosCapabilities(raw, caps));
  EXPECT_EQ(caps.EntryCount, 4);
  EXPECT_EQ(caps.wiFFSParameter, 7);  // the last occurrence wins
  EXPECT_EQ(caps.OtherParameter, 0x1234);
  EXPECT_EQ(caps.bRAID, 5);
  EXPECT_EQ(caps.LastIdentifier, 5);
}

TEST(Smbios, ShortAndCorruptTablesFindNothing) {
  SmbiosCapabilities caps;
  caps.byMajor = 77;  // must stay untouched on failure
  const std::vector<std::vector<uint8_t>> bad = {
      {},                                          // empty
      {0x00},                                      // no length byte
      {0x00, 0x04, 0x00, 0x00, 'A'},               // string set without terminator
      {0x01, 0xF0, 0x00, 0x00, 0x00, 0x00},        // length running past the end
      {0xAC, 0x0C, 0x34, 0x12, 0x02},              // capability header cut short
      {0xAC, 0x0C, 0x34, 0x12, 0x02, 0x10, 0x01},  // entries running past the end
      {0x7F, 0x04, 0x00, 0x00, 0x00, 0x00},        // only an end-of-table structure
  };
  for (const auto& bytes : bad) {
    EXPECT_FALSE(ParseSmbiosCapabilities(Table(bytes), caps)) << bytes.size();
  }
  EXPECT_EQ(caps.byMajor, 77);
  // DataSize smaller than the buffer limits the walk.
  RawSmbiosData raw = Table({0xAC, 0x06, 0, 0, 2, 16, 0, 0});
  raw.DataSize = 5;
  EXPECT_FALSE(ParseSmbiosCapabilities(raw, caps));
  // Zero lengths still make progress.
  EXPECT_TRUE(
      ParseSmbiosCapabilities(Table({0x00, 0x00, 0x00, 0x00, 0xAC, 0x06, 0, 0, 2, 16}), caps));
  EXPECT_EQ(caps.EntryCount, 0);
  EXPECT_EQ(caps.biFFS, 0);
}

TEST(DiskpartReport, FirstSingleDigitTokenOrTheLastToken) {
  EXPECT_EQ(FindDiskToken(L"Microsoft 6.1.7601\r\n\r\nDisk 1 is now the selected disk.\r\n"), L"1");
  EXPECT_EQ(FindDiskToken(L"version 10 4. 2 then Disk 1"), L"2");
  EXPECT_EQ(FindDiskToken(L"Disk 10 is now the selected disk."), L"disk.");
  EXPECT_EQ(FindDiskToken(L""), L"");
  EXPECT_EQ(FindDiskToken(L" \r\n\t "), L"");
  // A long token is cut, and its tail never counts as a token of its own.
  std::wstring longToken(5000, L'a');
  longToken += L"7";
  EXPECT_EQ(FindDiskToken(longToken), std::wstring(kMaxTokenChars, L'a'));
  EXPECT_EQ(FindDiskToken(longToken + L" 3"), L"3");
  EXPECT_EQ(LeadingDigitsValue(L"42abc"), 42);
  EXPECT_EQ(LeadingDigitsValue(L"-4"), 0);
  EXPECT_EQ(LeadingDigitsValue(L"disk."), 0);
}

}  // namespace
}  // namespace quorvane
