// Whether the capability record asks for a rapid-start partition, by the record's revision.
#pragma once

#include <cstdint>

#include "inventory/smbios.h"

namespace quorvane {

class CLayoutJob;

inline constexpr wchar_t kSmbiosSuccessLine[] = L"Get SMBIOS success";
inline constexpr wchar_t kRapidStartWantedLine[] = L"set m_biRST = true";
inline constexpr wchar_t kRapidStartNotWantedLine[] = L"set m_biRST = false";
// The iFFS parameter that turns rapid start off under the newer revisions.
inline constexpr uint16_t kRapidStartOffParameter = 0x00FF;

// Which revision rule decides m_biRST.
enum class RapidStartRule { None, A, B };
RapidStartRule RuleForRevision(uint8_t byMajor, uint8_t byMinor);

// Logs the report lines of a decoded record and decides the job's m_biRST.
void ReportSmbiosCapabilities(CLayoutJob& job, const SmbiosCapabilities& caps);

}  // namespace quorvane
