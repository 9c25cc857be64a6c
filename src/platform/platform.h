// The one interface through which the engine reaches the operating system.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorvane {

// Windows result and flag values the engine passes or compares. They are fixed by
// the Windows ABI, so the engine can name them without including windows.h.
namespace win {
constexpr int32_t kSOk = 0;
constexpr int32_t kSFalse = 1;  // also WBEM_S_FALSE
constexpr int32_t kWbemSTimedOut = 0x40004;
constexpr int32_t kRpcETooLate = static_cast<int32_t>(0x80010119u);
constexpr uint32_t kStillActive = 259;
constexpr uint32_t kErrorInvalidFunction = 1;
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorNoAccess = 998;
constexpr uint32_t kErrorFilenameExcedRange = 206;
constexpr uint32_t kDddRawTargetPath = 0x1;
constexpr uint32_t kDddRemoveDefinition = 0x2;
constexpr uint32_t kDddExactMatchOnRemove = 0x4;
constexpr uint32_t kClsctxInprocServer = 0x1;
constexpr uint32_t kClsctxLocalServer = 0x4;
constexpr uint32_t kClsctxRemoteServer = 0x10;
constexpr uint32_t kWbemInfinite = 0xFFFFFFFFu;
constexpr uint32_t kMbOk = 0x0;
constexpr uint32_t kMbIconWarning = 0x30;  // exclamation
inline bool Succeeded(int32_t hr) { return hr >= 0; }
}  // namespace win

struct LocalTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// One WMI property as read from an object. `text` holds what converting the value
// to a string (VariantChangeType to VT_BSTR, flags 0) gives; it is empty when that
// conversion fails, as it does for a null value.
struct WmiValue {
  enum class Kind { Failed, Null, Text, Integer, Bytes, Other };
  Kind kind = Kind::Failed;
  std::optional<std::wstring> text;
  std::optional<int64_t> integer;  // for integer kinds (and text that is numeric)
  std::vector<uint8_t> bytes;      // only for a VT_ARRAY | VT_UI1 value
};

class WmiObject {
 public:
  virtual ~WmiObject() = default;
  virtual WmiValue Get(const std::wstring& name) = 0;
};

class WmiEnumerator {
 public:
  virtual ~WmiEnumerator() = default;
  // IEnumWbemClassObject::Next with count 1. `hr` is the call's result; `object` is
  // empty when nothing came back.
  struct Result {
    int32_t hr = win::kSFalse;
    std::unique_ptr<WmiObject> object;
  };
  virtual Result Next(uint32_t timeoutMs) = 0;
};

class WmiServices {
 public:
  virtual ~WmiServices() = default;
  // CoSetProxyBlanket with WINNT authentication, no authorisation, call-level
  // authentication, impersonation, no identity, EOAC_NONE.
  virtual int32_t SetProxyBlanket() = 0;
  virtual int32_t ExecQuery(const std::wstring& wql, std::unique_ptr<WmiEnumerator>& out) = 0;
  virtual int32_t CreateInstanceEnum(const std::wstring& className,
                                     std::unique_ptr<WmiEnumerator>& out) = 0;
};

class WmiLocator {
 public:
  virtual ~WmiLocator() = default;
  virtual int32_t ConnectServer(const std::wstring& ns, std::unique_ptr<WmiServices>& out) = 0;
};

// A script file opened for writing in text mode: "\n" becomes CR LF and each
// character is written as one byte.
class ScriptFile {
 public:
  virtual ~ScriptFile() = default;
  virtual void Write(const std::wstring& text) = 0;
  virtual void Close() = 0;  // flush and close; further writes are ignored
};

struct FirmwareProbe {
  uint32_t returned = 0;   // the call's result (bytes read; 0 on failure)
  uint32_t lastError = 0;  // GetLastError after the call
};

struct ProcessOutcome {
  bool started = false;
  uint32_t lastError = 0;  // when not started
  uint32_t exitCode = 0;   // when started: the child's own exit code after it ended
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Clock.
  virtual LocalTime GetLocalTime() = 0;
  virtual void Sleep(uint32_t ms) = 0;

  // Private-profile (INI) writer; result as WritePrivateProfileStringW.
  virtual bool WritePrivateProfileString(const std::wstring& section, const std::wstring& key,
                                         const std::wstring& value, const std::wstring& file) = 0;

  // Files. CreateScriptFile truncates or creates; empty when it cannot.
  virtual std::unique_ptr<ScriptFile> CreateScriptFile(const std::wstring& path) = 0;
  // The raw bytes of a text file; empty when it cannot be opened.
  virtual std::optional<std::string> ReadFileBytes(const std::wstring& path) = 0;
  virtual bool FindFirstFile(const std::wstring& pattern) = 0;  // a match exists
  virtual bool DeleteFile(const std::wstring& path) = 0;

  // Start a command line as a hidden child and wait until it has ended.
  virtual ProcessOutcome RunProcess(const std::wstring& commandLine) = 0;

  // Modal message box; returns the button pressed (IDOK = 1).
  virtual int MessageBox(const std::wstring& text, const std::wstring& caption, uint32_t flags) = 0;

  // DOS device table and drives.
  virtual bool DefineDosDevice(uint32_t flags, const std::wstring& deviceName,
                               const std::wstring& targetPath) = 0;
  // The first (active) target of a device name, read into a buffer of
  // `bufferChars` characters; empty when the name is not defined.
  virtual std::optional<std::wstring> QueryDosDevice(const std::wstring& deviceName,
                                                     uint32_t bufferChars) = 0;
  virtual uint32_t GetLogicalDrives() = 0;
  // Drive roots ("C:\") in the system's order, read into `bufferChars` characters.
  virtual std::vector<std::wstring> GetLogicalDriveStrings(uint32_t bufferChars) = 0;
  // The volume label behind a root path ("E:\"); empty when the query fails.
  virtual std::optional<std::wstring> GetVolumeLabel(const std::wstring& rootPath) = 0;

  // Firmware-variable probe (GetFirmwareEnvironmentVariableW).
  virtual FirmwareProbe GetFirmwareEnvironmentVariable(const std::wstring& name,
                                                       const std::wstring& guid,
                                                       uint32_t bufferBytes) = 0;

  // COM and WMI.
  virtual int32_t CoInitializeMultithreaded() = 0;
  virtual void CoUninitialize() = 0;
  // CoInitializeSecurity with default authentication and impersonation.
  virtual int32_t CoInitializeSecurity() = 0;
  virtual int32_t CreateWmiLocator(uint32_t classContext, std::unique_ptr<WmiLocator>& out) = 0;
};

}  // namespace quorvane
