// Fuzzes the walk over the raw SMBIOS table and the decoding of the capability record.
#include <sanitizer/asan_interface.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "inventory/smbios.h"
#include "tests/fuzz/fuzz_check.h"

using quorvane::ParseSmbiosCapabilities;
using quorvane::RawSmbiosData;
using quorvane::SmbiosCapabilities;

namespace {

bool SameRecord(const SmbiosCapabilities& a, const SmbiosCapabilities& b) {
  return a.RecordType == b.RecordType && a.RecordLength == b.RecordLength && a.Handle == b.Handle &&
         a.EntryCount == b.EntryCount && a.byMajor == b.byMajor && a.byMinor == b.byMinor &&
         a.LastIdentifier == b.LastIdentifier && a.OtherParameter == b.OtherParameter &&
         a.biFFS == b.biFFS && a.wiFFSParameter == b.wiFFSParameter &&
         a.bWiConnection == b.bWiConnection &&
         a.wWiConnectionParameter == b.wWiConnectionParameter && a.biSRT == b.biSRT &&
         a.wiSRTParameter == b.wiSRTParameter && a.bRAID == b.bRAID &&
         a.wRAIDParameter == b.wRAIDParameter;
}

SmbiosCapabilities Sentinel() {
  SmbiosCapabilities s;
  s.RecordType = 0x5A;
  s.EntryCount = -7;
  s.wRAIDParameter = 0xBEEF;
  return s;
}

// Properties every decoded record keeps, whatever the table held.
void CheckDecoded(const SmbiosCapabilities& caps) {
  FUZZ_CHECK(caps.RecordType == quorvane::kCapabilityRecordType);
  FUZZ_CHECK(caps.EntryCount >= 0);
  // Every entry read lies inside the structure's own formatted area, and every whole entry
  // there is read: one entry more would not fit.
  FUZZ_CHECK(caps.EntryCount == 0 || caps.EntryCount * 3 + 6 <= caps.RecordLength);
  FUZZ_CHECK((caps.EntryCount + 1) * 3 + 6 > caps.RecordLength);
  // A presence byte holds its own identifier or 0, and a parameter needs its entry.
  FUZZ_CHECK(caps.biFFS == 0 || caps.biFFS == 1);
  FUZZ_CHECK(caps.bWiConnection == 0 || caps.bWiConnection == 2);
  FUZZ_CHECK(caps.biSRT == 0 || caps.biSRT == 3);
  FUZZ_CHECK(caps.bRAID == 0 || caps.bRAID == 5);
  FUZZ_CHECK(caps.biFFS != 0 || caps.wiFFSParameter == 0);
  FUZZ_CHECK(caps.bWiConnection != 0 || caps.wWiConnectionParameter == 0);
  FUZZ_CHECK(caps.biSRT != 0 || caps.wiSRTParameter == 0);
  FUZZ_CHECK(caps.bRAID != 0 || caps.wRAIDParameter == 0);
  if (caps.EntryCount == 0) {
    FUZZ_CHECK(caps.LastIdentifier == 0 && caps.biFFS == 0 && caps.bWiConnection == 0 &&
               caps.biSRT == 0 && caps.bRAID == 0 && caps.OtherParameter == 0);
  }
}

// Parses with DataSize `used`; the bytes of the buffer beyond it are poisoned, so that
// AddressSanitizer reports a read past DataSize as it reports one past the buffer.
bool ParseWithSize(RawSmbiosData& raw, uint32_t used, SmbiosCapabilities& out) {
  raw.DataSize = used;
  const size_t tail = raw.SMBiosData.size() - used;
  if (tail > 0) ASAN_POISON_MEMORY_REGION(raw.SMBiosData.data() + used, tail);
  const bool found = ParseSmbiosCapabilities(raw, out);
  if (tail > 0) ASAN_UNPOISON_MEMORY_REGION(raw.SMBiosData.data() + used, tail);
  return found;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RawSmbiosData raw;
  raw.SMBiosData.assign(data, data + size);  // exactly `size` bytes on the heap
  const uint32_t whole = static_cast<uint32_t>(size);

  SmbiosCapabilities full = Sentinel();
  const bool foundInFull = ParseWithSize(raw, whole, full);
  if (foundInFull) {
    CheckDecoded(full);
  } else {
    FUZZ_CHECK(SameRecord(full, Sentinel()));  // untouched when nothing was found
  }

  // A shorter DataSize, chosen by the first byte: the walk stays inside it, and a record
  // found there is the same record the whole table gives.
  if (size > 0) {
    const uint32_t used = static_cast<uint32_t>(size * data[0] / 256);
    SmbiosCapabilities part = Sentinel();
    if (ParseWithSize(raw, used, part)) {
      CheckDecoded(part);
      FUZZ_CHECK(foundInFull && SameRecord(part, full));
    } else {
      FUZZ_CHECK(SameRecord(part, Sentinel()));
    }
  }
  return 0;
}
