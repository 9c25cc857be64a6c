// The layout picture page: each disk before and after the run as a bar of its partitions.
#include "report/layout_picture.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "report/picture_parts.h"

namespace quorvane::report {
namespace {

using picture::FitText;
using picture::Join;
using picture::StyleOf;
using picture::TextWidth;

constexpr double kBarWidth = 1000;
// A segment is as wide as its longest line needs, within these bounds; a line that still does not
// fit ends in an ellipsis, and is whole in the segment's tooltip.
constexpr double kMinSegment = 56;
constexpr double kMaxMinSegment = 150;
constexpr double kMonoWidth = 7.3;              // a bold monospace character, a little generous
constexpr double kLetterStep = 3 * kMonoWidth;  // "M: "
constexpr double kTextInset = 7;                // from a segment's left edge to its text
constexpr double kTextPadding = 14;
constexpr int kBarHeight = 68;
constexpr int kBandHeight = 5;  // a further role of the same partition, along its bottom edge
constexpr char kEllipsis[] = "\xE2\x80\xA6";

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

std::string SizeText(int64_t sizeMB) {
  if (sizeMB < 1024) return std::to_string(sizeMB) + " MB";
  return Number(static_cast<double>(sizeMB) / 1024.0) + " GB";
}

std::string LabelText(const std::optional<std::string>& label) {
  if (!label) return "(no volume)";
  if (label->empty()) return "(no label)";
  return *label;
}

// The font size of each line of a segment: label, letters, roles at 12 px, size at 11.
double LinePx(size_t line) { return line == 3 ? 11 : 12; }

// A letter on a partition, marked when the run defined or moved it here, or took it away.
struct LetterMark {
  std::string letter;
  enum class Change { None, Here, Gone } change = Change::None;
};

// One block of a bar: a partition, free space, or an empty disk.
struct Segment {
  std::string css;  // fill class
  bool darkText = false;
  bool freeText = false;
  bool hidden = false;
  bool unseen = false;               // the run never listed it
  std::vector<PartitionRole> bands;  // roles past the first
  std::vector<std::string> lines;    // label, letters (drawn from `letters`), roles, size
  std::vector<const char*> lineClasses;
  std::vector<LetterMark> letters;
  std::string tooltip;  // unescaped
  int64_t sizeMB = 0;
};

enum class Row { Before, After };

const LetterChange* ChangeOf(const RunReport& report, const std::string& letter) {
  for (const auto& change : report.changes.letters)
    if (change.letter == letter) return &change;
  return nullptr;
}

const RoleReport* RoleOf(const RunReport& report, PartitionRole role) {
  for (const auto& slot : report.roles)
    if (slot.name == StyleOf(role).name) return &slot;
  return nullptr;
}

// The before row is the machine as the run found it, marked with what it never saw; the after row
// is the machine as it left it, with the roles it found and the letters it changed.
Segment PartitionSegment(const RunReport& report, const PartitionReport& part, size_t number,
                         Row row) {
  Segment segment;
  segment.sizeMB = part.sizeMB;
  segment.hidden = part.hidden;
  segment.unseen = row == Row::Before && !part.listed;
  std::vector<std::string> roleNames;
  for (PartitionRole role : part.roles) roleNames.push_back(StyleOf(role).shortName);
  if (!part.roles.empty()) {
    segment.css = StyleOf(part.roles.front()).css;
    segment.bands.assign(part.roles.begin() + 1, part.roles.end());
  } else if (part.created) {
    segment.css = "r-new";
  } else {
    segment.css = "r-none";
    segment.darkText = true;
  }
  std::string roleLine = roleNames.empty() ? "" : "found: " + Join(roleNames, " + ");
  if (part.created) roleLine = roleLine.empty() ? "new" : "new, " + roleLine;
  segment.lines = {LabelText(part.label), "", roleLine,
                   "#" + std::to_string(number) + "  " + SizeText(part.sizeMB)};
  segment.lineClasses = {"lbl", "let", "rol", "siz"};

  std::string tip = "Partition " + std::to_string(number) + ": " + LabelText(part.label) + ", " +
                    SizeText(part.sizeMB) + ", " + part.type;
  if (part.hidden) tip += ", hidden from WMI";
  if (segment.unseen) tip += ", never listed by the run (it lists only lettered partitions)";
  if (part.created) tip += ", made by the run";
  if (!part.letters.empty()) tip += ", letters " + Join(part.letters, " ");
  for (const auto& letter : part.letters) {
    LetterMark mark{letter};
    if (const LetterChange* change = ChangeOf(report, letter)) {
      mark.change = row == Row::After ? LetterMark::Change::Here : LetterMark::Change::Gone;
      tip += "; " + change->line;
    }
    segment.letters.push_back(mark);
  }
  for (PartitionRole role : part.roles) {
    tip += std::string("; the run took it as ") + StyleOf(role).shortName;
    if (const RoleReport* found = RoleOf(report, role)) tip += ": " + found->story;
  }
  segment.tooltip = tip;
  return segment;
}

Segment FreeSegment(int64_t sizeMB, bool wholeDisk) {
  Segment segment;
  segment.css = "r-free";
  segment.freeText = true;
  segment.sizeMB = sizeMB;
  std::string what = wholeDisk ? "no partitions" : "free";
  segment.lines = {what, "", "", sizeMB > 0 ? SizeText(sizeMB) : ""};
  segment.lineClasses = {"lbl", "let", "rol", "siz"};
  segment.tooltip = sizeMB > 0 ? what + ", " + SizeText(sizeMB) + " unallocated" : what;
  return segment;
}

std::vector<Segment> SegmentsOf(const RunReport& report, const DiskReport& disk, Row row) {
  std::vector<Segment> segments;
  int64_t used = 1;  // the first partition starts at 1 MiB
  for (size_t i = 0; i < disk.partitions.size(); ++i) {
    segments.push_back(PartitionSegment(report, disk.partitions[i], i + 1, row));
    used += std::max<int64_t>(disk.partitions[i].sizeMB, 0);
  }
  const int64_t free = disk.sizeMB - used;
  if (segments.empty() || free > 0) segments.push_back(FreeSegment(free, segments.empty()));
  return segments;
}

double ReadableWidth(const Segment& segment) {
  double longest = static_cast<double>(segment.letters.size()) * kLetterStep;
  for (size_t line = 0; line < segment.lines.size(); ++line)
    longest = std::max(longest, TextWidth(segment.lines[line], LinePx(line)));
  return std::clamp(longest + kTextPadding, kMinSegment, kMaxMinSegment);
}

// The letters line: one text a letter at a fixed step, so that a changed one can be underlaid.
void DrawLetters(std::string& html, const Segment& s, double x, double w, int y) {
  const double right = x + w - 4;
  for (size_t k = 0; k < s.letters.size(); ++k) {
    const double lx = x + kTextInset + static_cast<double>(k) * kLetterStep;
    if (lx + 2 * kMonoWidth > right) {
      html += "<text class=\"t let\" x=\"" + Number(lx) + "\" y=\"" + std::to_string(y) + "\">" +
              kEllipsis + "</text>";
      return;
    }
    const LetterMark& mark = s.letters[k];
    std::string css = "t let";
    if (mark.change == LetterMark::Change::Here) {
      html += "<rect class=\"letter-new\" x=\"" + Number(lx - 2) + "\" y=\"" +
              std::to_string(y - 11) + "\" width=\"" + Number(2 * kMonoWidth + 4) +
              "\" height=\"14\" rx=\"2\"/>";
      css += " changed";
    } else if (mark.change == LetterMark::Change::Gone) {
      css += " gone";
    }
    html += "<text class=\"" + css + "\" x=\"" + Number(lx) + "\" y=\"" + std::to_string(y) +
            "\">" + EscapeHtml(mark.letter) + "</text>";
  }
}

void DrawBar(std::string& html, const std::vector<Segment>& segments, int& clipCounter) {
  std::vector<int64_t> sizes;
  std::vector<double> minimums;
  for (const auto& segment : segments) {
    sizes.push_back(segment.sizeMB);
    minimums.push_back(ReadableWidth(segment));
  }
  std::vector<double> widths = SegmentWidths(sizes, minimums, kBarWidth);
  const std::string height = std::to_string(kBarHeight);
  html += "<svg class=\"bar\" width=\"" + Number(kBarWidth) + "\" height=\"" + height +
          "\" viewBox=\"0 0 " + Number(kBarWidth) + " " + height + "\">";
  double x = 0;
  for (size_t i = 0; i < segments.size(); ++i) {
    const Segment& s = segments[i];
    const double w = widths[i];
    const std::string clipId = "clip" + std::to_string(clipCounter++);
    std::string group = s.darkText ? "dark" : (s.freeText ? "freetext" : "light");
    html += "<g class=\"" + group + "\"><title>" + EscapeHtml(s.tooltip) + "</title>";
    const std::string box = "x=\"" + Number(x + 1) + "\" y=\"1\" width=\"" +
                            Number(std::max(w - 2, 1.0)) + "\" height=\"" +
                            std::to_string(kBarHeight - 2) + "\" rx=\"3\"";
    html += "<rect class=\"seg " + s.css + (s.hidden ? " hidden-part" : "") + "\" " + box + "/>";
    if (s.unseen) html += "<rect class=\"unseen-mark\" " + box + "/>";
    for (size_t b = 0; b < s.bands.size(); ++b) {
      const int y = kBarHeight - 1 - kBandHeight * static_cast<int>(b + 1);
      html += "<rect class=\"" + std::string(StyleOf(s.bands[b]).css) + "\" x=\"" + Number(x + 2) +
              "\" y=\"" + std::to_string(y) + "\" width=\"" + Number(std::max(w - 4, 1.0)) +
              "\" height=\"" + std::to_string(kBandHeight) + "\"/>";
    }
    // The clip only guards against a font wider than measured; FitText ends a long line.
    html += "<clipPath id=\"" + clipId + "\"><rect x=\"" + Number(x + 3) + "\" y=\"0\" width=\"" +
            Number(std::max(w - 6, 1.0)) + "\" height=\"" + height +
            "\"/></clipPath><g clip-path=\"url(#" + clipId + ")\">";
    const double room = w - kTextInset - 3;  // to the clip's right edge
    int y = 16;
    for (size_t line = 0; line < s.lines.size(); ++line, y += 15) {
      if (line == 1) DrawLetters(html, s, x, w, y);
      if (s.lines[line].empty()) continue;
      html += "<text class=\"t " + std::string(s.lineClasses[line]) + "\" x=\"" +
              Number(x + kTextInset) + "\" y=\"" + std::to_string(y) + "\">" +
              EscapeHtml(FitText(s.lines[line], room, LinePx(line))) + "</text>";
    }
    html += "</g></g>";
    x += w;
  }
  html += "</svg>";
}

std::string DiskTitle(const DiskReport& disk) {
  std::string title = "<h3>Disk " + std::to_string(disk.index) + " <span class=\"what\">";
  std::vector<std::string> facts;
  if (!disk.model.empty()) facts.push_back(EscapeHtml(disk.model));
  std::string style = disk.style;
  std::transform(style.begin(), style.end(), style.begin(),
                 [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
  facts.push_back(EscapeHtml(style));
  facts.push_back(SizeText(disk.sizeMB));
  title += Join(facts, " &middot; ") + "</span>";
  for (const auto& role : disk.diskRoles)
    title += "<span class=\"badge\">" + EscapeHtml(role) + " disk (found by the run)</span>";
  if (disk.cleaned) title += "<span class=\"badge warn\">cleaned by the run</span>";
  if (!disk.inventoried)
    title += "<span class=\"badge unseen\" title=\"media type: " + EscapeHtml(disk.mediaType) +
             "\">not in the run's inventory: " + EscapeHtml(disk.mediaType) + "</span>";
  return title + "</h3>";
}

const DiskReport* FindByIndex(const std::vector<DiskReport>& disks, int index) {
  for (const auto& disk : disks)
    if (disk.index == index) return &disk;
  return nullptr;
}

void DrawDisks(std::string& html, const RunReport& report) {
  int clipCounter = 0;
  auto row = [&](const char* when, const DiskReport& disk, Row which) {
    html += "<div class=\"row\"><div class=\"when\">" + std::string(when) + "</div>";
    DrawBar(html, SegmentsOf(report, disk, which), clipCounter);
    html += "</div>\n";
  };
  auto section = [&](const DiskReport& disk) {
    return std::string("<section class=\"disk") + (disk.inventoried ? "" : " unseen") + "\">" +
           DiskTitle(disk) + "\n";
  };
  for (const auto& before : report.disksBefore) {
    const DiskReport* after = FindByIndex(report.disksAfter, before.index);
    html += section(after != nullptr ? *after : before);
    row("before", before, Row::Before);
    if (after != nullptr) row("after", *after, Row::After);
    html += "</section>\n";
  }
  for (const auto& after : report.disksAfter) {
    if (FindByIndex(report.disksBefore, after.index) != nullptr) continue;
    html += section(after);
    row("after", after, Row::After);
    html += "</section>\n";
  }
}

// What each road does, shown as the tooltip of its name.
const char* RoadMeaning(Road road) {
  if (road == Road::Register)
    return "SSD+HDD mode: W: and C: go on the recovery-tools and Windows partitions and the "
           "recovery image is registered.";
  if (road == Road::RapidStart)
    return "A small cache SSD whose SMBIOS record asks for rapid start: the SSD is cleaned and a "
           "hibernation partition carved on it.";
  return "Neither SSD+HDD mode nor a small cache SSD asking for rapid start: no disk is changed.";
}

std::string Flag(const char* name, const std::optional<bool>& value) {
  if (!value) return "<span class=\"flag unknown\">" + std::string(name) + ": not logged</span>";
  return std::string("<span class=\"flag") + (*value ? " on" : "") + "\">" + name + ": <b>" +
         (*value ? "true" : "false") + "</b></span>";
}

}  // namespace

std::vector<double> SegmentWidths(const std::vector<int64_t>& sizes,
                                  const std::vector<double>& minimums, double total) {
  const size_t n = sizes.size();
  std::vector<double> floor(n, 0);
  double floors = 0;
  for (size_t i = 0; i < n && i < minimums.size(); ++i) floors += floor[i] = minimums[i];
  if (floors >= total) {
    // Too many segments for their minimums: shrink every minimum alike.
    for (auto& width : floor) width = floors > 0 ? width * total / floors : total / double(n);
    return floor;
  }
  // A segment that would come out narrower than its minimum gets exactly that; the rest share
  // what is left by size. Pinning one can push another below, so repeat until none moves.
  std::vector<bool> pinned(n, false);
  std::vector<double> widths = floor;
  for (bool moved = true; moved;) {
    moved = false;
    double left = total;
    double weight = 0;
    size_t open = 0;
    for (size_t i = 0; i < n; ++i) {
      if (pinned[i]) {
        left -= floor[i];
      } else {
        weight += static_cast<double>(std::max<int64_t>(sizes[i], 0));
        ++open;
      }
    }
    for (size_t i = 0; i < n; ++i) {
      if (pinned[i]) continue;
      const double share = static_cast<double>(std::max<int64_t>(sizes[i], 0));
      widths[i] = weight > 0 ? left * share / weight : left / static_cast<double>(open);
      if (widths[i] < floor[i]) {
        pinned[i] = true;
        widths[i] = floor[i];
        moved = true;
      }
    }
  }
  return widths;
}

namespace {

// The page's opening around the machine's name: how an earlier page is known again.
constexpr std::string_view kPageOpening =
    "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
    "<meta name=\"viewport\" content=\"width=device-width\"><title>";
constexpr std::string_view kTitleEnd = ": disk layout before and after the run</title><style>";

}  // namespace

bool IsLayoutPicture(std::string_view head, bool) {
  if (head.substr(0, kPageOpening.size()) != kPageOpening) return false;
  // The machine's name is escaped, so the first markup after it ends the title.
  const size_t tag = head.find('<', kPageOpening.size());
  const size_t words = kTitleEnd.find('<');  // ": disk layout before and after the run"
  return tag != std::string_view::npos && tag - kPageOpening.size() >= words &&
         head.substr(tag - words, kTitleEnd.size()) == kTitleEnd;
}

std::string RenderLayoutPicture(const RunReport& report) {
  std::string html = std::string(kPageOpening) + EscapeHtml(report.machine) +
                     std::string(kTitleEnd) + picture::kStyleSheet + "</style></head>\n<body>" +
                     picture::kSharedDefs + "<main>\n";
  html += "<h1>" + EscapeHtml(report.machine) + "</h1>\n";
  if (!report.description.empty())
    html += "<p class=\"desc\">" + EscapeHtml(report.description) + "</p>\n";
  char duration[48];
  std::snprintf(duration, sizeof duration, "%llu.%03llu s",
                static_cast<unsigned long long>(report.simulatedMs / 1000),
                static_cast<unsigned long long>(report.simulatedMs % 1000));
  html += std::string("<p class=\"meta\">Simulated run: ") + duration + "</p>\n";

  const std::string road = RoadName(report.road);
  html += "<section class=\"road\"><span class=\"roadname road-" + EscapeHtml(road) +
          "\" title=\"" + RoadMeaning(report.road) + "\">" + EscapeHtml(road) +
          "</span><span class=\"why\">because " + EscapeHtml(report.roadWhy) + "</span><span>" +
          Flag("SSD+HDD mode", report.ssdHddMode) + Flag("mini SSD", report.miniSsd) +
          Flag("rapid start", report.rapidStart) + "</span></section>\n";

  html += picture::Legend();
  DrawDisks(html, report);
  html += "<p class=\"other\">Letters on other volumes: before " +
          picture::OtherLetters(report.otherLettersBefore) + "; after " +
          picture::OtherLetters(report.otherLettersAfter) + "</p>\n";
  if (!report.unplacedRoles.empty()) {
    std::vector<std::string> roles;
    for (const auto& role : report.unplacedRoles) roles.push_back(EscapeHtml(role));
    html += "<p class=\"other\">Roles pointing at no partition: " + Join(roles, "; ") + "</p>\n";
  }
  html += picture::RolesSection(report);
  html += picture::WarningsSection(report);
  html += picture::ChangesSection(report);
  html += "</main></body></html>\n";
  return html;
}

}  // namespace quorvane::report
