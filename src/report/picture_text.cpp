// How wide a text of the layout picture comes out, and where it must end in an ellipsis.
#include <cstdint>

#include "report/picture_parts.h"

namespace quorvane::report::picture {
namespace {

// Advance widths of DejaVu Sans Bold, the first font the page asks for, from ' ' to '~', in
// 2048ths of an em. Every line is measured as bold, the widest of its weights.
constexpr uint16_t kBoldAdvance[95] = {
    713,  934,  1067, 1716, 1425, 2052, 1786, 627,  936,  936,  1071, 1716, 778,  850,  778,  748,
    1425, 1425, 1425, 1425, 1425, 1425, 1425, 1425, 1425, 1425, 819,  819,  1716, 1716, 1716, 1188,
    2048, 1585, 1561, 1503, 1700, 1399, 1399, 1681, 1714, 762,  762,  1587, 1305, 2038, 1714, 1741,
    1501, 1741, 1577, 1475, 1397, 1663, 1585, 2259, 1579, 1483, 1485, 936,  748,  936,  1716, 1024,
    1024, 1382, 1466, 1214, 1466, 1389, 891,  1466, 1458, 702,  702,  1362, 702,  2134, 1458, 1407,
    1466, 1466, 1010, 1219, 979,  1458, 1335, 1892, 1321, 1335, 1192, 1458, 748,  1458, 1716,
};
constexpr double kUnitsPerEm = 2048;
// Any other character counts as wide as the widest letter.
constexpr uint16_t kOtherAdvance = 2260;
// Room for a fallback font a little wider than the one measured.
constexpr double kMargin = 1.05;
constexpr char kEllipsis[] = "\xE2\x80\xA6";

// The advance of the character that starts at `text[at]`; 0 inside a UTF-8 sequence.
double Advance(const std::string& text, size_t at) {
  const auto byte = static_cast<unsigned char>(text[at]);
  if ((byte & 0xC0) == 0x80) return 0;
  const uint16_t units = byte >= 0x20 && byte < 0x7F ? kBoldAdvance[byte - 0x20] : kOtherAdvance;
  return units / kUnitsPerEm;
}

}  // namespace

double TextWidth(const std::string& text, double fontPx) {
  double ems = 0;
  for (size_t at = 0; at < text.size(); ++at) ems += Advance(text, at);
  return ems * fontPx * kMargin;
}

std::string FitText(const std::string& text, double room, double fontPx) {
  if (TextWidth(text, fontPx) <= room) return text;
  const double left = room - TextWidth(kEllipsis, fontPx);
  double used = 0;
  size_t end = 0;
  for (; end < text.size(); ++end) {
    const double next = Advance(text, end) * fontPx * kMargin;
    if (next > 0 && used + next > left) break;
    used += next;
  }
  return text.substr(0, end) + kEllipsis;
}

}  // namespace quorvane::report::picture
