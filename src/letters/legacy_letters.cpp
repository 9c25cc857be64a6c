// Letters for legacy layouts: the system-reserved partition, then push-button or hidden recovery.
#include "base/text.h"
#include "letters/letter_probe.h"
#include "run/layout_job.h"

namespace quorvane {

namespace {
constexpr uint32_t kDriveRootsBufferChars = 1024;

constexpr wchar_t kSysAssignLettered[] = L"[1]AssignLetterToSYS";
constexpr wchar_t kSysLettered[] = L"[1]No need to mount SYS";
constexpr wchar_t kSysAssignProbed[] = L"[2]AssignLetterToSYS";
constexpr wchar_t kSysProbed[] = L"[2]Need to mount SYS";
constexpr wchar_t kPbrAssignLettered[] = L"[1]AssignLetterToPBR";
constexpr wchar_t kPbrLettered[] = L"[1]No need to mount PBR";
constexpr wchar_t kQhpAssignLettered[] = L"[1]AssignLetterToQHP";
constexpr wchar_t kQhpLettered[] = L"[1]No need to mount QHP";
constexpr wchar_t kQhpAssignProbed[] = L"[2]AssignLetterToQHP";
constexpr wchar_t kQhpProbed[] = L"[2]Need to mount QHP";
constexpr wchar_t kPbrAssignProbed[] = L"[2]AssignLetterToPBR";
constexpr wchar_t kPbrProbed[] = L"[2]Need to mount PBR";

bool IsSystemReserved(const std::wstring& label) {
  return EqualsIgnoreCaseAscii(label, kSystemReservedLabel);
}
bool IsPushButton(const std::wstring& upperLabel) {
  return StartsWith(upperLabel, kPushButtonLabel);
}
bool IsPqService(const std::wstring& label) {
  return EqualsIgnoreCaseAscii(label, kPqServiceLabel);
}

}  // namespace

void CLayoutJob::AssignLetterToSYS() {
  // Case 1: a drive already carries the label; nothing to map.
  for (const std::wstring& root : m_platform.GetLogicalDriveStrings(kDriveRootsBufferChars)) {
    const std::wstring label = ReadVolumeLabel(root);
    if (IsSystemReserved(label)) {
      WriteLog(kSysAssignLettered);
      WriteLog(kSysLettered, label);
      return;
    }
  }
  // Case 2: probe for it and keep the letter on the first hit.
  ProbeDiskPartitions(*this, DiskLineNumber::DiskIndex, [this](const std::wstring& label) {
    if (!IsSystemReserved(label)) return ProbeVerdict::Release;
    WriteLog(kSysAssignProbed);
    WriteLog(kSysProbed, label);
    return ProbeVerdict::KeepAndStop;
  });
}

void CLayoutJob::AssignLetterToPBRorQHP() {
  // Case 1: the first lettered drive with either label ends the step.
  for (const std::wstring& root : m_platform.GetLogicalDriveStrings(kDriveRootsBufferChars)) {
    const std::wstring upper = ToUpperAscii(ReadVolumeLabel(root));
    if (IsPushButton(upper)) {
      WriteLog(kPbrAssignLettered);
      WriteLog(kPbrLettered, upper);
      return;
    }
    if (IsPqService(upper)) {
      WriteLog(kQhpAssignLettered);
      WriteLog(kQhpLettered, upper);
      return;
    }
  }
  // Case 2: the hidden recovery partition first, then push-button recovery.
  const bool qhpFound =
      ProbeDiskPartitions(*this, DiskLineNumber::DiskIndex, [this](const std::wstring& label) {
        if (!IsPqService(label)) return ProbeVerdict::Release;
        WriteLog(kQhpAssignProbed);
        WriteLog(kQhpProbed, label);
        return ProbeVerdict::KeepAndStop;
      });
  if (qhpFound) return;
  // This scan's disk lines show the number of disks rather than each disk's number.
  ProbeDiskPartitions(*this, DiskLineNumber::DiskCount, [this](const std::wstring& label) {
    const std::wstring upper = ToUpperAscii(label);
    if (!IsPushButton(upper)) return ProbeVerdict::Release;
    WriteLog(kPbrAssignProbed);
    WriteLog(kPbrProbed, upper);
    return ProbeVerdict::KeepAndStop;
  });
}

}  // namespace quorvane
