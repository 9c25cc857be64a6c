// Checks the Win32 platform against a real implementation of the system (run under Wine).
// Usage: platform_test <work folder> <free drive letter>, e.g. platform_test X:\platform Q:
//        platform_test --dos-devices   (each drive letter and its target, one a line)
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"
#include "run/layout_job.h"

namespace {

using quorvane::CLayoutJob;
using quorvane::WmiValue;
namespace win = quorvane::win;

int g_passed = 0;
int g_failed = 0;

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += (c < 0x80) ? static_cast<char>(c) : '?';
  return out;
}

std::string Printable(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

void Check(bool ok, const char* what, const std::string& detail = "") {
  if (ok) {
    ++g_passed;
    return;
  }
  ++g_failed;
  std::printf("FAIL %s%s%s\n", what, detail.empty() ? "" : ": ", detail.c_str());
}

void CheckBytes(const std::string& actual, const std::string& expected, const char* what) {
  Check(actual == expected, what,
        "got \"" + Printable(actual) + "\", want \"" + Printable(expected) + "\"");
}

// The real platform, with message boxes recorded before the real box is shown.
class RecordingPlatform : public quorvane::win32::Win32Platform {
 public:
  int MessageBox(const std::wstring& text, const std::wstring& caption, uint32_t flags) override {
    boxes.push_back(text);
    return Win32Platform::MessageBox(text, caption, flags);
  }
  std::vector<std::wstring> boxes;
};

// A sequence of INI writes; tests/wine/ini_writer_expected.ini holds the bytes Wine leaves.
struct IniWrite {
  const wchar_t* key;
  const wchar_t* value;
};

constexpr wchar_t kIniWriterSection[] = L"Quorvane";

// Log-like keys: an early line rewritten later under another letter case (it keeps its
// place and spelling and takes the new value), a value with a path, and separator keys
// that hold '=', one of them twice in the same millisecond, one as the very last write.
// The writer rereads the file on each write, so a key holding '=' is read back as the
// text before its first '=', blanks trimmed, and rewritten that way; only the very last
// write still shows the blank before the separator.
constexpr IniWrite kIniWriterSequence[] = {
    {L"2026/12/ 7 14: 5: 3: 42 Get Disk info", L""},
    {L"2026/12/ 7 14: 5: 3: 42 [0]Error Getting System Disk Info. Return Code:10", L""},
    {L"2026/12/ 7 14: 5: 3:142 PBR Partition", L"\\Device\\Harddisk0\\Partition1"},
    {L"2026/12/ 7 14: 5: 3:142 ============================================", L""},
    {L"2026/12/ 7 14: 5: 3:142 m_bSSDHDDMode", L"false"},
    {L"2026/12/ 7 14: 5: 3:142 ============================================", L""},
    {L"2026/12/ 7 14: 5: 3: 42 GET DISK INFO", L"again"},
    {L"2026/12/ 7 14: 5: 3:143 ============================================", L""},
};

void TestIniWriter(RecordingPlatform& platform, const std::wstring& dir) {
  const std::wstring file = dir + L"\\ini_writer.ini";
  platform.DeleteFile(file);
  bool all = true;
  for (const auto& write : kIniWriterSequence) {
    all =
        platform.WritePrivateProfileString(kIniWriterSection, write.key, write.value, file) && all;
  }
  Check(all, "every INI write reports success");
  auto expected = platform.ReadFileBytes(dir + L"\\ini_writer_expected.ini");
  Check(expected.has_value(), "the expected INI bytes are readable");
  CheckBytes(platform.ReadFileBytes(file).value_or("<none>"), expected.value_or(""),
             "INI writer bytes");
  Check(!platform.WritePrivateProfileString(L"Quorvane", L"k", L"v", L"Y:\\no\\such\\dir\\a.log"),
        "an INI write into a missing folder fails");
}

void TestScriptFiles(RecordingPlatform& platform, const std::wstring& dir) {
  const std::wstring path = dir + L"\\script.txt";
  {
    auto file = platform.CreateScriptFile(path);
    Check(file != nullptr, "a script file can be created");
    if (file) {
      file->Write(L"select disk 1\n");
      file->Write(L"caf\u00e9 \u00ff\nexit\n");
      file->Close();
      file->Write(L"after close\n");  // ignored
    }
  }
  CheckBytes(platform.ReadFileBytes(path).value_or("<none>"),
             std::string("select disk 1\r\ncaf\xE9 \xFF\r\nexit\r\n"), "script file bytes");
  // A second writer truncates.
  CLayoutJob job(platform, CLayoutJob::NoRun{});
  Check(job.WriteScriptFile(path, L"exit\n"), "WriteScriptFile reports the file written");
  CheckBytes(platform.ReadFileBytes(path).value_or("<none>"), "exit\r\n", "rewritten script");
  Check(!job.WriteScriptFile(dir + L"\\missing\\a.cmd", L"exit\n"),
        "a script in a missing folder is not written");
  Check(!platform.ReadFileBytes(dir + L"\\missing.txt").has_value(),
        "reading a missing file gives nothing");
}

void TestFiles(RecordingPlatform& platform, const std::wstring& dir) {
  CLayoutJob job(platform, CLayoutJob::NoRun{});
  Check(job.FileExists(dir), "a folder exists");
  Check(job.FileExists(dir + L"\\*.txt"), "a wildcard finds a file");
  Check(!job.FileExists(dir + L"\\nothing*.bin"), "a wildcard without a match finds nothing");
  const std::wstring path = dir + L"\\doomed.txt";
  job.WriteScriptFile(path, L"x\n");
  Check(platform.DeleteFile(path) && !job.FileExists(path), "a deleted file is gone");
  Check(!platform.DeleteFile(path), "deleting a missing file fails");
}

void TestRunCommand(RecordingPlatform& platform, const std::wstring& dir) {
  CLayoutJob job(platform, CLayoutJob::NoRun{});
  // The failed start below is logged; that line belongs in this test's folder, not in the
  // RAM-drive log of the end-to-end run that follows.
  *job.m_pLogDir = dir;
  const std::wstring seven = dir + L"\\seven.cmd";
  job.WriteScriptFile(seven, L"@echo off\nmkdir " + dir + L"\\made\nexit 7\n");
  Check(job.RunCommand(seven) == 7, "a .cmd ending with exit 7 yields 7");
  Check(job.FileExists(dir + L"\\made"), "the .cmd ran to its end");

  // 259 is also the "still active" code: only a wait on the process handle tells them apart.
  const std::wstring still = dir + L"\\still.cmd";
  job.WriteScriptFile(still, L"@echo off\nexit 259\n");
  Check(job.RunCommand(still) == win::kStillActive, "a child's own exit code 259 is returned");
  Check(platform.boxes.empty(), "children that started show no message box");

  const std::wstring missing = dir + L"\\no-such-program.exe /s x";
  Check(job.RunCommand(missing) == 0, "a missing program yields 0");
  Check(platform.boxes.size() == 1 && platform.boxes[0] == L"call err=2, szCommand = " + missing,
        "a missing program shows the error-2 box",
        platform.boxes.empty() ? "no box" : Narrow(platform.boxes.back()));
  Check(platform.ReadFileBytes(dir + L"\\Quorvane.log")
                .value_or("")
                .find("call err=2, szCommand = ") != std::string::npos,
        "a missing program is logged as well");
  auto outcome = platform.RunProcess(missing);
  Check(!outcome.started && outcome.lastError == win::kErrorFileNotFound,
        "the platform reports error 2 for a missing program");
}

// `before`: the process's error mode before the platform was made. Windows passes the mode on
// to every child; Wine 8.0 keeps it per process (each starts with 0), so the inheritance by
// diskpart and the command interpreter cannot be shown here.
void TestCriticalErrorBoxes(UINT before) {
  Check((before & SEM_FAILCRITICALERRORS) == 0, "a process starts with critical-error boxes on");
  Check((::GetErrorMode() & SEM_FAILCRITICALERRORS) != 0,
        "the platform turns critical-error boxes off");
}

// Wine keeps one definition per letter (a second one on top is refused) and removes it
// whatever target is named, so only the single-definition path is checked here.
void TestDosDevices(RecordingPlatform& platform, const std::wstring& letter) {
  const uint32_t bit = 1u << (letter[0] - L'A');
  const std::wstring target = L"\\Device\\Harddisk7\\Partition1";
  Check((platform.GetLogicalDrives() & bit) == 0, "the test letter starts free");
  Check(!platform.QueryDosDevice(letter, 2048).has_value(), "a free letter has no target");
  Check(platform.DefineDosDevice(win::kDddRawTargetPath, letter, target), "define a raw target");
  Check((platform.GetLogicalDrives() & bit) != 0, "a defined letter is in the drive mask");
  Check(platform.QueryDosDevice(letter, 2048) == target, "query gives the target",
        Narrow(platform.QueryDosDevice(letter, 2048).value_or(L"<none>")));
  Check(!platform.QueryDosDevice(letter, 8).has_value(), "a too-small buffer gives nothing");
  auto roots = platform.GetLogicalDriveStrings(1024);
  bool listed = false;
  bool ascending = true;
  for (size_t i = 0; i < roots.size(); ++i) {
    listed = listed || roots[i] == letter + L"\\";
    if (i > 0 && roots[i - 1] >= roots[i]) ascending = false;
  }
  Check(listed && ascending, "the drive roots list the letter, in ascending order");
  Check(platform.GetLogicalDriveStrings(4).empty(), "a too-small root buffer gives no roots");
  Check(!platform.GetVolumeLabel(letter + L"\\").has_value(),
        "a raw target that names no volume has no label");
  const uint32_t remove =
      win::kDddRawTargetPath | win::kDddRemoveDefinition | win::kDddExactMatchOnRemove;
  Check(platform.DefineDosDevice(remove, letter, target), "exact-match removal");
  Check(!platform.QueryDosDevice(letter, 2048).has_value(), "the letter maps to nothing");
  Check((platform.GetLogicalDrives() & bit) == 0, "the letter is free again");
  Check(!platform.DefineDosDevice(remove, letter, target), "removing it again fails");
}

void TestVolumesAndFirmware(RecordingPlatform& platform) {
  auto x = platform.GetVolumeLabel(L"X:\\");
  Check(x.has_value(), "the RAM drive's volume is readable");
  auto probe =
      platform.GetFirmwareEnvironmentVariable(L"", L"{00000000-0000-0000-0000-000000000000}", 520);
  Check(probe.returned == 0 && probe.lastError == win::kErrorInvalidFunction,
        "the firmware probe fails with error 1 (legacy)");
}

std::unique_ptr<quorvane::WmiServices> Connect(RecordingPlatform& platform, uint32_t context,
                                               const std::wstring& ns) {
  std::unique_ptr<quorvane::WmiLocator> locator;
  Check(win::Succeeded(platform.CreateWmiLocator(context, locator)) && locator,
        "the WMI locator is created");
  if (!locator) return nullptr;
  std::unique_ptr<quorvane::WmiServices> services;
  Check(win::Succeeded(locator->ConnectServer(ns, services)) && services, "connect", Narrow(ns));
  if (services) Check(win::Succeeded(services->SetProxyBlanket()), "proxy blanket");
  return services;
}

void TestWmi(RecordingPlatform& platform) {
  Check(win::Succeeded(platform.CoInitializeMultithreaded()), "COM initialises");
  // Wine accepts every call; Windows says RPC_E_TOO_LATE from the second one on.
  Check(platform.CoInitializeSecurity() == win::kSOk, "security is set");
  const uint32_t all =
      win::kClsctxInprocServer | win::kClsctxLocalServer | win::kClsctxRemoteServer;
  if (auto cimv2 = Connect(platform, all, L"\\\\.\\root\\CIMV2")) {
    std::unique_ptr<quorvane::WmiEnumerator> disks;
    Check(cimv2->ExecQuery(L"select * from Win32_DiskDrive", disks) == win::kSOk && disks,
          "the disk query runs");
    if (disks) {
      auto first = disks->Next(10000);
      Check(first.hr == win::kSOk && first.object, "a disk comes back");
      if (first.object) {
        WmiValue media = first.object->Get(L"MediaType");
        Check(media.kind == WmiValue::Kind::Text && media.text == L"Fixed hard disk",
              "MediaType reads as text", Narrow(media.text.value_or(L"<none>")));
        WmiValue index = first.object->Get(L"Index");
        Check(index.kind == WmiValue::Kind::Integer && index.integer == 0 && index.text == L"0",
              "Index reads as an integer and as text");
        WmiValue size = first.object->Get(L"Size");
        Check(size.text.has_value() && size.integer.has_value() &&
                  std::to_wstring(*size.integer) == *size.text,
              "Size reads as numeric text", Narrow(size.text.value_or(L"<none>")));
        Check(first.object->Get(L"NoSuchProperty").kind == WmiValue::Kind::Failed,
              "an unknown property fails");
      }
    }
    std::unique_ptr<quorvane::WmiEnumerator> none;
    Check(!win::Succeeded(cimv2->ExecQuery(L"select * from", none)) && !none,
          "a malformed query fails");
    std::unique_ptr<quorvane::WmiEnumerator> fixed;
    if (win::Succeeded(cimv2->ExecQuery(
            L"select * from Win32_DiskDrive where (MediaType LIKE \"Fixed%hard%disk%media\")",
            fixed)) &&
        fixed) {
      auto result = fixed->Next(10000);
      Check(result.hr == win::kSFalse && !result.object, "no disk matches the inventory's query");
    } else {
      Check(false, "the inventory's query runs");
    }
  }
  if (auto wmi = Connect(platform, win::kClsctxInprocServer, L"ROOT\\WMI")) {
    std::unique_ptr<quorvane::WmiEnumerator> tables;
    Check(win::Succeeded(wmi->CreateInstanceEnum(L"MSSMBios_RawSMBiosTables", tables)) && tables,
          "the raw SMBIOS class enumerates");
    if (tables) {
      auto table = tables->Next(win::kWbemInfinite);
      if (table.object) {
        WmiValue data = table.object->Get(L"SMBiosData");
        Check(data.kind == WmiValue::Kind::Null && !data.text && data.bytes.empty(),
              "SMBiosData is null");
      }
    }
  }
  platform.CoUninitialize();
}

}  // namespace

