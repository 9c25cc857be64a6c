// The rapid-start script's name, shared by the carving step and the log copy that saves it.
#pragma once

namespace quorvane {

// Written on the RAM drive "X:" by the carving step; copied to the tools folder afterwards.
inline constexpr wchar_t kRapidStartScriptName[] = L"\\NAPP2P_SSDHDD.ini";

}  // namespace quorvane
