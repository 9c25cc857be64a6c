// The closing log copy: its line and the command file that carries the logs over.
#pragma once

#include <string>

namespace quorvane {

inline constexpr wchar_t kCopyLogLine[] = L"Copy log to PBR partition";
// In the root of the recovery partition's letter; the command run (its exit code is logged).
inline constexpr wchar_t kCopyScript[] = L"%s\\RebuildEnd_CopyFile.cmd";
std::wstring CopyScriptPath(const std::wstring& pbrLetter);
// The tools folder on that letter, where the RAM-drive log and the scripts go.
inline constexpr wchar_t kToolsFolderName[] = L"RYTOOLS";

}  // namespace quorvane
