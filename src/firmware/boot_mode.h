// The firmware-variable probe that tells UEFI from legacy BIOS: the variable it asks for, and the
// boot-mode line its answer gives.
#pragma once

#include <cstdint>

namespace quorvane {

// An empty name under the all-zero vendor GUID: no firmware holds it, and the error the read
// leaves tells the boot mode.
inline constexpr wchar_t kProbeVariableName[] = L"";
inline constexpr wchar_t kProbeVendorGuid[] = L"{00000000-0000-0000-0000-000000000000}";
inline constexpr uint32_t kProbeBufferSize = 260;

// The boot-mode line. Keys: the probe's error ("DEFAULT" for an answer that tells neither
// firmware: the run then takes legacy); values: the boot mode it stands for.
inline constexpr wchar_t kInvalidFunctionLine[] = L"ERROR_INVALID_FUNCTION";
inline constexpr wchar_t kNoAccessLine[] = L"ERROR_NOACCESS";
inline constexpr wchar_t kDefaultLine[] = L"DEFAULT";
inline constexpr wchar_t kLegacyValue[] = L"Boot system from Legacy BIOS";
inline constexpr wchar_t kUefiValue[] = L"Boot system from UEFI BIOS";

}  // namespace quorvane
