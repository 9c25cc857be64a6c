// The one place that brings in the Windows, COM, WMI and device-control headers for the Win32
// platform.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h must come first; the COM headers build on it.
#include <objbase.h>
#include <oleauto.h>
#include <wbemidl.h>
#include <winioctl.h>

// The platform interface names its operations after the system calls; the A/W selector
// macros would rename them, so they go and the code calls the W functions by name.
#undef DefineDosDevice
#undef DeleteFile
#undef FindFirstFile
#undef GetFirmwareEnvironmentVariable
#undef GetLogicalDriveStrings
#undef MessageBox
#undef QueryDosDevice
#undef WritePrivateProfileString
