// The platform's own behaviour: the INI writer, DOS devices, files, child processes, volume labels
// and the firmware probe.
#include <algorithm>

#include "base/text.h"
#include "run/layout_job.h"
#include "tests/contract/contract.h"

namespace quorvane::contract {
namespace {

constexpr uint32_t kRaw = win::kDddRawTargetPath;
constexpr uint32_t kRemoveExact =
    win::kDddRawTargetPath | win::kDddRemoveDefinition | win::kDddExactMatchOnRemove;
constexpr wchar_t kFreeLetter[] = L"Q:";

std::wstring Work(const std::wstring& name) { return L"X:\\contract\\" + name; }

// Writes key and value lines into [Quorvane] of `file`; each write must succeed.
void WriteIni(Bench& b, const std::wstring& file,
              const std::vector<std::pair<std::wstring, std::wstring>>& lines,
              const std::wstring& section = L"Quorvane") {
  bool all = true;
  for (const auto& [key, value] : lines)
    all = b.platform.WritePrivateProfileString(section, key, value, file) && all;
  b.see.Expect("every write succeeded", Show(all), "true");
}

// The bytes with the blanks before each line's first '=' taken out.
std::string FoldBlankBeforeEquals(const std::string& bytes) {
  std::string out;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = std::min(bytes.find('\n', start), bytes.size());
    std::string line = bytes.substr(start, end - start);
    const size_t equals = line.find('=');
    size_t blank = equals;
    while (blank != std::string::npos && blank > 0 && line[blank - 1] == ' ') --blank;
    if (equals != std::string::npos && blank > 0) line.erase(blank, equals - blank);
    out += line + (end < bytes.size() ? "\n" : "");
    start = end + 1;
  }
  return out;
}

// Log-like keys: an early line rewritten later in another letter case (it keeps its place and
// spelling and takes the new value), a value with a path, and separator keys that hold '=', one
// of them twice in the same millisecond, one as the very last write.
const std::vector<std::pair<std::wstring, std::wstring>> kLogLines = {
    {L"2026/12/ 7 14: 5: 3: 42 Get Disk info", L""},
    {L"2026/12/ 7 14: 5: 3: 42 [0]Error Getting System Disk Info. Return Code:10", L""},
    {L"2026/12/ 7 14: 5: 3:142 PBR Partition", L"\\Device\\Harddisk0\\Partition1"},
    {L"2026/12/ 7 14: 5: 3:142 ============================================", L""},
    {L"2026/12/ 7 14: 5: 3:142 m_bSSDHDDMode", L"false"},
    {L"2026/12/ 7 14: 5: 3:142 ============================================", L""},
    {L"2026/12/ 7 14: 5: 3: 42 GET DISK INFO", L"again"},
    {L"2026/12/ 7 14: 5: 3:143 ============================================", L""},
};
const std::string kSeparator(45, '=');
const std::string kLogBytes =
    "[Quorvane]\r\n2026/12/ 7 14: 5: 3: 42 Get Disk info=again\r\n"
    "2026/12/ 7 14: 5: 3: 42 [0]Error Getting System Disk Info. Return Code:10=\r\n"
    "2026/12/ 7 14: 5: 3:142 PBR Partition=\\Device\\Harddisk0\\Partition1\r\n"
    "2026/12/ 7 14: 5: 3:142 " +
    kSeparator +
    "\r\n2026/12/ 7 14: 5: 3:142 m_bSSDHDDMode=false\r\n"
    "2026/12/ 7 14: 5: 3:142 " +
    kSeparator + "\r\n2026/12/ 7 14: 5: 3:143 " + kSeparator + "\r\n";

void IniKeysAndValues(Bench& b) {
  const std::wstring file = Work(L"keys.ini");
  WriteIni(b, file, {{L"Get Disk info", L""}, {L"second", L"a"}});
  WriteIni(b, L"x:\\CONTRACT\\KEYS.INI", {{L"GET DISK INFO", L"again"}}, L"QUORVANE");
  WriteIni(b, file, {{L"caf\u00e9 \u00ff", L"x"}});
  b.see.Expect("bytes", Show(b.platform.ReadFileBytes(file)),
               Show(std::string("[Quorvane]\r\nGet Disk info=again\r\nsecond=a\r\n"
                                "caf\xE9 \xFF=x\r\n")));
}

void IniKeysHoldingEquals(Bench& b) {
  const std::wstring file = Work(L"separators.ini");
  WriteIni(b, file, kLogLines);
  b.see.Expect("bytes, blanks before '=' folded",
               Show(FoldBlankBeforeEquals(b.platform.ReadFileBytes(file).value_or(""))),
               Show(FoldBlankBeforeEquals(kLogBytes)));
  b.platform.DeleteFile(file);  // its bytes differ as the fold says
}

void IniUntouchedLinesKeepTheirBytes(Bench& b) {
  const std::wstring file = Work(L"untouched.ini");
  WriteIni(b, file, {{L"blank after", L"a "}});
  WriteIni(b, file, kLogLines);
  const std::string head = "[Quorvane]\r\n";
  b.see.Expect("bytes", Show(b.platform.ReadFileBytes(file)),
               Show(head + "blank after=a \r\n" + kLogBytes.substr(head.size())));
}

void IniSections(Bench& b) {
  const std::wstring file = Work(L"sections.ini");
  WriteIni(b, file, {{L"k", L"1"}}, L"Other");
  WriteIni(b, file, {{L"a", L"1"}}, L"Quorvane");
  WriteIni(b, file, {{L"K", L"2"}, {L"j", L"3"}}, L"other");
  b.see.See("bytes", Show(b.platform.ReadFileBytes(file)));
}

void IniLostLines(Bench& b) {
  for (const std::wstring& file : {Work(L"missing\\a.log"), std::wstring(L"Q:\\a.log")})
    b.see.Expect("written to " + Narrow8(file),
                 Show(b.platform.WritePrivateProfileString(L"Quorvane", L"k", L"v", file)),
                 "false");
}

void DosDefineQueryRemove(Bench& b) {
  Platform& p = b.platform;
  const std::wstring target = L"\\Device\\Harddisk7\\Partition1";
  const uint32_t bit = 1u << (kFreeLetter[0] - L'A');
  b.see.Expect("free at first", Show((p.GetLogicalDrives() & bit) == 0), "true");
  b.see.Expect("target of a free letter", Show(p.QueryDosDevice(kFreeLetter, 2048)), "<none>");
  b.see.Expect("defined", Show(p.DefineDosDevice(kRaw, kFreeLetter, target)), "true");
  b.see.Expect("in the drive mask", Show((p.GetLogicalDrives() & bit) != 0), "true");
  b.see.Expect("target", Show(p.QueryDosDevice(kFreeLetter, 2048)), Show(target));
  b.see.Expect("target in a small buffer", Show(p.QueryDosDevice(kFreeLetter, 8)), "<none>");
  b.see.Expect(
      "drive roots", Show(p.GetLogicalDriveStrings(1024)),
      Show(std::vector<std::wstring>{L"C:\\", L"M:\\", L"O:\\", L"P:\\", L"Q:\\", L"X:\\"}));
  b.see.Expect("drive roots in a small buffer", Show(p.GetLogicalDriveStrings(4)), "[]");
  b.see.Expect("label of a target that names no volume", Show(p.GetVolumeLabel(L"Q:\\")), "<none>");
  b.see.Expect("removed", Show(p.DefineDosDevice(kRemoveExact, kFreeLetter, target)), "true");
  b.see.Expect("target after", Show(p.QueryDosDevice(kFreeLetter, 2048)), "<none>");
  b.see.Expect("free again", Show((p.GetLogicalDrives() & bit) == 0), "true");
  b.see.Expect("removed again", Show(p.DefineDosDevice(kRemoveExact, kFreeLetter, target)),
               "false");
}

void DosDefinitionsStack(Bench& b) {
  Platform& p = b.platform;
  const std::wstring first = L"\\Device\\Harddisk7\\Partition1";
  const std::wstring second = L"\\Device\\Harddisk7\\Partition2";
  b.see.Expect("first", Show(p.DefineDosDevice(kRaw, kFreeLetter, first)), "true");
  b.see.Expect("second on top", Show(p.DefineDosDevice(kRaw, kFreeLetter, second)), "true");
  b.see.Expect("in force", Show(p.QueryDosDevice(kFreeLetter, 2048)), Show(second));
  b.see.Expect("older one removed", Show(p.DefineDosDevice(kRemoveExact, kFreeLetter, first)),
               "true");
  b.see.Expect("in force after", Show(p.QueryDosDevice(kFreeLetter, 2048)), Show(second));
  b.see.Expect("another target removed",
               Show(p.DefineDosDevice(kRemoveExact, kFreeLetter, first + L"0")), "false");
  b.see.Expect("last one removed", Show(p.DefineDosDevice(kRemoveExact, kFreeLetter, second)),
               "true");
}

void FileScriptText(Bench& b) {
  Platform& p = b.platform;
  const std::wstring path = Work(L"script.txt");
  if (auto file = p.CreateScriptFile(path)) {
    file->Write(L"select disk 1\n");
    file->Write(L"caf\u00e9 \u00ff\nexit\n");
    file->Close();
    file->Write(L"after close\n");
  }
  b.see.Expect("bytes", Show(p.ReadFileBytes(path)),
               Show(std::string("select disk 1\r\ncaf\xE9 \xFF\r\nexit\r\n")));
  if (auto file = p.CreateScriptFile(path)) {
    file->Write(L"exit\n");
    file->Close();
  }
  b.see.Expect("bytes rewritten", Show(p.ReadFileBytes(path)), Show(std::string("exit\r\n")));
}

void FileMissingFolders(Bench& b) {
  Platform& p = b.platform;
  b.see.Expect("created in a missing folder",
               Show(p.CreateScriptFile(Work(L"missing\\a.cmd")) != nullptr), "false");
  b.see.Expect("created on a letter without a volume",
               Show(p.CreateScriptFile(L"Q:\\a.cmd") != nullptr), "false");
  b.see.Expect("read of a missing file", Show(p.ReadFileBytes(Work(L"missing.txt"))), "<none>");
  b.see.Expect("read of a folder", Show(p.ReadFileBytes(L"X:\\contract")), "<none>");
}

void FileFind(Bench& b) {
  Platform& p = b.platform;
  for (const wchar_t* pattern :
       {L"X:\\contract", L"x:\\CONTRACT\\*.txt", L"X:\\contract\\sour?e.txt",
        L"X:\\contract\\*.none", L"X:\\contract\\*", L"X:\\contract\\", L"M:\\",
        L"M:\\RecoveryImage\\*.wim", L"Q:\\*"})
    b.see.See("found " + Narrow8(pattern), Show(p.FindFirstFile(pattern)));
}

void FileDelete(Bench& b) {
  Platform& p = b.platform;
  const std::wstring path = Work(L"doomed.txt");
  if (auto file = p.CreateScriptFile(path)) file->Close();
  b.see.Expect("deleted", Show(p.DeleteFile(path)), "true");
  b.see.Expect("still found", Show(p.FindFirstFile(path)), "false");
  b.see.Expect("deleted again", Show(p.DeleteFile(path)), "false");
  b.see.Expect("folder deleted", Show(p.DeleteFile(L"X:\\contract")), "false");
}

void FileReadOnlyDrive(Bench& b) {
  Platform& p = b.platform;
  b.see.Expect("read", Show(p.ReadFileBytes(L"O:\\kept.txt")), Show(std::string("kept\r\n")));
  b.see.Expect("created", Show(p.CreateScriptFile(L"O:\\new.cmd") != nullptr), "false");
  // Wine reports a delete on a read-only mount as done, and the file stays.
  b.see.Known("deleted", Show(p.DeleteFile(L"O:\\kept.txt")), "false", "true");
  b.see.Expect("INI written",
               Show(p.WritePrivateProfileString(L"Quorvane", L"k", L"v", L"O:\\kept.txt")),
               "false");
  b.see.Expect("read after", Show(p.ReadFileBytes(L"O:\\kept.txt")), Show(std::string("kept\r\n")));
}

// A command file of these lines in the work folder.
std::wstring CommandFile(Bench& b, const std::wstring& name, const std::wstring& lines) {
  if (auto file = b.platform.CreateScriptFile(Work(name))) {
    file->Write(lines);
    file->Close();
  }
  return Work(name);
}

void ProcessExitCodes(Bench& b) {
  Platform& p = b.platform;
  p.RunProcess(CommandFile(b, L"seven.cmd", L"exit 7\n"));
  // 259 is also the "still active" code: only a wait on the process tells them apart.
  p.RunProcess(CommandFile(b, L"still.cmd", L"exit 259\n"));
  p.RunProcess(CommandFile(b, L"b.cmd", L"exit /b 4\n"));
  // The code of the last command: MKDIR of a folder that is there fails.
  p.RunProcess(
      CommandFile(b, L"last.cmd", L"MKDIR X:\\contract\\made\nMKDIR X:\\contract\\made\n"));
  p.RunProcess(CommandFile(b, L"unknown.cmd", L"no-such-program /x\n"));
  // Windows ends a plain exit with the errorlevel; Wine ends it with 0.
  b.see.Known("ran X:\\contract\\plain.cmd", "exit 1", "exit 0");
  p.RunProcess(CommandFile(b, L"plain.cmd", L"MKDIR X:\\contract\nexit\n"));
}

void ProcessCannotStart(Bench& b) {
  Platform& p = b.platform;
  p.RunProcess(Work(L"missing.cmd"));
  p.RunProcess(L"no-such-program");
  // The run shows the error in a box, logs it, and goes on with 0.
  CLayoutJob job(p, CLayoutJob::NoRun{});
  *job.m_pLogDir = L"X:\\contract";
  b.see.Expect("code", Show(int64_t{job.RunCommand(Work(L"no-such-program.exe /s x"))}), "0");
  b.see.Expect("logged",
               Show(p.ReadFileBytes(Work(L"Quorvane.log"))
                        .value_or("")
                        .find("call err=2, szCommand = X:\\contract\\no-such-program.exe") !=
                    std::string::npos),
               "true");
}

void ProcessWorkingFolder(Bench& b) {
  Platform& p = b.platform;
  // A command file named without its folder is found in the working folder, and a folder it
  // makes by a relative name lands there.
  CommandFile(b, L"here.cmd", L"MKDIR made-here\nMKDIR made-here\\below\n");
  p.RunProcess(L"here.cmd");
  b.see.Expect("made", Show(p.FindFirstFile(Work(L"made-here\\below"))), "true");
}

void VolumeLabels(Bench& b) {
  for (const wchar_t* root : {L"P:\\", L"p:\\", L"X:\\", L"M:\\", L"Q:\\"})
    b.see.See("label of " + Narrow8(root), Show(b.platform.GetVolumeLabel(root)));
}

void FirmwareProbe(Bench& b) {
  const auto probe = b.platform.GetFirmwareEnvironmentVariable(
      L"", L"{00000000-0000-0000-0000-000000000000}", 520);
  b.see.Expect("returned", Show(int64_t{probe.returned}), "0");
  b.see.Expect("error", Show(int64_t{probe.lastError}), Show(int64_t{win::kErrorInvalidFunction}));
}

}  // namespace

