// Simulated WMI: the rows of disks, partitions, logical disks, their associations and the raw
// SMBIOS table, served through locator, services and enumerator objects.
#include "platform/sim/sim_wmi.h"

#include "base/text.h"
#include "letters/device_path.h"
#include "platform/sim/sim_platform.h"
#include "platform/sim/wql.h"

namespace quorvane::sim {
namespace {

constexpr int64_t kMiB = 1048576;
constexpr wchar_t kCimv2Path[] = L"\\\\SIMPC\\root\\cimv2:";
constexpr wchar_t kSmbiosClass[] = L"MSSMBios_RawSMBiosTables";

class SimWmiObject : public WmiObject {
 public:
  explicit SimWmiObject(WmiRow row) : row_(std::move(row)) {}
  WmiValue Get(const std::wstring& name) override {
    for (const auto& [property, value] : row_)
      if (EqualsIgnoreCaseAscii(property, name)) return value;
    return WmiValue{};  // WBEM_E_NOT_FOUND: nothing to convert
  }

 private:
  WmiRow row_;
};

class SimWmiEnumerator : public WmiEnumerator {
 public:
  explicit SimWmiEnumerator(std::vector<WmiRow> rows) : rows_(std::move(rows)) {}
  Result Next(uint32_t) override {
    Result result;
    if (next_ < rows_.size()) {
      result.hr = win::kSOk;
      result.object = std::make_unique<SimWmiObject>(std::move(rows_[next_++]));
    }
    return result;
  }

 private:
  std::vector<WmiRow> rows_;
  size_t next_ = 0;
};

std::optional<std::wstring> TextOf(const WmiRow& row, const std::wstring& property) {
  for (const auto& [name, value] : row)
    if (EqualsIgnoreCaseAscii(name, property)) return value.text;
  return std::nullopt;
}

WmiRow SmbiosRow(const SimPlatform& machine) {
  const auto& smbios = machine.profile().smbios;
  WmiRow row;
  row.emplace_back(L"Active", WmiInteger(1));
  row.emplace_back(L"InstanceName", WmiText(L"SMBiosData"));
  row.emplace_back(L"SmbiosMajorVersion", WmiInteger(smbios ? smbios->majorVersion : 0));
  row.emplace_back(L"SmbiosMinorVersion", WmiInteger(smbios ? smbios->minorVersion : 0));
  row.emplace_back(L"Size", WmiInteger(smbios ? static_cast<int64_t>(smbios->table.size()) : 0));
  row.emplace_back(L"SMBiosData", smbios ? WmiBytes(smbios->table) : WmiNull());
  return row;
}

class SimWmiServices : public WmiServices {
 public:
  SimWmiServices(SimPlatform& machine, bool cimv2) : machine_(machine), cimv2_(cimv2) {}

  int32_t SetProxyBlanket() override { return machine_.WmiSetProxyBlanket(); }

  int32_t ExecQuery(const std::wstring& wql, std::unique_ptr<WmiEnumerator>& out) override {
    out.reset();
    int32_t fault = machine_.WmiExecQuery();
    if (!win::Succeeded(fault)) return fault;
    auto query = ParseWql(wql);
    if (!query) return hr::kWbemEInvalidQuery;
    auto rows = Rows(query->className, &*query);
    if (!rows) return hr::kWbemEInvalidClass;
    std::vector<WmiRow> matching;
    for (auto& row : *rows)
      if (WqlMatches(*query, TextOf(row, query->property))) matching.push_back(std::move(row));
    out = std::make_unique<SimWmiEnumerator>(std::move(matching));
    return win::kSOk;
  }

  int32_t CreateInstanceEnum(const std::wstring& className,
                             std::unique_ptr<WmiEnumerator>& out) override {
    out.reset();
    auto rows = Rows(className);
    if (!rows) return hr::kWbemEInvalidClass;
    out = std::make_unique<SimWmiEnumerator>(std::move(*rows));
    return win::kSOk;
  }

 private:
  std::optional<std::vector<WmiRow>> Rows(const std::wstring& className,
                                          const WqlQuery* query = nullptr) const {
    if (cimv2_) return Cimv2Rows(machine_, className, query);
    if (EqualsIgnoreCaseAscii(className, kSmbiosClass))
      return std::vector<WmiRow>{SmbiosRow(machine_)};
    return std::nullopt;
  }

