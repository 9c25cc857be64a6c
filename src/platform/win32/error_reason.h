// A Win32 error code in the words a user looks for.
#pragma once

#include <string>

namespace quorvane::win32 {

// "no such drive", "read-only (write-protected)", "disk full", ...; the system's own text with
// the code for the rest.
std::string ErrorReason(unsigned long error);

// Why the file at `path` could not be written: as ErrorReason, but "no such drive" where the
// system says only that a file or folder was not found and the path's drive is not there.
std::string FileErrorReason(const std::wstring& path, unsigned long error);

}  // namespace quorvane::win32
