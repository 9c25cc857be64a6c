// The run log: time-stamped keys of the section "Quorvane" in an INI file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace quorvane {

inline constexpr wchar_t kLogSection[] = L"Quorvane";
inline constexpr wchar_t kProgramName[] = L"Quorvane";
// The log's file name, in the root of its folder.
inline constexpr wchar_t kLogFileName[] = L"Quorvane.log";
// Logged after every child process: its exit code in lower-case hexadecimal.
inline constexpr wchar_t kExitCodeLine[] = L"ExitCode:0x%x";

// "%2d/%2d/%2d %2d:%2d:%2d:%3d " of the local time: this many characters for a four-digit year,
// the closing blank included.
inline constexpr size_t kTimeStampChars = 24;
std::wstring FormatTimeStamp(const LocalTime& time);
// The message of a log key: the key without its time stamp (a key too short to hold one is kept).
std::wstring_view LogMessage(std::wstring_view key);
// "X:\Quorvane.log" for the folder "", "<folder>\Quorvane.log" otherwise.
std::wstring LogFilePath(const std::wstring& logDir);
std::wstring BoolText(bool flag);
std::wstring ExitCodeText(uint32_t code);

// Writes one line; false when the INI writer could not write it. Control characters (a line
// break in a volume label, say) become '?', so that no text can start a line or a section of
// its own.
bool WriteLog(Platform& platform, const std::wstring& logDir, const std::wstring& key,
              const std::wstring& value);

}  // namespace quorvane
