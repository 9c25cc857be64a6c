// The image file's header (little-endian, 208 bytes) and the <IMAGE INDEX="n"><NAME> elements of
// its UTF-16 XML resource.
#include "capture/wim_images.h"

#include <algorithm>
#include <map>

#include "base/text.h"

namespace quorvane::capture {
namespace {

constexpr std::string_view kMagic("MSWIM\0\0\0", 8);
constexpr uint8_t kResourceCompressed = 0x04;

uint64_t Little(std::string_view bytes, size_t at, size_t width) {
  uint64_t value = 0;
  for (size_t i = width; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

std::wstring FromUtf16Le(std::string_view bytes) {
  std::wstring text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2)
    text += static_cast<wchar_t>(Little(bytes, i, 2));
  if (!text.empty() && text.front() == 0xFEFF) text.erase(0, 1);
  return text;
}

// Entities of XML text: the five named ones and numeric character references.
std::wstring Unescape(std::wstring_view text) {
  static const std::pair<std::wstring_view, wchar_t> kNamed[] = {
      {L"amp", L'&'}, {L"lt", L'<'}, {L"gt", L'>'}, {L"quot", L'"'}, {L"apos", L'\''}};
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    size_t end = text[i] == L'&' ? text.find(L';', i) : std::wstring_view::npos;
    if (end == std::wstring_view::npos) {
      out += text[i];
      continue;
    }
    std::wstring_view name = text.substr(i + 1, end - i - 1);
    bool known = false;
    for (const auto& [entity, c] : kNamed) {
      if (name != entity) continue;
      out += c;
      known = true;
    }
    if (!known && name.size() > 1 && name[0] == L'#') {
      bool hex = name[1] == L'x' || name[1] == L'X';
      uint32_t cp = 0;
      for (wchar_t d : name.substr(hex ? 2 : 1)) {
        int digit = d >= L'0' && d <= L'9'          ? d - L'0'
                    : hex && d >= L'a' && d <= L'f' ? d - L'a' + 10
                    : hex && d >= L'A' && d <= L'F' ? d - L'A' + 10
                                                    : -1;
        if (digit < 0 || cp > 0x10FFFF) {
          cp = 0xFFFD;
          break;
        }
        cp = cp * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
      }
      if (sizeof(wchar_t) == 2 && cp >= 0x10000 && cp <= 0x10FFFF) {
        out += static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
        out += static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
      } else {
        out += static_cast<wchar_t>(cp);
      }
      known = true;
    }
    if (!known) {
      out += text[i];
      continue;
    }
    i = end;
  }
  return out;
}

// The value of attribute `name` in the inside of a start tag; empty when it has none.
std::optional<std::wstring> Attribute(std::wstring_view tag, std::wstring_view name) {
  size_t at = 0;
  while ((at = tag.find(name, at)) != std::wstring_view::npos) {
    size_t eq = tag.find_first_not_of(L" \t\r\n", at + name.size());
    bool boundary = at > 0 && IsSpace(tag[at - 1]);
    if (boundary && eq != std::wstring_view::npos && tag[eq] == L'=') {
      size_t quote = tag.find_first_not_of(L" \t\r\n", eq + 1);
      if (quote == std::wstring_view::npos || (tag[quote] != L'"' && tag[quote] != L'\''))
        return std::nullopt;
      size_t close = tag.find(tag[quote], quote + 1);
      if (close == std::wstring_view::npos) return std::nullopt;
      return Unescape(tag.substr(quote + 1, close - quote - 1));
    }
    at += name.size();
  }
  return std::nullopt;
}

struct XmlImage {
  std::optional<std::wstring> index;
  std::optional<std::wstring> name;
};

// The IMAGE elements under the root WIM element; empty with `problem` set when the text is not
// well-formed enough to tell.
std::optional<std::vector<XmlImage>> ParseImages(std::wstring_view xml, std::string& problem) {
  std::vector<std::wstring> open;
  std::vector<XmlImage> images;
  std::wstring nameText;
  size_t i = 0;
  while (i < xml.size()) {
    if (xml[i] != L'<') {
      size_t next = std::min(xml.find(L'<', i), xml.size());
      if (open.size() == 3 && open[1] == L"IMAGE" && open[2] == L"NAME")
        nameText += xml.substr(i, next - i);
      i = next;
      continue;
    }
    std::wstring_view rest = xml.substr(i);
    std::wstring_view closer = StartsWith(rest, L"<?")     ? L"?>"
                               : StartsWith(rest, L"<!--") ? L"-->"
                                                           : L">";
    size_t end = rest.find(closer, 1);
    if (end == std::wstring_view::npos) {
      problem = "its XML ends inside a tag";
      return std::nullopt;
    }
    std::wstring_view tag = rest.substr(1, end - 1);
    i += end + closer.size();
    if (tag.empty() || tag[0] == L'?' || tag[0] == L'!') continue;
    if (tag[0] == L'/') {
      std::wstring name(Trim(tag.substr(1)));
      if (open.empty() || open.back() != name) {
        problem = "its XML closes <" + ToUtf8(name) + "> where it is not open";
        return std::nullopt;
      }
      if (open.size() == 3 && open[1] == L"IMAGE" && name == L"NAME")
        images.back().name = Unescape(nameText);
      open.pop_back();
      continue;
    }
    const bool empty = tag.back() == L'/';
    if (empty) tag.remove_suffix(1);
    std::wstring name(tag.substr(0, std::min(tag.find_first_of(L" \t\r\n"), tag.size())));
    if (open.empty() && name != L"WIM") {
      problem = "its XML is not a <WIM> document";
      return std::nullopt;
    }
    if (open.size() == 1 && name == L"IMAGE") images.push_back({Attribute(tag, L"INDEX"), {}});
    if (open.size() == 2 && open[1] == L"IMAGE" && name == L"NAME") {
      nameText.clear();
      if (empty) images.back().name = L"";
    }
    if (!empty) open.push_back(name);
  }
  if (!open.empty()) {
    problem = "its XML ends before </" + ToUtf8(open.back()) + ">";
    return std::nullopt;
  }
  if (images.empty() && xml.find(L"<WIM") == std::wstring_view::npos) {
    problem = "its XML holds no <WIM> document";
    return std::nullopt;
  }
  return images;
}

std::vector<std::wstring> Unnamed(uint32_t count) {
  std::vector<std::wstring> names;
  for (uint32_t i = 1; i <= count; ++i) names.push_back(L"Image " + std::to_wstring(i));
  return names;
}

}  // namespace

std::optional<WimHeader> ReadWimHeader(std::string_view bytes, std::string& problem) {
  if (bytes.size() < kMagic.size() || bytes.substr(0, kMagic.size()) != kMagic) {
    problem = "it does not start as an image file does";
    return std::nullopt;
  }
  if (bytes.size() < kWimHeaderBytes || Little(bytes, 8, 4) < kWimHeaderBytes) {
    problem = "its header is cut short";
    return std::nullopt;
  }
  WimHeader h;
  h.partNumber = static_cast<uint16_t>(Little(bytes, 40, 2));
  h.totalParts = static_cast<uint16_t>(Little(bytes, 42, 2));
  h.imageCount = static_cast<uint32_t>(Little(bytes, 44, 4));
  // The XML resource's entry: 7 bytes of stored size, 1 byte of flags, offset, original size.
  h.xmlStoredBytes = Little(bytes, 72, 7);
  h.xmlCompressed = (static_cast<unsigned char>(bytes[79]) & kResourceCompressed) != 0;
  h.xmlOffset = Little(bytes, 80, 8);
  return h;
}

WimImages ReadWimImages(std::string_view headerBytes, std::string_view xml) {
  WimImages out;
  std::string problem;
  auto header = ReadWimHeader(headerBytes, problem);
  if (!header) {
    out.notes.push_back(problem);
    return out;
  }
  out.isImage = true;
  if (header->totalParts > 1) {
    out.notes.push_back(
        "it is part " + std::to_string(header->partNumber) + " of " +
        std::to_string(header->totalParts) + " of a split image; the other parts are not captured" +
        (header->partNumber == 1 ? "" : ", and the image list is read from part 1"));
  }
  std::optional<std::vector<XmlImage>> images;
  if (header->xmlCompressed) {
    problem = "its XML resource is compressed";
  } else if (header->xmlStoredBytes > kWimXmlLimit) {
    problem = "its XML resource is larger than " + std::to_string(kWimXmlLimit >> 20) + " MiB";
  } else if (xml.size() < header->xmlStoredBytes) {
    problem = "it ends inside its XML resource";
  } else {
    images = ParseImages(FromUtf16Le(xml.substr(0, header->xmlStoredBytes)), problem);
  }
  if (!images) {
    out.names = Unnamed(header->imageCount);
    out.notes.push_back(problem + ": written as " + std::to_string(header->imageCount) +
                        " unnamed images, the count of its header");
    return out;
  }
  // dism lists the images by index; an image without a usable index goes after the others.
  std::map<int64_t, std::wstring> byIndex;
  bool numbered = true;
  for (size_t i = 0; i < images->size(); ++i) {
    const auto& image = (*images)[i];
    int64_t index = image.index ? ParseInt64(*image.index) : 0;
    if (index <= 0 || byIndex.count(index) != 0) {
      numbered = false;
      index = INT64_MAX / 2 + static_cast<int64_t>(i);
    }
    byIndex[index] = image.name.value_or(L"");
    if (!image.name) {
      out.notes.push_back("image " + std::to_string(i + 1) + " has no name: written as \"\"");
    }
  }
  for (const auto& [index, name] : byIndex) {
    numbered = numbered && index == static_cast<int64_t>(out.names.size()) + 1;
    out.names.push_back(name);
  }
  if (!numbered) out.notes.push_back("its images are not numbered 1, 2, 3...: listed in order");
  if (header->imageCount != out.names.size()) {
    out.notes.push_back("its header counts " + std::to_string(header->imageCount) +
                        " images, its XML names " + std::to_string(out.names.size()) +
                        ": the XML's are written");
  }
  return out;
}

}  // namespace quorvane::capture
