// The layout picture page: each disk before and after the run as a bar of its partitions.
#include "report/layout_picture.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace quorvane::report {
namespace {

constexpr double kBarWidth = 1000;
// A segment is as wide as its longest line needs, within these bounds; a label cut short is still
// whole in the segment's tooltip.
constexpr double kMinSegment = 56;
constexpr double kMaxMinSegment = 150;
constexpr double kCharWidth = 7.6;  // a bold character at the bar's font size, a little generous
constexpr double kTextPadding = 14;
constexpr int kBarHeight = 68;
constexpr int kBandHeight = 5;  // a further role of the same partition, along its bottom edge

struct RoleStyle {
  PartitionRole role;
  const char* css;
  const char* shortName;
  const char* legend;
};

constexpr RoleStyle kRoleStyles[] = {
    {PartitionRole::Pbr, "r-pbr", "PBR", "PBR (push-button recovery)"},
    {PartitionRole::System, "r-sys", "EFI/SYS", "EFI / system reserved"},
    {PartitionRole::Os, "r-os", "OS", "OS"},
    {PartitionRole::Recovery, "r-rec", "Recovery", "recovery tools"},
};

const RoleStyle& StyleOf(PartitionRole role) {
  for (const auto& style : kRoleStyles)
    if (style.role == role) return style;
  return kRoleStyles[0];
}

constexpr char kStyleSheet[] = R"(
body{font:14px "DejaVu Sans",Verdana,sans-serif;color:#0f172a;background:#f8fafc;margin:0}
main{max-width:1100px;margin:0 auto;padding:14px 20px}
h1{font-size:22px;margin:0 0 2px}
h2{font-size:15px;margin:14px 0 6px}
.desc{margin:0 0 4px;color:#334155}
.meta{margin:0;color:#64748b;font-size:12px}
.road{display:flex;align-items:center;gap:14px;flex-wrap:wrap;margin:10px 0;padding:8px 12px;
background:#fff;border:1px solid #cbd5e1;border-radius:6px}
.roadname{font-weight:bold;font-size:16px;padding:4px 12px;border-radius:4px;color:#fff}
.road-register{background:#7e22ce}.road-rapid-start{background:#be123c}.road-none{background:#475569}
.why{flex:1;min-width:300px;color:#334155}
.flag{display:inline-block;margin:2px 4px 2px 0;padding:2px 8px;border-radius:10px;font-size:12px;
border:1px solid #94a3b8;color:#334155;background:#f1f5f9}
.flag.on{background:#dcfce7;border-color:#15803d;color:#14532d}
.flag.unknown{border-style:dashed;color:#64748b}
.legend{display:flex;flex-wrap:wrap;gap:4px 10px;font-size:12px;color:#334155;margin:6px 0}
.chip{display:inline-block;width:14px;height:14px;border-radius:3px;vertical-align:-3px;
margin-right:4px;border:1px solid #64748b}
.disk{background:#fff;border:1px solid #cbd5e1;border-radius:6px;padding:6px 12px 8px;margin:8px 0}
.disk h3{font-size:14px;margin:2px 0 6px}
.disk h3 .what{font-weight:normal;color:#475569}
.badge{display:inline-block;font-size:11px;padding:1px 7px;border-radius:8px;margin-left:6px;
background:#e0e7ff;color:#1e3a8a;font-weight:bold}
.badge.warn{background:#ffe4e6;color:#9f1239}
.row{display:flex;align-items:center;margin:3px 0}
.when{width:64px;font-size:12px;color:#475569;text-transform:uppercase;letter-spacing:1px}
svg.bar{display:block;overflow:hidden}
.seg{stroke:#334155;stroke-width:1}
.hidden-part{stroke-dasharray:4 3}
.r-pbr{fill:#c2410c;background:#c2410c}.r-sys{fill:#1d4ed8;background:#1d4ed8}
.r-os{fill:#15803d;background:#15803d}.r-rec{fill:#7e22ce;background:#7e22ce}
.r-new{fill:#be123c;background:#be123c}.r-none{fill:#e2e8f0;background:#e2e8f0}
.r-free{fill:url(#free-space);background:#f8fafc;stroke:#94a3b8}
.t{font-size:12px;fill:#fff}.dark .t{fill:#0f172a}.freetext .t{fill:#64748b}
.t.lbl{font-weight:bold}.t.let{font-family:"DejaVu Sans Mono",monospace;font-weight:bold}
.t.siz{font-size:11px;opacity:.9}
.other{font-size:12px;color:#334155;margin:6px 0}
.mono{font-family:"DejaVu Sans Mono",monospace}
.warnings ul{margin:0;padding-left:0;list-style:none}
.warnings li{margin:3px 0;padding:5px 10px;background:#fff7ed;border-left:4px solid #c2410c;
border-radius:3px}
.kind{display:inline-block;font-size:11px;font-weight:bold;color:#9a3412;margin-right:8px;
font-family:"DejaVu Sans Mono",monospace}
.none{color:#15803d}
)";

constexpr char kSharedDefs[] =
    "<svg width=\"0\" height=\"0\" style=\"position:absolute\" aria-hidden=\"true\"><defs>"
    "<pattern id=\"free-space\" width=\"8\" height=\"8\" patternUnits=\"userSpaceOnUse\" "
    "patternTransform=\"rotate(45)\"><rect width=\"8\" height=\"8\" fill=\"#f8fafc\"/>"
    "<line x1=\"0\" y1=\"0\" x2=\"0\" y2=\"8\" stroke=\"#cbd5e1\" stroke-width=\"3\"/></pattern>"
    "</defs></svg>\n";

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

std::string SizeText(int64_t sizeMB) {
  if (sizeMB < 1024) return std::to_string(sizeMB) + " MB";
  return Number(static_cast<double>(sizeMB) / 1024.0) + " GB";
}

std::string Join(const std::vector<std::string>& parts, const char* separator) {
  std::string out;
  for (const auto& part : parts) out += (out.empty() ? "" : separator) + part;
  return out;
}

std::string LabelText(const std::optional<std::string>& label) {
  if (!label) return "(no volume)";
  if (label->empty()) return "(no label)";
  return *label;
}

// One block of a bar: a partition, free space, or an empty disk.
struct Segment {
  std::string css;  // fill class
  bool darkText = false;
  bool freeText = false;
  bool hidden = false;
  std::vector<PartitionRole> bands;  // roles past the first
  std::vector<std::string> lines;    // label, letters, roles, size (unescaped)
  std::vector<const char*> lineClasses;
  std::string tooltip;  // unescaped
  int64_t sizeMB = 0;
};

Segment PartitionSegment(const PartitionReport& part, size_t number) {
  Segment segment;
  segment.sizeMB = part.sizeMB;
  segment.hidden = part.hidden;
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
  if (part.created) roleNames.insert(roleNames.begin(), "new");
  segment.lines = {LabelText(part.label), Join(part.letters, " "), Join(roleNames, " + "),
                   "#" + std::to_string(number) + "  " + SizeText(part.sizeMB)};
  segment.lineClasses = {"lbl", "let", "rol", "siz"};
  std::string tip = "Partition " + std::to_string(number) + ": " + LabelText(part.label) + ", " +
                    SizeText(part.sizeMB) + ", " + part.type;
  if (part.hidden) tip += ", hidden from WMI";
  if (part.created) tip += ", made by the run";
  if (!part.letters.empty()) tip += ", letters " + Join(part.letters, " ");
  if (!roleNames.empty()) tip += ", role " + Join(roleNames, " + ");
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

std::vector<Segment> SegmentsOf(const DiskReport& disk) {
  std::vector<Segment> segments;
  int64_t used = 1;  // the first partition starts at 1 MiB
  for (size_t i = 0; i < disk.partitions.size(); ++i) {
    segments.push_back(PartitionSegment(disk.partitions[i], i + 1));
    used += std::max<int64_t>(disk.partitions[i].sizeMB, 0);
  }
  const int64_t free = disk.sizeMB - used;
  if (segments.empty() || free > 0) segments.push_back(FreeSegment(free, segments.empty()));
  return segments;
}

size_t CodePoints(const std::string& text) {
  return static_cast<size_t>(
      std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

double ReadableWidth(const Segment& segment) {
  size_t longest = 0;
  for (const auto& line : segment.lines) longest = std::max(longest, CodePoints(line));
  return std::clamp(static_cast<double>(longest) * kCharWidth + kTextPadding, kMinSegment,
                    kMaxMinSegment);
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
    html += "<rect class=\"seg " + s.css + (s.hidden ? " hidden-part" : "") + "\" x=\"" +
            Number(x + 1) + "\" y=\"1\" width=\"" + Number(std::max(w - 2, 1.0)) + "\" height=\"" +
            std::to_string(kBarHeight - 2) + "\" rx=\"3\"/>";
    for (size_t b = 0; b < s.bands.size(); ++b) {
      const int y = kBarHeight - 1 - kBandHeight * static_cast<int>(b + 1);
      html += "<rect class=\"" + std::string(StyleOf(s.bands[b]).css) + "\" x=\"" + Number(x + 2) +
              "\" y=\"" + std::to_string(y) + "\" width=\"" + Number(std::max(w - 4, 1.0)) +
              "\" height=\"" + std::to_string(kBandHeight) + "\"/>";
    }
    html += "<clipPath id=\"" + clipId + "\"><rect x=\"" + Number(x + 3) + "\" y=\"0\" width=\"" +
            Number(std::max(w - 6, 1.0)) + "\" height=\"" + height +
            "\"/></clipPath><g clip-path=\"url(#" + clipId + ")\">";
    int y = 16;
    for (size_t line = 0; line < s.lines.size(); ++line, y += 15) {
      if (s.lines[line].empty()) continue;
      html += "<text class=\"t " + std::string(s.lineClasses[line]) + "\" x=\"" + Number(x + 7) +
              "\" y=\"" + std::to_string(y) + "\">" + EscapeHtml(s.lines[line]) + "</text>";
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
    title += "<span class=\"badge\">" + EscapeHtml(role) + " disk</span>";
  if (disk.cleaned) title += "<span class=\"badge warn\">cleaned by the run</span>";
  return title + "</h3>";
}

const DiskReport* FindByIndex(const std::vector<DiskReport>& disks, int index) {
  for (const auto& disk : disks)
    if (disk.index == index) return &disk;
  return nullptr;
}

void DrawDisks(std::string& html, const RunReport& report) {
  int clipCounter = 0;
  auto row = [&](const char* when, const DiskReport& disk) {
    html += "<div class=\"row\"><div class=\"when\">" + std::string(when) + "</div>";
    DrawBar(html, SegmentsOf(disk), clipCounter);
    html += "</div>\n";
  };
  for (const auto& before : report.disksBefore) {
    const DiskReport* after = FindByIndex(report.disksAfter, before.index);
    html += "<section class=\"disk\">" + DiskTitle(after != nullptr ? *after : before) + "\n";
    row("before", before);
    if (after != nullptr) row("after", *after);
    html += "</section>\n";
  }
  for (const auto& after : report.disksAfter) {
    if (FindByIndex(report.disksBefore, after.index) != nullptr) continue;
    html += "<section class=\"disk\">" + DiskTitle(after) + "\n";
    row("after", after);
    html += "</section>\n";
  }
}

// What each road does, shown beside its name.
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

std::string Legend() {
  std::string html = "<div class=\"legend\">";
  for (const auto& style : kRoleStyles)
    html += std::string("<span><span class=\"chip ") + style.css + "\"></span>" + style.legend +
            "</span>";
  html +=
      "<span><span class=\"chip r-new\"></span>made by the run</span>"
      "<span><span class=\"chip r-none\"></span>no role</span>"
      "<span><span class=\"chip r-free\" style=\"background:repeating-linear-gradient(45deg,"
      "#f8fafc 0 3px,#cbd5e1 3px 5px)\"></span>free space</span>"
      "<span><span class=\"chip r-none\" style=\"border-style:dashed\"></span>hidden from WMI"
      "</span>"
      "<span>second role: bottom band</span></div>\n";
  return html;
}

std::string NoteText(const VolumeNote& volume) {
  switch (volume.kind) {
    case VolumeNote::Kind::NoSuchVolume:
      return "no such volume";
    case VolumeNote::Kind::NoFileSystem:
      return "no file system";
    case VolumeNote::Kind::Label:
      break;
  }
  return volume.label;
}

std::string OtherLetters(const std::vector<LetterReport>& letters) {
  if (letters.empty()) return "none";
  std::vector<std::string> parts;
  for (const auto& letter : letters) {
    std::string part = "<span class=\"mono\"><b>" + EscapeHtml(letter.letter) + "</b> " +
                       EscapeHtml(letter.target) + "</span>";
    const std::string note = NoteText(letter.volume);
    if (!note.empty()) part += " (" + EscapeHtml(note) + ")";
    parts.push_back(part);
  }
  return Join(parts, ", ");
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

std::string RenderLayoutPicture(const RunReport& report) {
  std::string html =
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
      "<meta name=\"viewport\" content=\"width=device-width\"><title>" +
      EscapeHtml(report.machine) + ": disk layout before and after the run</title><style>" +
      kStyleSheet + "</style></head>\n<body>" + kSharedDefs + "<main>\n";
  html += "<h1>" + EscapeHtml(report.machine) + "</h1>\n";
  if (!report.description.empty())
    html += "<p class=\"desc\">" + EscapeHtml(report.description) + "</p>\n";
  char duration[48];
  std::snprintf(duration, sizeof duration, "%llu.%03llu s",
                static_cast<unsigned long long>(report.simulatedMs / 1000),
                static_cast<unsigned long long>(report.simulatedMs % 1000));
  html += std::string("<p class=\"meta\">Simulated run: ") + duration + "</p>\n";

  const std::string road = RoadName(report.road);
  html += "<section class=\"road\"><span class=\"roadname road-" + EscapeHtml(road) + "\">" +
          EscapeHtml(road) + "</span><span class=\"why\">" + RoadMeaning(report.road) +
          "</span><span>" + Flag("SSD+HDD mode", report.ssdHddMode) +
          Flag("mini SSD", report.miniSsd) + Flag("rapid start", report.rapidStart) +
          "</span></section>\n";

  html += Legend();
  DrawDisks(html, report);
  html += "<p class=\"other\">Letters on other volumes: before " +
          OtherLetters(report.otherLettersBefore) + "; after " +
          OtherLetters(report.otherLettersAfter) + "</p>\n";
  if (!report.unplacedRoles.empty()) {
    std::vector<std::string> roles;
    for (const auto& role : report.unplacedRoles) roles.push_back(EscapeHtml(role));
    html += "<p class=\"other\">Roles pointing at no partition: " + Join(roles, "; ") + "</p>\n";
  }

  html += "<section class=\"warnings\"><h2>Warnings (" + std::to_string(report.warnings.size()) +
          ")</h2>";
  if (report.warnings.empty()) {
    html += "<p class=\"none\">Nothing that would surprise a technician.</p>";
  } else {
    html += "<ul>";
    for (const auto& warning : report.warnings)
      html += "<li><span class=\"kind\">" + EscapeHtml(warning.kind) + "</span>" +
              EscapeHtml(warning.text) + "</li>";
    html += "</ul>";
  }
  html += "</section>\n</main></body></html>\n";
  return html;
}

}  // namespace quorvane::report
