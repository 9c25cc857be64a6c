// The volume labels that mark the roles of partitions, and the operating-system label list.
#pragma once

#include <array>
#include <string_view>

namespace quorvane {

inline constexpr wchar_t kPushButtonLabel[] = L"PUSH BUTTON";  // push-button recovery (prefix)
inline constexpr wchar_t kEspLabel[] = L"ESP";                 // EFI system partition
inline constexpr wchar_t kRecoveryLabel[] = L"RECOVERY";       // recovery tools (prefix)
inline constexpr wchar_t kPqServiceLabel[] = L"PQSERVICE";     // hidden recovery (whole label)
inline constexpr wchar_t kPqService2Label[] = L"PQSERVICE2";   // the hard disk's own recovery
inline constexpr wchar_t kSystemReservedLabel[] = L"SYSTEM RESERVED";  // legacy system

// Whole labels, compared without regard to ASCII case, that mark the operating-system partition.
inline constexpr std::array<const wchar_t*, 6> kOsLabels = {
    L"OS", L"Talvo", L"Quenmark", L"Pellory", L"Rostane Vale", L"Miravel"};

bool IsOsLabel(std::wstring_view label);

}  // namespace quorvane
