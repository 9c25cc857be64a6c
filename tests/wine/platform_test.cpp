// Checks what of the Win32 platform the contract (tests/contract) does not: its error mode, WMI and
// the capture's reading of partition tables, against a real implementation of the system (Wine).
// Usage: platform_test
//        platform_test --dos-devices   (each drive letter and its target, one a line)
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/capture_system.h"
#include "platform/win32/drive_layout.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_api.h"

namespace {

using quorvane::WmiValue;
namespace win = quorvane::win;

int g_passed = 0;
int g_failed = 0;

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += (c < 0x80) ? static_cast<char>(c) : '?';
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

// `before`: the process's error mode before the platform was made, with one bit of its own set
// as a parent would leave it. Windows passes the mode on to every child; Wine 8.0 keeps it per
// process (each starts with 0), so the inheritance by diskpart and the command interpreter cannot
// be shown here.
void TestCriticalErrorBoxes(UINT before) {
  Check((before & SEM_FAILCRITICALERRORS) == 0, "a process starts with critical-error boxes on");
  quorvane::win32::Win32CaptureSystem system;
  const UINT after = ::GetErrorMode();
  Check((after & SEM_FAILCRITICALERRORS) != 0, "the platform turns critical-error boxes off");
  Check((after & before) == before, "the inherited error mode stays",
        std::to_string(before) + " -> " + std::to_string(after));
}

// A table entry as the layout call hands it out.
PARTITION_INFORMATION_EX Entry(PARTITION_STYLE style, DWORD number, LONGLONG offset,
                               LONGLONG length) {
  PARTITION_INFORMATION_EX e;
  ZeroMemory(&e, sizeof e);
  e.PartitionStyle = style;
  e.PartitionNumber = number;
  e.StartingOffset.QuadPart = offset;
  e.PartitionLength.QuadPart = length;
  return e;
}

// A layout buffer with room for `room` entries, holding these.
std::vector<unsigned char> LayoutBuffer(PARTITION_STYLE style, DWORD count,
                                        const std::vector<PARTITION_INFORMATION_EX>& entries,
                                        size_t room) {
  std::vector<unsigned char> bytes(offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionEntry) +
                                   room * sizeof(PARTITION_INFORMATION_EX));
  auto* info = reinterpret_cast<DRIVE_LAYOUT_INFORMATION_EX*>(bytes.data());
  info->PartitionStyle = style;
  info->PartitionCount = count;
  if (style == PARTITION_STYLE_MBR) info->Mbr.Signature = 0x1234ABCD;
  for (size_t i = 0; i < entries.size() && i < room; ++i) info->PartitionEntry[i] = entries[i];
  return bytes;
}

std::string Describe(const quorvane::capture::DriveLayout& layout) {
  std::string text = layout.style == quorvane::capture::DriveLayout::Style::Gpt   ? "gpt"
                     : layout.style == quorvane::capture::DriveLayout::Style::Mbr ? "mbr"
                                                                                  : "raw";
  text += " " + std::to_string(layout.mbrSignature);
  for (const auto& p : layout.partitions) {
    text += "; " + std::to_string(p.number) + " " + std::to_string(p.offset) + "+" +
            std::to_string(p.length) + " " + std::to_string(p.mbrType) + (p.active ? "*" : "") +
            " " + Narrow(p.gptType);
  }
  return text;
}

// The capture's reading of partition tables, on tables built by hand: Wine cannot read one.
void TestDriveLayouts() {
  using quorvane::win32::ConvertLayout;
  // The type GUIDs as they lie in a GPT table: the first three fields little-endian.
  const unsigned char esp[16] = {0x28, 0x73, 0x2A, 0xC1, 0x1F, 0xF8, 0xD2, 0x11,
                                 0xBA, 0x4B, 0x00, 0xA0, 0xC9, 0x3E, 0xC9, 0x3B};
  const unsigned char msr[16] = {0x16, 0xE3, 0xC9, 0xE3, 0x5C, 0x0B, 0xB8, 0x4D,
                                 0x81, 0x7D, 0xF9, 0x2D, 0xF0, 0x02, 0x15, 0xAE};
  const unsigned char data[16] = {0xA2, 0xA0, 0xD0, 0xEB, 0xE5, 0xB9, 0x33, 0x44,
                                  0x87, 0xC0, 0x68, 0xB6, 0xB7, 0x26, 0x99, 0xC7};
  std::vector<PARTITION_INFORMATION_EX> gpt;
  const unsigned char* types[] = {esp, msr, data};
  for (DWORD i = 0; i < 3; ++i) {
    gpt.push_back(Entry(PARTITION_STYLE_GPT, i + 1, (i + 1) << 20, 100 << 20));
    std::memcpy(&gpt.back().Gpt.PartitionType, types[i], 16);
  }
  auto bytes = LayoutBuffer(PARTITION_STYLE_GPT, 3, gpt, 3);
  auto layout = ConvertLayout(*reinterpret_cast<DRIVE_LAYOUT_INFORMATION_EX*>(bytes.data()),
                              static_cast<DWORD>(bytes.size()));
  const std::string want =
      "gpt 0; 1 1048576+104857600 0 c12a7328-f81f-11d2-ba4b-00a0c93ec93b; "
      "2 2097152+104857600 0 e3c9e316-0b5c-4db8-817d-f92df00215ae; "
      "3 3145728+104857600 0 ebd0a0a2-b9e5-4433-87c0-68b6b72699c7";
  Check(Describe(layout) == want, "a GPT table", Describe(layout));

  // An MBR table keeps its four slots, the unused ones with number 0 and no length.
  std::vector<PARTITION_INFORMATION_EX> mbr = {Entry(PARTITION_STYLE_MBR, 1, 1 << 20, 100 << 20),
                                               Entry(PARTITION_STYLE_MBR, 2, 101 << 20, 50 << 20),
                                               Entry(PARTITION_STYLE_MBR, 0, 0, 0),
                                               Entry(PARTITION_STYLE_MBR, 0, 0, 0)};
  mbr[0].Mbr.PartitionType = 0x07;
  mbr[0].Mbr.BootIndicator = TRUE;
  mbr[1].Mbr.PartitionType = 0x27;
  bytes = LayoutBuffer(PARTITION_STYLE_MBR, 4, mbr, 4);
  layout = ConvertLayout(*reinterpret_cast<DRIVE_LAYOUT_INFORMATION_EX*>(bytes.data()),
                         static_cast<DWORD>(bytes.size()));
  Check(Describe(layout) ==
            "mbr 305441741; 1 1048576+104857600 7* ; 2 105906176+52428800 39 ; 0 0+0 0 ; 0 0+0 0 ",
        "an MBR table", Describe(layout));

  // A count beyond the buffer: only the entries inside it are read.
  bytes = LayoutBuffer(PARTITION_STYLE_MBR, 128, mbr, 2);
  layout = ConvertLayout(*reinterpret_cast<DRIVE_LAYOUT_INFORMATION_EX*>(bytes.data()),
                         static_cast<DWORD>(bytes.size()));
  Check(layout.partitions.size() == 2, "a count beyond the buffer reads what is inside it",
        Describe(layout));
}

