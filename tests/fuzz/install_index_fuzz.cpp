// Fuzzes the reading of the image index out of dism's listing, through the engine step itself.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "run/layout_job.h"
#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/fuzz_platform.h"

using namespace quorvane;

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || (c >= L'\t' && c <= L'\r'); }

std::wstring WithoutBlanks(std::wstring_view text) {
  std::wstring out;
  for (wchar_t c : text) {
    if (!IsBlank(c)) out += c;
  }
  return out;
}

bool IsDecimal(const std::wstring& text) {
  if (text.empty() || text[0] == L'0') return false;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  FuzzPlatform machine(bytes);
  CLayoutJob job(machine, CLayoutJob::NoRun{});

  // The lines: trimmed, never empty, and together all the text that is not blank.
  std::vector<std::wstring> lines;
  FUZZ_CHECK(job.ReadTextLines(L"X:\\ParseinstallInfo.log", lines));
  std::wstring joined;
  for (const auto& line : lines) {
    FUZZ_CHECK(!line.empty() && !IsBlank(line.front()) && !IsBlank(line.back()));
    FUZZ_CHECK(line.find(L'\n') == std::wstring::npos);
    joined += line;
  }
  FUZZ_CHECK(WithoutBlanks(joined) == WithoutBlanks(WidenTextFile(bytes)));

  machine.log.clear();
  const std::wstring index = job.ParseInstallIndex(L"M:\\RecoveryImage\\install.wim");

  // The index goes into the registration script: a positive decimal number and nothing
  // else, whatever the listing held after the digits.
  FUZZ_CHECK(IsDecimal(index));
  FUZZ_CHECK(ParseInt32(index) > 0);

  // Each improvement is larger than the one before; the last one is the result.
  int32_t previous = 0;
  std::wstring last;
  for (const auto& [key, value] : machine.log) {
    if (!key.ends_with(L"Prase_IndexInfo:")) continue;
    FUZZ_CHECK(ParseInt32(value) > previous);
    previous = ParseInt32(value);
    last = value;
  }
  if (last.empty()) {
    FUZZ_CHECK(index == L"2");
  } else {
    FUZZ_CHECK(index == last);
    // Only a line with the marker can have given it.
    FUZZ_CHECK(ToLowerAscii(WidenTextFile(bytes)).find(L"index :") != std::wstring::npos);
  }
  return 0;
}
