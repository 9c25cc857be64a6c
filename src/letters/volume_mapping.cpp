// The letter-mapping primitives: mapping, removal, label reading and the free-letter search.
#include "letters/volume_mapping.h"

#include "base/text.h"
#include "run/layout_job.h"
#include "run/run_log.h"

namespace quorvane {

namespace {
constexpr uint32_t kRemoveFlags =
    win::kDddRawTargetPath | win::kDddRemoveDefinition | win::kDddExactMatchOnRemove;
// Free letters are handed out from D: (bit 3) to Z: (bit 25); A: to C: never.
constexpr int kFirstFreeLetterBit = 3;
constexpr int kLastLetterBit = 25;
}  // namespace

bool MountPartition(Platform& platform, const std::wstring& letter, const std::wstring& target) {
  for (int attempt = 0; attempt < kMountAttempts; ++attempt) {
    if (platform.DefineDosDevice(win::kDddRawTargetPath, letter, target)) return true;
    platform.Sleep(kMountRetryPauseMs);
  }
  platform.MessageBox(kMountFailedText, kProgramName, win::kMbOk | win::kMbIconWarning);
  return false;
}

void RemoveLetterMapping(Platform& platform, const std::wstring& letter) {
  // Removing exactly the definition in force brings an older one of the letter back.
  if (auto target = platform.QueryDosDevice(letter, kTargetBufferChars)) {
    platform.DefineDosDevice(kRemoveFlags, letter, *target);
  }
}

std::wstring CLayoutJob::ReadVolumeLabel(const std::wstring& drive) {
  // "E:", "E:\" and "E" all name the root "E:\".
  std::wstring root;
  for (wchar_t c : drive) {
    if (c != L':' && c != L'\\') root += c;
  }
  root += L":\\";
  return m_platform.GetVolumeLabel(root).value_or(L"");
}

std::wstring CLayoutJob::FindFreeDriveLetter() {
  const uint32_t inUse = m_platform.GetLogicalDrives();
  for (int bit = kFirstFreeLetterBit; bit <= kLastLetterBit; ++bit) {
    if ((inUse & (1u << bit)) == 0) {
      return std::wstring{static_cast<wchar_t>(L'A' + bit), L':'};
    }
  }
  return L"";
}

}  // namespace quorvane