// The layout buffer grows on each "too small" answer and stops at any other.
void TestLayoutBufferGrowth() {
  for (DWORD tooSmall : {ERROR_INSUFFICIENT_BUFFER, ERROR_MORE_DATA, ERROR_BAD_LENGTH}) {
    std::vector<DWORD> sizes;
    auto buffer = quorvane::win32::ReadLayoutBuffer([&](void* out, DWORD size, DWORD* returned) {
      sizes.push_back(size);
      if (sizes.size() < 3) {
        ::SetLastError(tooSmall);
        return false;
      }
      auto* info = static_cast<DRIVE_LAYOUT_INFORMATION_EX*>(out);
      info->PartitionStyle = PARTITION_STYLE_RAW;
      info->PartitionCount = 0;
      *returned = offsetof(DRIVE_LAYOUT_INFORMATION_EX, PartitionEntry);
      return true;
    });
    Check(buffer.value && sizes.size() == 3 && sizes[1] == 2 * sizes[0] && sizes[2] == 4 * sizes[0],
          "the layout buffer grows on a too-small answer", std::to_string(tooSmall));
  }
  auto denied = quorvane::win32::ReadLayoutBuffer([](void*, DWORD, DWORD*) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    return false;
  });
  Check(!denied.value && denied.error == ERROR_ACCESS_DENIED, "another error stops the read");
  auto endless = quorvane::win32::ReadLayoutBuffer([](void*, DWORD, DWORD*) {
    ::SetLastError(ERROR_MORE_DATA);
    return false;
  });
  Check(!endless.value && endless.error == ERROR_MORE_DATA, "the buffer stops growing at 1 MiB");
  auto shortAnswer = quorvane::win32::ReadLayoutBuffer([](void*, DWORD, DWORD* returned) {
    *returned = 4;
    return true;
  });
  Check(!shortAnswer.value && shortAnswer.error == ERROR_INVALID_DATA,
        "an answer shorter than the table's head is refused");
}

std::unique_ptr<quorvane::WmiServices> Connect(quorvane::win32::Win32Platform& platform,
                                               uint32_t context, const std::wstring& ns) {
  std::unique_ptr<quorvane::WmiLocator> locator;
  Check(win::Succeeded(platform.CreateWmiLocator(context, locator)) && locator,
        "the WMI locator is created");
  if (!locator) return nullptr;
  std::unique_ptr<quorvane::WmiServices> services;
  Check(win::Succeeded(locator->ConnectServer(ns, services)) && services, "connect", Narrow(ns));
  if (services) Check(win::Succeeded(services->SetProxyBlanket()), "proxy blanket");
  return services;
}

void TestWmi(quorvane::win32::Win32Platform& platform) {
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
  // As a parent may leave it: one error-mode bit of its own, which the platform must keep.
  ::SetErrorMode(SEM_NOGPFAULTERRORBOX);
  const UINT errorModeBefore = ::GetErrorMode();
  if (argc == 2 && std::wstring(argv[1]) == L"--dos-devices") return ListDosDevices();
  if (argc != 1) {
    std::printf("usage: platform_test [--dos-devices]\n");
    return 2;
  }
  quorvane::win32::Win32Platform platform;
  TestCriticalErrorBoxes(errorModeBefore);
  TestDriveLayouts();
  TestLayoutBufferGrowth();
  TestWmi(platform);
  std::printf("%d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
