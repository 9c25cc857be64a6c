// Host paths to and from UTF-8 text, through char8_t, which std::filesystem reads as UTF-8 on
// every system.
#include "base/utf8_path.h"

namespace quorvane {

std::filesystem::path PathFromUtf8(std::string_view text) {
  return std::filesystem::path(
      std::u8string_view(reinterpret_cast<const char8_t*>(text.data()), text.size()));
}

std::string Utf8OfPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string Utf8OfGenericPath(const std::filesystem::path& path) {
  const std::u8string text = path.generic_u8string();
  return std::string(text.begin(), text.end());
}

std::string Utf8OfPathShown(const std::filesystem::path& path) {
  std::filesystem::path shown = path;
  return Utf8OfPath(shown.make_preferred());
}

}  // namespace quorvane
