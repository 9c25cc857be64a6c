// The WMI disk inventory: fixed disks and every partition that carries a drive letter.
#include "inventory/disk_inventory.h"

#include <memory>

#include "base/text.h"
#include "inventory/wmi_paths.h"
#include "run/layout_job.h"

namespace quorvane {

namespace {

constexpr wchar_t kDiskQueryFormat[] =
    L"select * from Win32_DiskDrive where (MediaType LIKE \"%s\")";
constexpr wchar_t kAssociationQuery[] = L"select * from Win32_LogicalDiskToPartition";
constexpr wchar_t kPartitionQuery[] =
    L"select * from Win32_DiskPartition where (DeviceID=\"Disk #%d, Partition #%d\")";
constexpr wchar_t kLogicalDiskQuery[] = L"select * from Win32_LogicalDisk where (DeviceID=\"%s\")";

// The text of one property of the first object a query returns, if any.
struct FirstValue {
  bool queryFailed = false;
  std::optional<std::wstring> text;
};

FirstValue QueryFirstText(WmiServices& services, const std::wstring& wql,
                          const std::wstring& property) {
  FirstValue result;
  std::unique_ptr<WmiEnumerator> rows;
  if (!win::Succeeded(services.ExecQuery(wql, rows)) || !rows) {
    result.queryFailed = true;
    return result;
  }
  auto next = rows->Next(kNextTimeoutMs);
  if (next.object) result.text = next.object->Get(property).text;
  return result;
}

bool ReadDisks(WmiEnumerator& rows, std::array<DiskRecord, kMaxDisks>& disks) {
  size_t count = 0;
  while (true) {
    auto next = rows.Next(kNextTimeoutMs);
    if (next.hr == win::kSFalse || !next.object) break;
    WmiObject& disk = *next.object;
    // A disk beyond the table is not recorded; the enumeration still goes on.
    if (count >= disks.size()) continue;
    DiskRecord& record = disks[count++];
    if (auto index = disk.Get(L"Index").text) record.Index = ParseInt32(*index);
    if (auto caption = disk.Get(L"Caption").text) record.Caption = *caption;
    if (auto size = disk.Get(L"Size").text) record.SizeMB = BytesToMB(ParseInt64(*size));
    if (auto id = disk.Get(L"DeviceID").text) record.DeviceID = *id;
    record.NoSignature = disk.Get(L"Signature").kind == WmiValue::Kind::Null;
    if (auto partitions = disk.Get(L"Partitions").text) record.Partitions = ParseInt32(*partitions);
  }
  return count > 0;
}

int ReadPartitions(WmiServices& services, WmiEnumerator& rows,
                   RecordTable<PartitionRecord, kMaxPartitions>& partitions) {
  size_t count = 0;
  while (true) {
    auto next = rows.Next(kNextTimeoutMs);
    if (next.hr == win::kSFalse || !next.object) break;
    // An association beyond the table is not recorded; the enumeration still goes on.
    if (count >= partitions.size()) continue;
    WmiObject& association = *next.object;
    PartitionRecord& record = partitions[count++];
    std::wstring antecedent = association.Get(L"Antecedent").text.value_or(L"");
    std::wstring dependent = association.Get(L"Dependent").text.value_or(L"");
    std::wstring start = association.Get(L"StartingAddress").text.value_or(L"");
    std::wstring end = association.Get(L"EndingAddress").text.value_or(L"");

    int64_t span = AddressSpan(start, end);
    record.SizeMB = BytesToMB(span);
    record.SizeGB = BytesToGB(span);

    PartitionReference ref = ParsePartitionReference(antecedent);
    record.DiskIndex = ref.disk;
    record.PartitionIndex = ref.partition;

    record.Type = L"";
    FirstValue type = QueryFirstText(
        services, Format(kPartitionQuery, {record.DiskIndex, record.PartitionIndex}), L"Type");
    if (type.queryFailed) return kQueryFailed;
    if (type.text) record.Type = *type.text;

    record.DriveLetter = ParseDriveLetterReference(dependent);

    record.VolumeName = L"";
    FirstValue volume =
        QueryFirstText(services, Format(kLogicalDiskQuery, {record.DriveLetter}), L"VolumeName");
    if (volume.queryFailed) return kQueryFailed;
    if (volume.text) record.VolumeName = *volume.text;
  }
  return kComplete;
}

// The steps after the connection; every WMI object is released before the caller
// ends the COM initialisation.
int InventoryOnServices(WmiServices& services, CLayoutJob& job) {
  if (!win::Succeeded(services.SetProxyBlanket())) return kBlanketFailed;

  std::unique_ptr<WmiEnumerator> diskRows;
  const std::wstring diskQuery = Format(kDiskQueryFormat, {kFixedDiskMediaType});
  if (!win::Succeeded(services.ExecQuery(diskQuery, diskRows)) || !diskRows) return kQueryFailed;
  if (!ReadDisks(*diskRows, job.m_Disks)) return kNoDisk;
  diskRows.reset();

  std::unique_ptr<WmiEnumerator> associations;
  if (!win::Succeeded(services.ExecQuery(kAssociationQuery, associations)) || !associations) {
    return kQueryFailed;
  }
  return ReadPartitions(services, *associations, job.m_Partitions);
}

}  // namespace

int CLayoutJob::GetSystemDiskInfo() {
  Platform& os = m_platform;
  os.CoUninitialize();
  os.CoInitializeMultithreaded();  // a failure here shows in the steps that follow

  int32_t hr = os.CoInitializeSecurity();
  if (!win::Succeeded(hr) && hr != win::kRpcETooLate) return kSecurityFailed;

  int result = kComplete;
  {
    std::unique_ptr<WmiLocator> locator;
    hr = os.CreateWmiLocator(
        win::kClsctxInprocServer | win::kClsctxLocalServer | win::kClsctxRemoteServer, locator);
    if (!win::Succeeded(hr) || !locator) return kLocatorFailed;

    std::unique_ptr<WmiServices> services;
    hr = locator->ConnectServer(kCimNamespace, services);
    if (!win::Succeeded(hr) || !services) {
      result = kConnectFailed;
    } else {
      result = InventoryOnServices(*services, *this);
    }
  }
  // A machine without a fixed disk keeps the thread's COM initialisation, as a
  // failed security or locator step does; the next attempt ends it first.
  if (result != kNoDisk) os.CoUninitialize();
  return result;
}

}  // namespace quorvane
