// Firmware boot mode: the error left by reading an empty-named firmware variable tells UEFI apart.
#include "firmware/boot_mode.h"

#include "run/layout_job.h"

namespace quorvane {

bool CLayoutJob::IsUefiBoot() {
  const FirmwareProbe probe = m_platform.GetFirmwareEnvironmentVariable(
      kProbeVariableName, kProbeVendorGuid, kProbeBufferSize);
  if (probe.returned == 0) {
    // Legacy firmware has no variable services at all; UEFI refuses the bogus variable.
    if (probe.lastError == win::kErrorInvalidFunction) {
      WriteLog(kInvalidFunctionLine, kLegacyValue);
      return false;
    }
    if (probe.lastError == win::kErrorNoAccess) {
      WriteLog(kNoAccessLine, kUefiValue);
      return true;
    }
  }
  // Anything else (a missing privilege, an unexpected success) is taken as legacy.
  WriteLog(kDefaultLine, kLegacyValue);
  return false;
}

}  // namespace quorvane