std::vector<Case> PlatformCases() {
  constexpr const char* kWineRewrites =
      "Wine rewrites every line on each write: a key holding '=' and a value lose their blanks";
  constexpr const char* kWineOneDefinition =
      "Wine keeps one definition per letter and removes it whatever target is named";
  return {
      {"ini-keys-and-values", nullptr, IniKeysAndValues},
      {"ini-keys-holding-equals", nullptr, IniKeysHoldingEquals},
      {"ini-untouched-lines-keep-their-bytes", kWineRewrites, IniUntouchedLinesKeepTheirBytes},
      {"ini-sections", nullptr, IniSections},
      {"ini-lost-lines", nullptr, IniLostLines},
      {"dos-define-query-remove", nullptr, DosDefineQueryRemove},
      {"dos-definitions-stack", kWineOneDefinition, DosDefinitionsStack},
      {"file-script-text", nullptr, FileScriptText},
      {"file-missing-folders", nullptr, FileMissingFolders},
      {"file-find", nullptr, FileFind},
      {"file-delete", nullptr, FileDelete},
      {"file-read-only-drive", nullptr, FileReadOnlyDrive, true},
      {"process-exit-codes", nullptr, ProcessExitCodes},
      {"process-cannot-start", nullptr, ProcessCannotStart},
      {"process-working-folder", nullptr, ProcessWorkingFolder},
      {"volume-labels", nullptr, VolumeLabels},
      {"firmware-probe", nullptr, FirmwareProbe},
  };
}

}  // namespace quorvane::contract
