// Fetching the raw SMBIOS table through WMI and decoding the capability record.
#include "inventory/smbios.h"

#include <memory>

#include "base/text.h"

namespace quorvane {

bool ReadSmbiosTable(Platform& os, RawSmbiosData& raw) {
  bool filled = false;
  {
    std::unique_ptr<WmiLocator> locator;
    if (!win::Succeeded(os.CreateWmiLocator(win::kClsctxInprocServer, locator)) || !locator) {
      return false;
    }
    std::unique_ptr<WmiServices> services;
    std::unique_ptr<WmiEnumerator> instances;
    std::unique_ptr<WmiObject> table;
    if (win::Succeeded(locator->ConnectServer(L"ROOT\\WMI", services)) && services &&
        win::Succeeded(services->SetProxyBlanket()) &&
        win::Succeeded(services->CreateInstanceEnum(L"MSSMBios_RawSMBiosTables", instances)) &&
        instances) {
      auto next = instances->Next(win::kWbemInfinite);
      if (win::Succeeded(next.hr)) table = std::move(next.object);
    }
    if (table) {
      WmiValue major = table->Get(L"SmbiosMajorVersion");
      WmiValue minor = major.integer ? table->Get(L"SmbiosMinorVersion") : WmiValue{};
      if (major.integer && minor.integer) {
        raw.SmbiosMajorVersion = static_cast<uint8_t>(*major.integer & 0xFF);
        raw.SmbiosMinorVersion = static_cast<uint8_t>(*minor.integer & 0xFF);
        WmiValue data = table->Get(L"SMBiosData");
        if (data.kind == WmiValue::Kind::Bytes) {
          raw.SMBiosData = std::move(data.bytes);
          raw.DataSize = static_cast<uint32_t>(raw.SMBiosData.size());
          filled = true;
        }
      }
    }
  }
  os.CoUninitialize();
  return filled;
}

bool ParseSmbiosCapabilities(const RawSmbiosData& raw, SmbiosCapabilities& out) {
  const uint8_t* data = raw.SMBiosData.data();
  const size_t size = std::min<size_t>(raw.DataSize, raw.SMBiosData.size());
  size_t offset = 0;
  while (offset < size) {
    if (data[offset] == kCapabilityRecordType) break;
    if (offset + 2 > size) return false;  // no length byte
    size_t length = data[offset + 1];
    // The string set ends with the first pair of zero bytes after the formatted area.
    size_t scan = offset + length;
    while (scan + 1 < size && !(data[scan] == 0 && data[scan + 1] == 0)) ++scan;
    if (scan + 1 >= size) return false;  // no terminator inside the data
    offset = scan + 2;
  }
  if (offset >= size) return false;

  const size_t length = offset + 1 < size ? data[offset + 1] : 0;
  // The header with the revision bytes and every entry must lie inside the data.
  if (offset + std::max<size_t>(length, 6) > size) return false;

  SmbiosCapabilities caps;
  caps.RecordType = data[offset];
  caps.RecordLength = static_cast<uint8_t>(length);
  caps.Handle = static_cast<uint16_t>(data[offset + 2] | (data[offset + 3] << 8));
  caps.byMajor = data[offset + 4];
  caps.byMinor = data[offset + 5];
  caps.EntryCount = length >= 6 ? static_cast<int32_t>((length - 6) / 3) : 0;
  for (int32_t i = 0; i < caps.EntryCount; ++i) {
    const uint8_t* entry = data + offset + 6 + 3 * static_cast<size_t>(i);
    uint8_t id = entry[0];
    uint16_t parameter = static_cast<uint16_t>(entry[1] | (entry[2] << 8));
    caps.LastIdentifier = id;
    switch (id) {
      case 1:
        caps.biFFS = id;
        caps.wiFFSParameter = parameter;
        break;
      case 2:
        caps.bWiConnection = id;
        caps.wWiConnectionParameter = parameter;
        break;
      case 3:
        caps.biSRT = id;
        caps.wiSRTParameter = parameter;
        break;
      case 5:
        caps.bRAID = id;
        caps.wRAIDParameter = parameter;
        break;
      default:
        caps.OtherParameter = parameter;
        break;
    }
  }
  out = caps;
  return true;
}

}  // namespace quorvane