// Every defined drive letter with the target in force, for a before-and-after comparison.
int ListDosDevices() {
  quorvane::win32::Win32Platform platform;
  const uint32_t mask = platform.GetLogicalDrives();
  for (int n = 0; n < 26; ++n) {
    if ((mask & (1u << n)) == 0) continue;
    const std::wstring letter = std::wstring(1, static_cast<wchar_t>(L'A' + n)) + L":";
    std::printf("%s %s\n", Narrow(letter).c_str(),
                Narrow(platform.QueryDosDevice(letter, 2048).value_or(L"<none>")).c_str());
  }
  return 0;
}

int wmain(int argc, wchar_t** argv) {
  const UINT errorModeBefore = ::GetErrorMode();
  if (argc == 2 && std::wstring(argv[1]) == L"--dos-devices") return ListDosDevices();
  if (argc != 3) {
    std::printf("usage: platform_test <work folder> <free drive letter>\n");
    return 2;
  }
  const std::wstring dir = argv[1];
  const std::wstring letter = argv[2];
  RecordingPlatform platform;
  TestCriticalErrorBoxes(errorModeBefore);
  TestIniWriter(platform, dir);
  TestScriptFiles(platform, dir);
  TestFiles(platform, dir);
  TestRunCommand(platform, dir);
  TestDosDevices(platform, letter);
  TestVolumesAndFirmware(platform);
  TestWmi(platform);
  std::printf("%d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
