// The collection: letters, firmware, SMBIOS and WMI as the run reads them, then partition tables,
// labels and the watched files.
#include "capture/collect_facts.h"

#include <algorithm>
#include <set>

#include "base/text.h"
#include "capture/kernel_partitions.h"
#include "capture/watched_paths.h"
#include "capture/wim_images.h"
#include "firmware/boot_mode.h"
#include "inventory/disk_inventory.h"
#include "letters/device_path.h"
#include "letters/volume_mapping.h"
#include "run/layout_job.h"

namespace quorvane::capture {
namespace {

constexpr wchar_t kAllDisks[] = L"select * from Win32_DiskDrive";
constexpr wchar_t kAllPartitions[] = L"select * from Win32_DiskPartition";
constexpr wchar_t kGlobalRoot[] = L"\\\\?\\GLOBALROOT";
constexpr int kLetters = 26;
constexpr uint32_t kErrorPathNotFound = 3;

std::optional<int64_t> Integer(WmiObject& row, const wchar_t* name) {
  return row.Get(name).integer;
}

WmiDiskRow ReadDiskRow(WmiObject& row) {
  WmiDiskRow d;
  d.index = Integer(row, L"Index");
  d.caption = row.Get(L"Caption").text;
  d.deviceId = row.Get(L"DeviceID").text;
  d.mediaType = row.Get(L"MediaType").text;
  d.sizeBytes = Integer(row, L"Size");
  WmiValue signature = row.Get(L"Signature");
  // As the run tells the styles apart: a null signature, whatever else a failed read gives.
  d.signatureNull = signature.kind == WmiValue::Kind::Null;
  d.signature = signature.integer;
  d.partitions = Integer(row, L"Partitions");
  return d;
}

WmiPartitionRow ReadPartitionRow(WmiObject& row) {
  WmiPartitionRow p;
  p.diskIndex = Integer(row, L"DiskIndex");
  p.index = Integer(row, L"Index");
  p.startingOffset = Integer(row, L"StartingOffset");
  p.size = Integer(row, L"Size");
  p.type = row.Get(L"Type").text;
  return p;
}

// Reads a list to its end; returns the result of the call that ended it: WBEM_S_FALSE at the end,
// anything else when it broke off. A call that timed out is made once more before it counts.
template <typename Row, typename Read>
int32_t ReadRows(WmiEnumerator& rows, std::vector<Row>& out, Read read) {
  bool retried = false;
  while (true) {
    auto next = rows.Next(kNextTimeoutMs);
    if (next.object) {
      out.push_back(read(*next.object));
      retried = false;
    } else if (next.hr == win::kWbemSTimedOut && !retried) {
      retried = true;
    } else {
      return next.hr;
    }
  }
}

// The steps of the run's inventory, with queries that leave no disk and no partition out.
void ReadWmi(Platform& os, WmiFacts& wmi) {
  auto fail = [&wmi](int step, int32_t hr) {
    wmi.failedStep = step;
    wmi.hresult = hr;
  };
  int32_t hr = os.CoInitializeSecurity();
  if (!win::Succeeded(hr) && hr != win::kRpcETooLate) return fail(2, hr);
  std::unique_ptr<WmiLocator> locator;
  hr = os.CreateWmiLocator(
      win::kClsctxInprocServer | win::kClsctxLocalServer | win::kClsctxRemoteServer, locator);
  if (!win::Succeeded(hr) || !locator) return fail(3, hr);
  std::unique_ptr<WmiServices> services;
  hr = locator->ConnectServer(kCimNamespace, services);
  if (!win::Succeeded(hr) || !services) return fail(4, hr);
  hr = services->SetProxyBlanket();
  if (!win::Succeeded(hr)) return fail(9, hr);
  std::unique_ptr<WmiEnumerator> rows;
  hr = services->ExecQuery(kAllDisks, rows);
  if (!win::Succeeded(hr) || !rows) return fail(5, hr);
  wmi.disksEnd = ReadRows(*rows, wmi.disks, ReadDiskRow);
  rows.reset();
  wmi.partitionsQuery = services->ExecQuery(kAllPartitions, rows);
  if (!win::Succeeded(wmi.partitionsQuery) || !rows) return;
  wmi.partitionsEnd = ReadRows(*rows, wmi.partitions, ReadPartitionRow);
  wmi.partitionsListed = wmi.partitionsEnd == win::kSFalse;
}

// The volume at a root path: its label, whether it is read-only, and its watched files.
VolumeFacts ReadVolume(Platform& os, CaptureSystem& system, const std::wstring& root) {
  VolumeFacts volume;
  volume.label = os.GetVolumeLabel(root);
  if (!volume.label) return volume;
  volume.readOnly = system.VolumeReadOnly(root);
  volume.files = CollectFiles(system, root);
  return volume;
}

LetterFacts ReadLetter(Platform& os, CaptureSystem& system, const std::wstring& letter) {
  LetterFacts l;
  l.letter = letter;
  l.target = os.QueryDosDevice(letter, kTargetBufferChars);
  l.number = system.VolumeDeviceNumber(letter);
  l.volume = ReadVolume(os, system, letter + L"\\");
  return l;
}

// WMI could not list every disk: it failed, or its list broke off.
bool DisksUnlisted(const WmiFacts& wmi) {
  return wmi.failedStep != 0 || wmi.disksEnd != win::kSFalse;
}

// The disks whose partition tables are read: those WMI lists; when it cannot list them all, every
// number that opens a disk, a letter's disk among them.
std::set<int> DiskNumbers(const MachineFacts& facts) {
  std::set<int> numbers;
  for (const auto& row : facts.wmi.disks)
    if (row.index && *row.index >= 0 && *row.index < kEmptyIndex)
      numbers.insert(static_cast<int>(*row.index));
  if (!DisksUnlisted(facts.wmi)) return numbers;
  for (int n = 0; n < kProbedDisks; ++n) numbers.insert(n);
  for (const auto& l : facts.letters)
    if (l.number.value && l.number.value->deviceType == kFileDeviceDisk &&
        l.number.value->disk < static_cast<uint32_t>(kEmptyIndex))
      numbers.insert(static_cast<int>(l.number.value->disk));
  return numbers;
}

void ReadWatchedFile(CaptureSystem& system, const std::wstring& path, WatchedPath::Kind kind,
                     FoundFile& file) {
  if (kind == WatchedPath::Kind::Text) {
    auto bytes = system.ReadFileRange(path, 0, kTextFileLimit + 1);
    if (!bytes.value) {
      file.readError = bytes.error;
    } else if (bytes.value->size() > kTextFileLimit) {
      file.tooLarge = true;
    } else {
      file.text = std::move(*bytes.value);
    }
    return;
  }
  if (kind != WatchedPath::Kind::Image) return;
  file.image = true;
  auto header = system.ReadFileRange(path, 0, kWimHeaderBytes);
  if (!header.value) {
    file.readError = header.error;
    return;
  }
  file.imageHeader = *header.value;
  std::string problem;
  auto parsed = ReadWimHeader(file.imageHeader, problem);
  if (!parsed || parsed->xmlCompressed || parsed->xmlStoredBytes > kWimXmlLimit) return;
  auto xml =
      system.ReadFileRange(path, parsed->xmlOffset, static_cast<uint32_t>(parsed->xmlStoredBytes));
  if (!xml.value) {
    file.readError = xml.error;
    return;
  }
  file.imageXml = std::move(*xml.value);
}

}  // namespace

std::vector<FoundFile> CollectFiles(CaptureSystem& system, const std::wstring& root) {
  std::vector<FoundFile> found;
  for (const auto& watched : WatchedPaths()) {
    // Name by name, so that each keeps the volume's own spelling.
    std::wstring windowsPath = root;
    std::string path;
    size_t from = 0;
    while (from <= watched.path.size()) {
      size_t end = std::min(watched.path.find(L'\\', from), watched.path.size());
      const bool last = end == watched.path.size();
      PathEntry entry = system.LookUp(windowsPath + watched.path.substr(from, end - from));
      if (entry.kind == PathEntry::Kind::Missing) break;
      const bool folder = entry.kind == PathEntry::Kind::Folder;
      windowsPath += entry.name + L"\\";
      path += ToUtf8(entry.name) + (folder ? "/" : "");
      auto known = std::find_if(found.begin(), found.end(),
                                [&path](const FoundFile& f) { return f.path == path; });
      if (known == found.end()) {
        FoundFile file;
        file.path = path;
        file.folder = folder;
        if (!folder && last) {
          windowsPath.pop_back();
          ReadWatchedFile(system, windowsPath, watched.kind, file);
        }
        found.push_back(std::move(file));
      }
      if (!folder) break;
      from = end + 1;
    }
  }
  return found;
}

MachineFacts CollectFacts(Platform& os, CaptureSystem& system) {
  MachineFacts facts;
  facts.start = os.GetLocalTime();

  const uint32_t mask = os.GetLogicalDrives();
  for (int n = 0; n < kLetters; ++n) {
    if ((mask & (1u << n)) == 0) continue;
    facts.letters.push_back(
        ReadLetter(os, system, std::wstring(1, static_cast<wchar_t>(L'A' + n)) + L":"));
  }

  facts.firmware =
      os.GetFirmwareEnvironmentVariable(kProbeVariableName, kProbeVendorGuid, kProbeBufferSize);

  // As the run fetches the table: only on a COM initialisation that succeeded; the fetch ends it.
  if (win::Succeeded(os.CoInitializeMultithreaded())) {
    facts.smbiosRead = ReadSmbiosTable(os, facts.smbios);
  }

  os.CoInitializeMultithreaded();
  ReadWmi(os, facts.wmi);
  os.CoUninitialize();

  for (int n : DiskNumbers(facts)) {
    auto layout = system.ReadDriveLayout(n);
    const bool absent = !layout.value && (layout.error == win::kErrorFileNotFound ||
                                          layout.error == kErrorPathNotFound);
    // A probed number that opens no disk is no disk; one WMI or a letter names stays, unread.
    if (absent && DisksUnlisted(facts.wmi)) continue;
    facts.layouts.push_back({n, std::move(layout)});
  }

  for (const auto& disk : facts.layouts) {
    for (const auto& p : KernelPartitionsOf(disk.disk, disk.layout, facts.wmi).partitions) {
      if (p.gap) continue;
      const std::wstring root = kGlobalRoot + PartitionDevicePath(disk.disk, p.number) + L"\\";
      facts.partitionVolumes[{disk.disk, p.number}] = ReadVolume(os, system, root);
    }
  }
  return facts;
}

}  // namespace quorvane::capture
