// Host paths to and from the UTF-8 text every layer keeps them in.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quorvane {

// A path named by UTF-8 text, and a path as UTF-8 text. The same bytes on Linux; on Windows the
// UTF-16 the system takes, where a std::string given to std::filesystem::path would be read in a
// code page and a name outside it ("März") would not be found.
std::filesystem::path PathFromUtf8(std::string_view text);
std::string Utf8OfPath(const std::filesystem::path& path);

// The path as UTF-8 text with '/' between its names on every system, as files that may be
// compared across systems hold it (the fleet table).
std::string Utf8OfGenericPath(const std::filesystem::path& path);

// The path as UTF-8 text with the system's own separator ("out\volumes\X" on Windows), as a
// person there writes it.
std::string Utf8OfPathShown(const std::filesystem::path& path);

}  // namespace quorvane
