// The host's files on Windows: identity through an open handle (volume serial number and file
// index), a temporary file moved over the target, and a removal walk that opens each entry as
// itself and never enters a reparse point.
#include "platform/host_files.h"

#include <io.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <vector>

#include "base/text.h"
#include "platform/win32/error_reason.h"
#include "platform/win32/handles.h"
#include "platform/win32/windows_api.h"

namespace quorvane::host {
namespace {

namespace fs = std::filesystem;
using win32::FindHandle;
using win32::Handle;

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::string Utf8(const std::wstring& text) { return ToUtf8(text); }

// The system's reason in the words a user looks for (error_reason.h).
std::string Reason(DWORD error) { return win32::ErrorReason(error); }

std::wstring FullPathOf(const fs::path& path) {
  const std::wstring given = path.wstring();
  DWORD size = ::GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
  if (size == 0) return given;
  std::wstring full(size, L'\0');
  size = ::GetFullPathNameW(given.c_str(), size, full.data(), nullptr);
  full.resize(size);
  return full;
}

bool StartsWithIgnoringCase(const std::wstring& text, const std::wstring& prefix) {
  return text.size() >= prefix.size() &&
         ::CompareStringOrdinal(text.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// A full path in the device namespace: a reserved name (GetFullPathNameW makes "C:\x\NUL.txt"
// "\\.\NUL"), \\.\PhysicalDrive0, or a \\?\ path that names no drive or share (\\?\GLOBALROOT).
bool IsDevicePath(const std::wstring& full) {
  if (StartsWithIgnoringCase(full, L"\\\\.\\")) return true;
  if (!StartsWithIgnoringCase(full, L"\\\\?\\")) return false;
  const std::wstring rest = full.substr(4);
  const bool drive = rest.size() >= 2 && rest[1] == L':' &&
                     ((rest[0] >= L'A' && rest[0] <= L'Z') || (rest[0] >= L'a' && rest[0] <= L'z'));
  return !drive && !StartsWithIgnoringCase(rest, L"UNC\\");
}

// "no such drive" where the path names a drive letter the system does not have.
std::string MissingReason(const std::wstring& full, DWORD error) {
  if (full.size() >= 3 && full[1] == L':' && full[2] == L'\\' &&
      ::GetDriveTypeW(full.substr(0, 3).c_str()) == DRIVE_NO_ROOT_DIR)
    return Reason(ERROR_INVALID_DRIVE);
  return Reason(error == ERROR_INVALID_DRIVE ? error : ERROR_PATH_NOT_FOUND);
}

HANDLE OpenFollowing(const std::wstring& path, DWORD access) {
  return ::CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The final path of an open handle as the system gives it ("\\?\C:\out"); empty when it cannot.
std::wstring RawFinalPath(HANDLE handle) {
  std::wstring final(MAX_PATH, L'\0');
  DWORD size = ::GetFinalPathNameByHandleW(handle, final.data(), static_cast<DWORD>(final.size()),
                                           FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (size >= final.size()) {
    final.resize(size);
    size = ::GetFinalPathNameByHandleW(handle, final.data(), static_cast<DWORD>(final.size()),
                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  }
  if (size == 0 || size >= final.size()) return {};
  final.resize(size);
  return final;
}

std::wstring Joined(const std::wstring& folder, const std::wstring& name) {
  return folder.empty() || folder.back() == L'\\' ? folder + name : folder + L"\\" + name;
}

std::string WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 20));
    DWORD put = 0;
    if (!::WriteFile(file, bytes.data(), chunk, &put, nullptr)) return Reason(::GetLastError());
    if (put == 0) return Reason(ERROR_WRITE_FAULT);
    bytes.remove_prefix(put);
  }
  return "";
}

std::string ReplaceFile(const std::wstring& target, std::string_view bytes) {
  static std::atomic<unsigned> counter{0};
  const size_t slash = target.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"" : target.substr(0, slash + 1);
  const std::wstring name = target.substr(slash == std::wstring::npos ? 0 : slash + 1);
  const std::wstring stem =
      folder + L"." + name.substr(0, 200) + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-";
  std::wstring temp;
  HANDLE created = INVALID_HANDLE_VALUE;
  for (int attempt = 0; created == INVALID_HANDLE_VALUE; ++attempt) {
    temp = stem + std::to_wstring(counter++) + L".tmp";
    created = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD error = ::GetLastError();
    if (created == INVALID_HANDLE_VALUE && (error != ERROR_FILE_EXISTS || attempt == 100))
      return Reason(error);
  }
  Handle file(created);
  std::string failed = WriteAll(file.get(), bytes);
  if (failed.empty() && !::FlushFileBuffers(file.get())) failed = Reason(::GetLastError());
  file.Reset();
  if (failed.empty() && !::MoveFileExW(temp.c_str(), target.c_str(),
                                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    failed = Reason(::GetLastError());
  }
  // The temporary file is a new regular file of this program's: deleting it follows nothing.
  if (!failed.empty()) ::DeleteFileW(temp.c_str());
  return failed;
}

// The entry at `path` opened as itself (a reparse point as the point), when its final path is
// `expected`: the system's own path of its folder and its name. An entry whose final path is
// another is reached through a link the system follows even when asked not to (Wine shows a
// host's symbolic link so), and deleting it would delete what it leads to: refused with the
// reason in `refused`.
HANDLE OpenAsItself(const std::wstring& path, const std::wstring& expected, bool listedAsLink,
                    DWORD access, BY_HANDLE_FILE_INFORMATION& info, std::string& refused) {
  HANDLE entry = ::CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (entry != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(entry, &info)) {
    const bool link = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    const std::wstring final = RawFinalPath(entry);
    if (SamePath(final, expected) && (link || !listedAsLink)) return entry;
    refused = Utf8(path) + ": a link this system follows when asked to remove it (it leads to " +
              Utf8(final) + "); remove the link by hand";
  } else {
    refused = Utf8(path) + ": " + Reason(::GetLastError());
  }
  if (entry != INVALID_HANDLE_VALUE) ::CloseHandle(entry);
  return INVALID_HANDLE_VALUE;
}

// Removes (or with `remove` false only checks) the entry at `path` as itself (OpenAsItself): a
// folder after everything in it, a reparse point as the point, never entered.
std::string RemoveEntry(const std::wstring& path, const std::wstring& expected, bool listedAsLink,
                        bool remove) {
  BY_HANDLE_FILE_INFORMATION info;
  std::string refused;
  {
    // Looked at without the right to delete, which would keep the folder from being listed.
    const Handle entry(
        OpenAsItself(path, expected, listedAsLink, FILE_READ_ATTRIBUTES, info, refused));
    if (!refused.empty()) return refused;
  }
  const bool link = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && !link) {
    std::vector<std::pair<std::wstring, bool>> children;  // name, listed as a reparse point
    WIN32_FIND_DATAW data;
    HANDLE first = ::FindFirstFileW(Joined(path, L"*").c_str(), &data);
    FindHandle find(first);
    // A folder that cannot be listed is never taken for an empty one.
    if (!find.valid()) return Utf8(path) + ": " + Reason(::GetLastError());
    do {
      const std::wstring name = data.cFileName;
      if (name != L"." && name != L"..")
        children.emplace_back(name, (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0);
    } while (::FindNextFileW(first, &data));
    if (::GetLastError() != ERROR_NO_MORE_FILES)
      return Utf8(path) + ": " + Reason(::GetLastError());
    for (const auto& [name, childLink] : children) {
      refused = RemoveEntry(Joined(path, name), Joined(expected, name), childLink, remove);
      if (!refused.empty()) return refused;
    }
  }
  if (!remove) return "";
  // Opened again to delete: still itself, checked once more.
  const Handle entry(
      OpenAsItself(path, expected, listedAsLink, DELETE | FILE_READ_ATTRIBUTES, info, refused));
  if (!refused.empty()) return refused;
  FILE_DISPOSITION_INFO disposition{TRUE};
  if (!::SetFileInformationByHandle(entry.get(), FileDispositionInfo, &disposition,
                                    sizeof disposition))
    return Utf8(path) + ": " + Reason(::GetLastError());
  return "";
}

}  // namespace

Entry LookUp(const fs::path& path) {
  Entry entry;
  const std::wstring full = FullPathOf(path);
  if (IsDevicePath(full)) {
    entry.kind = Kind::Device;
    return entry;
  }
  Handle file(OpenFollowing(full, FILE_READ_ATTRIBUTES));
  if (file.get() == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    // There but not to be opened (in use by the system): known by its attributes alone.
    const DWORD attributes = ::GetFileAttributesW(full.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      entry.missing = MissingReason(full, error);
      return entry;
    }
    entry.kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? Kind::Folder : Kind::File;
    return entry;
  }
  if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
    entry.kind = Kind::Device;
    return entry;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!::GetFileInformationByHandle(file.get(), &info)) {
    entry.kind = Kind::File;
    return entry;
  }
  entry.id = FileId{info.dwVolumeSerialNumber,
                    (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
  entry.kind = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? Kind::Folder : Kind::File;
  entry.size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  return entry;
}

fs::path FinalPath(const fs::path& path) {
  Handle file(OpenFollowing(FullPathOf(path), FILE_READ_ATTRIBUTES));
  if (file.get() == INVALID_HANDLE_VALUE) return {};
  std::wstring final = RawFinalPath(file.get());
  // "\\?\C:\out" as "C:\out", "\\?\UNC\server\share" as "\\server\share".
  if (StartsWithIgnoringCase(final, L"\\\\?\\UNC\\")) {
    final = L"\\" + final.substr(7);
  } else if (StartsWithIgnoringCase(final, L"\\\\?\\")) {
    final = final.substr(4);
  }
  return fs::path(final);
}

std::string WriteDenied(const fs::path& path) {
  // Windows tells only the read-only attribute here; a denied folder shows when writing.
  if (::_waccess(path.c_str(), 2) == 0) return "";
  return std::strerror(errno);
}

std::string WriteWhole(const fs::path& path, std::string_view bytes) {
  const Entry entry = LookUp(path);
  if (entry.kind == Kind::Device || entry.kind == Kind::Stream) return "a device, not a file";
  if (entry.kind == Kind::Folder) return Reason(ERROR_DIRECTORY);
  // Through a link, the file it leads to is replaced and the link stays.
  const fs::path final = entry.kind == Kind::File ? FinalPath(path) : fs::path();
  return ReplaceFile(FullPathOf(final.empty() ? path : final), bytes);
}

namespace {

// The walk from `path`, its expected final path taken from the folder it lies in.
std::string WalkTree(const fs::path& path, bool remove) {
  const std::wstring full = FullPathOf(path);
  const DWORD attributes = ::GetFileAttributesW(full.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return "";
  const size_t slash = full.find_last_of(L'\\');
  const std::wstring folder = full.substr(0, slash + 1);
  Handle parent(OpenFollowing(folder, FILE_READ_ATTRIBUTES));
  if (parent.get() == INVALID_HANDLE_VALUE) return Utf8(folder) + ": " + Reason(::GetLastError());
  const std::wstring expected = Joined(RawFinalPath(parent.get()), full.substr(slash + 1));
  return RemoveEntry(full, expected, (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0, remove);
}

}  // namespace

std::string CheckRemovable(const fs::path& path) { return WalkTree(path, false); }

std::string RemoveTree(const fs::path& path) {
  // Checked whole first, so a refusal leaves every entry in place.
  std::string refused = WalkTree(path, false);
  return refused.empty() ? WalkTree(path, true) : refused;
}

}  // namespace quorvane::host