  SimPlatform& machine_;
  bool cimv2_;
};

class SimWmiLocator : public WmiLocator {
 public:
  explicit SimWmiLocator(SimPlatform& machine) : machine_(machine) {}
  int32_t ConnectServer(const std::wstring& ns, std::unique_ptr<WmiServices>& out) override {
    out.reset();
    int32_t result = machine_.WmiConnectServer(ns);
    if (!win::Succeeded(result)) return result;
    bool cimv2 = Contains(ToUpperAscii(ns), L"CIMV2");
    out = std::make_unique<SimWmiServices>(machine_, cimv2);
    return result;
  }

 private:
  SimPlatform& machine_;
};

// A partition as WMI lists it: not hidden, with its WMI index and byte range.
struct ListedPartition {
  const DiskSpec* disk = nullptr;
  const PartitionSpec* partition = nullptr;
  int number = 0;    // kernel numbering, from 1
  int wmiIndex = 0;  // from 0; its place among the listed ones unless the profile gives it
  int64_t start = 0;
};

std::vector<ListedPartition> ListedPartitions(const SimPlatform& machine) {
  std::vector<ListedPartition> out;
  for (const auto& disk : machine.profile().disks) {
    int64_t start = kMiB;
    const std::vector<int> indexes = WmiIndexes(disk);
    for (size_t i = 0; i < disk.partitions.size(); ++i) {
      const auto& part = disk.partitions[i];
      if (!part.hidden) out.push_back({&disk, &part, static_cast<int>(i) + 1, indexes[i], start});
      start += part.sizeMB * kMiB;
    }
  }
  return out;
}

std::wstring PartitionDeviceId(const ListedPartition& p) {
  return L"Disk #" + DecimalText(p.disk->index) + L", Partition #" + DecimalText(p.wmiIndex);
}

// False when `query` tests `property` and `text` fails that test: the row need not be built.
bool MayMatch(const WqlQuery* query, const wchar_t* property, const std::wstring& text) {
  if (query == nullptr || query->test == WqlQuery::Test::All ||
      !EqualsIgnoreCaseAscii(query->property, property))
    return true;
  return WqlMatches(*query, text);
}

std::vector<WmiRow> DiskDriveRows(const SimPlatform& machine, const WqlQuery* query) {
  std::vector<WmiRow> rows;
  for (const auto& disk : machine.profile().disks) {
    if (!MayMatch(query, L"MediaType", disk.mediaType)) continue;
    int64_t listed = 0;
    for (const auto& part : disk.partitions) listed += part.hidden ? 0 : 1;
    WmiRow row;
    row.emplace_back(L"Index", WmiInteger(disk.index));
    row.emplace_back(L"Caption", WmiText(disk.model));
    row.emplace_back(L"Model", WmiText(disk.model));
    row.emplace_back(L"Size", disk.media ? WmiNumericText(disk.sizeMB * kMiB) : WmiNull());
    row.emplace_back(L"DeviceID", WmiText(disk.deviceId));
    row.emplace_back(L"Signature", disk.gpt ? WmiNull() : WmiInteger(disk.signature));
    row.emplace_back(L"Partitions", WmiInteger(listed));
    row.emplace_back(L"MediaType", WmiText(disk.mediaType));
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<WmiRow> DiskPartitionRows(const SimPlatform& machine, const WqlQuery* query) {
  std::vector<WmiRow> rows;
  for (const auto& p : ListedPartitions(machine)) {
    const std::wstring id = PartitionDeviceId(p);
    if (!MayMatch(query, L"DeviceID", id)) continue;
    WmiRow row;
    row.emplace_back(L"DeviceID", WmiText(id));
    row.emplace_back(L"Name", WmiText(id));
    row.emplace_back(L"DiskIndex", WmiInteger(p.disk->index));
    row.emplace_back(L"Index", WmiInteger(p.wmiIndex));
    row.emplace_back(L"Type", WmiText(p.partition->type));
    row.emplace_back(L"Size", WmiNumericText(p.partition->sizeMB * kMiB));
    row.emplace_back(L"StartingOffset", WmiNumericText(p.start));
    rows.push_back(std::move(row));
  }
  return rows;
}

std::vector<WmiRow> LogicalDiskRows(const SimPlatform& machine, const WqlQuery* query) {
  std::vector<WmiRow> rows;
  for (const auto& letter : machine.DosDevices().Letters()) {
    if (!MayMatch(query, L"DeviceID", letter)) continue;
    auto label = machine.LabelThroughLetter(letter);
    WmiRow row;
    row.emplace_back(L"DeviceID", WmiText(letter));
    row.emplace_back(L"Name", WmiText(letter));
    row.emplace_back(L"VolumeName", label ? WmiText(*label) : WmiNull());
    rows.push_back(std::move(row));
  }
  return rows;
}

// One association per defined letter whose target in force is a listed partition.
std::vector<WmiRow> LogicalDiskToPartitionRows(const SimPlatform& machine) {
  auto listed = ListedPartitions(machine);
  std::vector<WmiRow> rows;
  for (const auto& letter : machine.DosDevices().Letters()) {
    auto target = machine.DosDevices().InForce(letter);
    // The kernel names a partition by this path (in any case): no other spelling reaches it.
    auto numbers = target ? ParsePartitionDevicePath(*target) : std::nullopt;
    if (!numbers ||
        !EqualsIgnoreCaseAscii(*target, PartitionDevicePath(numbers->disk, numbers->partition)))
      continue;
    for (const auto& p : listed) {
      if (p.disk->index != numbers->disk || p.number != numbers->partition) continue;
      int64_t length = p.partition->sizeMB * kMiB;
      WmiRow row;
      row.emplace_back(L"Antecedent",
                       WmiText(std::wstring(kCimv2Path) + L"Win32_DiskPartition.DeviceID=\"" +
                               PartitionDeviceId(p) + L"\""));
      row.emplace_back(L"Dependent", WmiText(std::wstring(kCimv2Path) +
                                             L"Win32_LogicalDisk.DeviceID=\"" + letter + L"\""));
      row.emplace_back(L"StartingAddress", WmiNumericText(p.start));
      row.emplace_back(L"EndingAddress", WmiNumericText(p.start + length - 1));
      rows.push_back(std::move(row));
      break;
    }
  }
  return rows;
}

}  // namespace

WmiValue WmiInteger(int64_t value) {
  WmiValue v;
  v.kind = WmiValue::Kind::Integer;
  v.integer = value;
  v.text = DecimalText(value);
  return v;
}

WmiValue WmiNumericText(int64_t value) {
  WmiValue v = WmiText(DecimalText(value));
  v.integer = value;
  return v;
}

WmiValue WmiText(const std::wstring& text) {
  WmiValue v;
  v.kind = WmiValue::Kind::Text;
  v.text = text;
  return v;
}

WmiValue WmiNull() {
  WmiValue v;
  v.kind = WmiValue::Kind::Null;
  return v;
}

WmiValue WmiBytes(const std::vector<uint8_t>& bytes) {
  WmiValue v;
  v.kind = WmiValue::Kind::Bytes;
  v.bytes = bytes;
  return v;
}

std::optional<std::vector<WmiRow>> Cimv2Rows(const SimPlatform& machine,
                                             const std::wstring& className, const WqlQuery* query) {
  if (EqualsIgnoreCaseAscii(className, L"Win32_DiskDrive")) return DiskDriveRows(machine, query);
  if (EqualsIgnoreCaseAscii(className, L"Win32_DiskPartition"))
    return DiskPartitionRows(machine, query);
  if (EqualsIgnoreCaseAscii(className, L"Win32_LogicalDisk"))
    return LogicalDiskRows(machine, query);
  if (EqualsIgnoreCaseAscii(className, L"Win32_LogicalDiskToPartition"))
    return LogicalDiskToPartitionRows(machine);
  return std::nullopt;
}

std::unique_ptr<WmiLocator> MakeWmiLocator(SimPlatform& machine) {
  return std::make_unique<SimWmiLocator>(machine);
}

}  // namespace quorvane::sim
