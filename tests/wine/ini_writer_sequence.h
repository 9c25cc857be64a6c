// A sequence of INI writes, and the file it must leave, shared by every INI writer's test.
#pragma once

namespace quorvane::testing {

struct IniWrite {
  const wchar_t* key;
  const wchar_t* value;
};

inline constexpr wchar_t kIniWriterSection[] = L"Quorvane";

// Log-like keys: an early line rewritten later under another letter case (it keeps its
// place and spelling and takes the new value), a value with a path, and separator keys
// that hold '=', one of them twice in the same millisecond, one as the very last write.
// The writer rereads the file on each write, so a key holding '=' is read back as the
// text before its first '=', blanks trimmed, and rewritten that way; only the very last
// write still shows the blank before the separator.
inline constexpr IniWrite kIniWriterSequence[] = {
    {L"2026/12/ 7 14: 5: 3: 42 Get Disk info", L""},
    {L"2026/12/ 7 14: 5: 3: 42 [0]Error Getting System Disk Info. Return Code:10", L""},
    {L"2026/12/ 7 14: 5: 3:142 PBR Partition", L"\\Device\\Harddisk0\\Partition1"},
    {L"2026/12/ 7 14: 5: 3:142 ============================================", L""},
    {L"2026/12/ 7 14: 5: 3:142 m_bSSDHDDMode", L"false"},
    {L"2026/12/ 7 14: 5: 3:142 ============================================", L""},
    {L"2026/12/ 7 14: 5: 3: 42 GET DISK INFO", L"again"},
    {L"2026/12/ 7 14: 5: 3:143 ============================================", L""},
};

// Where the expected bytes live, relative to the source tree.
inline constexpr char kIniWriterExpectedFile[] = "tests/wine/ini_writer_expected.ini";

}  // namespace quorvane::testing
