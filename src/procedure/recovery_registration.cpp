// Recovery image registration: letters W: and C:, the image index, and the recovery agent's script.
#include "procedure/recovery_registration.h"

#include "base/text.h"
#include "letters/volume_mapping.h"
#include "procedure/install_index.h"
#include "run/layout_job.h"

namespace quorvane {

void CLayoutJob::RegisterRecoveryImage() {
  WriteLog(kRegisterLine);

  // Without a recovery-tools partition the tools are taken to sit just before the system one.
  RemoveLetterMapping(m_platform, kToolsLetter);
  const std::wstring toolsTarget =
      m_RecoveryInfo.bFound ? PartitionDevicePath(m_RecoveryInfo.nDisk, m_RecoveryInfo.nPartition)
                            : PartitionDevicePath(m_SYSInfo.nDisk, m_SYSInfo.nPartition - 1);
  MountPartition(m_platform, kToolsLetter, toolsTarget);

  // Without an OS partition Windows is taken to follow the system partition; a disk without a
  // signature (GPT) has the reserved partition in between.
  RemoveLetterMapping(m_platform, kOsLetter);
  std::wstring osTarget;
  if (m_OSInfo.bFound) {
    osTarget = PartitionDevicePath(m_OSInfo.nDisk, m_OSInfo.nPartition);
  } else {
    const DiskRecord* sysDisk = FindDisk(m_Disks, m_SYSInfo.nDisk);
    const int32_t offset = (sysDisk != nullptr && sysDisk->NoSignature) ? 2 : 1;
    osTarget = PartitionDevicePath(m_SYSInfo.nDisk, m_SYSInfo.nPartition + offset);
  }
  MountPartition(m_platform, kOsLetter, osTarget);

  m_platform.Sleep(kLetterSettleMs);

  if (!m_PBRInfo.bFound || !FileExists(kRecoveryImageFolder)) return;

  // A split image wins over a single one. An empty answer means the listing could not even be
  // asked for, so the index found so far stands.
  std::wstring index = kDefaultImageIndex;
  for (const wchar_t* image : {kSingleImage, kSplitImage}) {
    if (!FileExists(image)) continue;
    std::wstring parsed = ParseInstallIndex(image);
    if (!parsed.empty()) index = std::move(parsed);
  }

  if (!WriteScriptFile(
          kRegistrationScript,
          Format(kRegistrationLine, {kRecoveryImageFolder, kRegistrationTarget, index})))
    return;
  WriteLog(kRegistrationScript);
  LogExitCode(RunCommand(kRegistrationScript));
}

}  // namespace quorvane
