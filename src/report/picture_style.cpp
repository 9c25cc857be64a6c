// The look of the layout picture: its style sheet, its patterns, the role colours and the legend.
#include <string>

#include "report/picture_parts.h"

namespace quorvane::report::picture {
namespace {

constexpr RoleStyle kRoleStyles[] = {
    {PartitionRole::Pbr, "pbr", "r-pbr", "PBR", "PBR (push-button recovery)"},
    {PartitionRole::System, "sys", "r-sys", "EFI/SYS", "EFI / system reserved"},
    {PartitionRole::Os, "os", "r-os", "OS", "OS"},
    {PartitionRole::Recovery, "recovery", "r-rec", "Recovery", "recovery tools"},
};

}  // namespace

const RoleStyle& StyleOf(PartitionRole role) {
  for (const auto& style : kRoleStyles)
    if (style.role == role) return style;
  return kRoleStyles[0];
}

const char kStyleSheet[] = R"(
body{font:14px "DejaVu Sans",Verdana,sans-serif;color:#0f172a;background:#f8fafc;margin:0}
main{max-width:1100px;margin:0 auto;padding:14px 20px}
h1{font-size:22px;margin:0 0 2px}
h2{font-size:15px;margin:14px 0 6px}
.desc{margin:0 0 4px;color:#334155}
.meta{margin:0;color:#64748b;font-size:12px}
.road{display:flex;align-items:center;gap:14px;flex-wrap:wrap;margin:10px 0;padding:8px 12px;
background:#fff;border:1px solid #cbd5e1;border-radius:6px}
.roadname{font-weight:bold;font-size:16px;padding:4px 12px;border-radius:4px;color:#fff;
background:#334155}
.why{flex:1;min-width:300px;color:#334155}
.flag{display:inline-block;margin:2px 4px 2px 0;padding:2px 8px;border-radius:10px;font-size:12px;
border:1px solid #94a3b8;color:#334155;background:#f1f5f9}
.flag.on{background:#dcfce7;border-color:#15803d;color:#14532d}
.flag.unknown{border-style:dashed;color:#64748b}
.legend{display:flex;flex-wrap:wrap;gap:4px 10px;font-size:12px;color:#334155;margin:6px 0}
.chip{display:inline-block;width:14px;height:14px;border-radius:3px;vertical-align:-3px;
margin-right:4px;border:1px solid #64748b}
.disk{background:#fff;border:1px solid #cbd5e1;border-radius:6px;padding:6px 12px 8px;margin:8px 0}
.disk.unseen{border:2px dashed #64748b;background:#f1f5f9}
.disk.unseen svg.bar{opacity:.6}
.disk h3{font-size:14px;margin:2px 0 6px}
.disk h3 .what{font-weight:normal;color:#475569}
.badge{display:inline-block;font-size:11px;padding:1px 7px;border-radius:8px;margin-left:6px;
background:#e0e7ff;color:#1e3a8a;font-weight:bold}
.badge.warn{background:#ffe4e6;color:#9f1239}
.badge.unseen{background:#e2e8f0;color:#334155}
.row{display:flex;align-items:center;margin:3px 0}
.when{width:64px;font-size:12px;color:#475569;text-transform:uppercase;letter-spacing:1px}
svg.bar{display:block;overflow:hidden}
.seg{stroke:#334155;stroke-width:1}
.hidden-part{stroke-dasharray:4 3}
.unseen-mark{fill:url(#unseen);stroke:#0f172a;stroke-width:1.5;stroke-dasharray:6 3}
.r-pbr{fill:#c2410c;background:#c2410c}.r-sys{fill:#1d4ed8;background:#1d4ed8}
.r-os{fill:#15803d;background:#15803d}.r-rec{fill:#7e22ce;background:#7e22ce}
.r-new{fill:#be123c;background:#be123c}.r-none{fill:#e2e8f0;background:#e2e8f0}
.r-free{fill:url(#free-space);background:#f8fafc;stroke:#94a3b8}
.t{font-size:12px;fill:#fff}.dark .t{fill:#0f172a}.freetext .t{fill:#64748b}
.t.lbl{font-weight:bold}.t.let{font-family:"DejaVu Sans Mono",monospace;font-weight:bold}
.t.siz{font-size:11px;opacity:.9}
.letter-new{fill:#fde047;stroke:#713f12;stroke-width:1}
.t.let.changed{fill:#0f172a}
.t.let.gone{text-decoration:line-through;opacity:.75}
.other{font-size:12px;color:#334155;margin:6px 0}
.mono{font-family:"DejaVu Sans Mono",monospace}
.changes{background:#fff;border:1px solid #cbd5e1;border-radius:6px;padding:4px 12px 8px;margin:8px 0}
.changes h3{font-size:13px;margin:8px 0 3px}
.changes ul{margin:0;padding-left:18px}
.changes li{margin:2px 0}
.changes p{margin:3px 0}
.changes pre{margin:3px 0;padding:6px 10px;background:#0f172a;color:#e2e8f0;border-radius:4px;
font-size:12px;white-space:pre-wrap}
.warnings ul{margin:0;padding-left:0;list-style:none}
.warnings li{margin:3px 0;padding:5px 10px;border-left:6px solid;border-radius:3px}
.warnings li.danger{background:#fee2e2;border-color:#b91c1c}
.warnings li.warning{background:#fff7ed;border-color:#c2410c}
.warnings li.note{background:#eff6ff;border-color:#3b82f6}
.severity{display:inline-block;min-width:58px;font-size:11px;font-weight:bold;
text-transform:uppercase;margin-right:6px}
.danger .severity{color:#b91c1c}.warning .severity{color:#9a3412}.note .severity{color:#1d4ed8}
.kind{display:inline-block;font-size:11px;font-weight:bold;color:#475569;margin-right:8px;
font-family:"DejaVu Sans Mono",monospace}
.none{color:#15803d}
)";

const char kSharedDefs[] =
    "<svg width=\"0\" height=\"0\" style=\"position:absolute\" aria-hidden=\"true\"><defs>"
    "<pattern id=\"free-space\" width=\"8\" height=\"8\" patternUnits=\"userSpaceOnUse\" "
    "patternTransform=\"rotate(45)\"><rect width=\"8\" height=\"8\" fill=\"#f8fafc\"/>"
    "<line x1=\"0\" y1=\"0\" x2=\"0\" y2=\"8\" stroke=\"#cbd5e1\" stroke-width=\"3\"/></pattern>"
    "<pattern id=\"unseen\" width=\"10\" height=\"10\" patternUnits=\"userSpaceOnUse\" "
    "patternTransform=\"rotate(-45)\"><line x1=\"0\" y1=\"0\" x2=\"0\" y2=\"10\" "
    "stroke=\"#0f172a\" stroke-opacity=\".35\" stroke-width=\"3\"/></pattern>"
    "</defs></svg>\n";

std::string Legend() {
  std::string html = "<div class=\"legend\"><span>Roles the run found, on the after row:</span>";
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
      "<span><span class=\"chip\" style=\"background:repeating-linear-gradient(-45deg,"
      "#e2e8f0 0 4px,#94a3b8 4px 7px);border-style:dashed\"></span>never seen by the run</span>"
      "<span><span class=\"chip letter-new\" style=\"background:#fde047\"></span>letter the run "
      "defined or moved</span>"
      "<span>second role: bottom band</span></div>\n";
  return html;
}

}  // namespace quorvane::report::picture
