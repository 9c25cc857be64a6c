// The WMI locator of the Win32 platform: COM's IWbemLocator and what it hands out.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/platform.h"

namespace quorvane::win32 {

// CoCreateInstance of the WMI locator with the given class context.
int32_t CreateWmiLocator(uint32_t classContext, std::unique_ptr<WmiLocator>& out);

}  // namespace quorvane::win32
