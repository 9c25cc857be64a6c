// Reading a recovery image's header and the image names of its XML resource.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::capture {

// The fixed header at the start of an image file.
inline constexpr uint32_t kWimHeaderBytes = 208;
// An XML resource beyond this is not read: no image list is that long.
inline constexpr uint64_t kWimXmlLimit = 16u << 20;

struct WimHeader {
  uint16_t partNumber = 0;
  uint16_t totalParts = 0;
  uint32_t imageCount = 0;
  uint64_t xmlOffset = 0;
  uint64_t xmlStoredBytes = 0;  // bytes in the file
  bool xmlCompressed = false;
};

// The header `bytes` starts with; empty with `problem` set when there is none.
std::optional<WimHeader> ReadWimHeader(std::string_view bytes, std::string& problem);

struct WimImages {
  bool isImage = false;             // a readable image header
  std::vector<std::wstring> names;  // by image index, from 1
  std::vector<std::string> notes;   // what was odd and what was assumed (UTF-8)
};

// The images the XML resource names; when it cannot be read, as many unnamed images as the header
// counts, with a note.
WimImages ReadWimImages(std::string_view header, std::string_view xml);

}  // namespace quorvane::capture
