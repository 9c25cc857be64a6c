// The system's error codes in words.
#include "platform/win32/error_reason.h"

#include "platform/win32/windows_api.h"

namespace quorvane::win32 {

// The system's reason in the words a user looks for; the system's own text for the rest.
std::string ErrorReason(unsigned long error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return "no such folder";
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_UNIT:
      return "no such drive";
    case ERROR_NOT_READY:
      return "no medium in the drive";
    case ERROR_WRITE_PROTECT:
      return "read-only (write-protected)";
    case ERROR_ACCESS_DENIED:
      return "access denied";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return "disk full";
    case ERROR_DIRECTORY:
      return "a folder where a file was expected";
    default:
      break;
  }
  char text[256];
  DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, text, sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' ||
                        text[length - 1] == ' ' || text[length - 1] == '.'))
    --length;
  return (length > 0 ? std::string(text, length) + " " : std::string()) + "(error " +
         std::to_string(error) + ")";
}

std::string FileErrorReason(const std::wstring& path, unsigned long error) {
  if ((error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) && path.size() > 2 &&
      path[1] == L':' && ::GetFileAttributesW(path.substr(0, 3).c_str()) == INVALID_FILE_ATTRIBUTES)
    error = ERROR_INVALID_DRIVE;
  return ErrorReason(error);
}

}  // namespace quorvane::win32
