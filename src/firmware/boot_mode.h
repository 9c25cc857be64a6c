// The boot-mode line: which error the firmware-variable probe left, and what that tells.
#pragma once

namespace quorvane {

// Keys: the probe's error; values: the boot mode it stands for.
inline constexpr wchar_t kInvalidFunctionLine[] = L"ERROR_INVALID_FUNCTION";
inline constexpr wchar_t kNoAccessLine[] = L"ERROR_NOACCESS";
inline constexpr wchar_t kDefaultLine[] = L"DEFAULT";
inline constexpr wchar_t kLegacyValue[] = L"Boot system from Legacy BIOS";
inline constexpr wchar_t kUefiValue[] = L"Boot system from UEFI BIOS";

}  // namespace quorvane
