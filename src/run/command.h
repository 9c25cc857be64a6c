// What the log and the box say when a child process cannot be started.
#pragma once

namespace quorvane {

// The start's error code and the command line; logged, then shown in a box.
inline constexpr wchar_t kCallErrorLine[] = L"call err=%d, szCommand = %s";

}  // namespace quorvane
