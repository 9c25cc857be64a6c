// Fuzzes the reading of WMI object paths and of the decimal texts WMI gives for numbers and sizes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "base/text.h"
#include "inventory/wmi_paths.h"
#include "tests/fuzz/fuzz_check.h"

using namespace quorvane;

namespace {

// The C library's reading of the same digits, saturated to 32 bits as the engine does.
int64_t ReferenceInt64(const std::string& narrow) {
  return std::strtoll(narrow.c_str(), nullptr, 10);
}
int32_t ReferenceInt32(const std::string& narrow) {
  const long long v = std::strtoll(narrow.c_str(), nullptr, 10);
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

int32_t Int32At(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return static_cast<int32_t>(v);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string narrow(reinterpret_cast<const char*>(data), size);
  std::wstring text;
  for (size_t i = 0; i < size; ++i) text += static_cast<wchar_t>(data[i]);

  // Numbers.
  FUZZ_CHECK(ParseInt32(text) == ReferenceInt32(narrow));
  FUZZ_CHECK(ParseInt64(text) == ReferenceInt64(narrow));

  // Sizes: a byte count never turns into a size of the other sign (a huge disk read as a
  // negative one would pass for the smallest disk), and the truncation is toward zero.
  const int64_t bytes = ParseInt64(text);
  const int32_t mb = BytesToMB(bytes);
  FUZZ_CHECK(bytes >= 0 ? mb >= 0 : mb <= 0);
  if (bytes / 1048576 == static_cast<int32_t>(bytes / 1048576)) {
    FUZZ_CHECK(mb == bytes / 1048576);
  } else {
    FUZZ_CHECK(mb == (bytes > 0 ? std::numeric_limits<int32_t>::max()
                                : std::numeric_limits<int32_t>::min()));
  }
  // The two halves of the input as the first and last address of a partition.
  const std::wstring first = text.substr(0, text.size() / 2);
  const std::wstring last = text.substr(text.size() / 2);
  const int64_t start = ParseInt64(first);
  const int64_t end = ParseInt64(last);
  const int64_t span = AddressSpan(first, last);
  if (start >= 0 && end >= start) {
    FUZZ_CHECK(span == end - start);
    FUZZ_CHECK(BytesToMB(span) >= 0 && BytesToGB(span) >= 0);
  }

  // Object paths, as they come.
  const PartitionReference any = ParsePartitionReference(text);
  const std::wstring letter = ParseDriveLetterReference(text);
  if (text.find(L'=') == std::wstring::npos) {
    FUZZ_CHECK(any.disk == 0 && any.partition == 0);
    FUZZ_CHECK(letter.empty());
  }
  FUZZ_CHECK(letter.empty() || (letter.size() == 2 && letter[1] == L':'));

  // Object paths built from any class prefix and numbers read back to those numbers.
  if (size >= 9) {
    std::wstring prefix = text.substr(9);
    std::erase(prefix, L'=');
    const int32_t disk = Int32At(data);
    const int32_t partition = Int32At(data + 4);
    const PartitionReference ref = ParsePartitionReference(
        Format(L"%s.DeviceID=\"Disk #%d, Partition #%d\"", {prefix, disk, partition}));
    FUZZ_CHECK(ref.disk == disk && ref.partition == partition);

    const wchar_t drive = text[8] == L':' ? L'D' : text[8];
    const std::wstring dependent = prefix + L".DeviceID=\"" + drive + L":\"";
    const std::wstring expected{drive, L':'};
    FUZZ_CHECK(ParseDriveLetterReference(dependent) == expected);
  }
  return 0;
}
