// The boot-mode line of a probe answer that tells neither firmware: the run then takes legacy.
#pragma once

namespace quorvane {

inline constexpr wchar_t kBootModeUnknownLine[] = L"DEFAULT";

}  // namespace quorvane
