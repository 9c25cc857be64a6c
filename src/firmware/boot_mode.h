// The firmware-variable probe that tells UEFI from legacy BIOS: the variable it asks for, and the
// line of an answer that tells neither.
#pragma once

#include <cstdint>

namespace quorvane {

// An empty name under the all-zero vendor GUID: no firmware holds it, and the error the read
// leaves tells the boot mode.
inline constexpr wchar_t kProbeVariableName[] = L"";
inline constexpr wchar_t kProbeVendorGuid[] = L"{00000000-0000-0000-0000-000000000000}";
inline constexpr uint32_t kProbeBufferSize = 260;

// The boot-mode line of a probe answer that tells neither firmware: the run then takes legacy.
inline constexpr wchar_t kBootModeUnknownLine[] = L"DEFAULT";

}  // namespace quorvane
