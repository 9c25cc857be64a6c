// The maker's capability record (SMBIOS structure type 172): fetched through WMI and decoded.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace quorvane {

struct RawSmbiosData {
  uint8_t SmbiosMajorVersion = 0;
  uint8_t SmbiosMinorVersion = 0;
  std::vector<uint8_t> SMBiosData;
  uint32_t DataSize = 0;
};

struct SmbiosCapabilities {
  uint8_t RecordType = 0;
  uint8_t RecordLength = 0;
  uint16_t Handle = 0;
  int32_t EntryCount = 0;
  uint8_t byMajor = 0;
  uint8_t byMinor = 0;
  uint8_t LastIdentifier = 0;
  uint16_t OtherParameter = 0;
  uint8_t biFFS = 0;
  uint16_t wiFFSParameter = 0;
  uint8_t bWiConnection = 0;
  uint16_t wWiConnectionParameter = 0;
  uint8_t biSRT = 0;
  uint16_t wiSRTParameter = 0;
  uint8_t bRAID = 0;
  uint16_t wRAIDParameter = 0;
};

constexpr uint8_t kCapabilityRecordType = 172;

// Fetches the raw structure table from ROOT\WMI; true when the data was filled.
bool ReadSmbiosTable(Platform& platform, RawSmbiosData& raw);

// Finds and decodes the first type-172 structure; false when the table holds none
// (or it would have to be read past the end of the data). `out` is untouched then.
bool ParseSmbiosCapabilities(const RawSmbiosData& raw, SmbiosCapabilities& out);

}  // namespace quorvane
