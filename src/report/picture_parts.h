// The parts of the layout picture page besides the bars: style, text widths, changes, warnings.
#pragma once

#include <string>
#include <vector>

#include "report/run_report.h"

namespace quorvane::report::picture {

// The page's style sheet, and the SVG patterns every bar refers to.
extern const char kStyleSheet[];
extern const char kSharedDefs[];

struct RoleStyle {
  PartitionRole role;
  const char* name;  // the role slot's, as in summary.json
  const char* css;
  const char* shortName;
  const char* legend;
};
const RoleStyle& StyleOf(PartitionRole role);

std::string Legend();
// What the run changed: disks, the diskpart scripts inline, letters, files.
std::string ChangesSection(const RunReport& report);
// Each role slot with what the run did with it.
std::string RolesSection(const RunReport& report);
// The warnings, most severe first, each marked with its severity.
std::string WarningsSection(const RunReport& report);
std::string OtherLetters(const std::vector<LetterReport>& letters);

// The width in pixels of a text at a font size, measured on the page's bold font.
double TextWidth(const std::string& text, double fontPx);
// The text, or as much of it as fits `room` pixels followed by an ellipsis.
std::string FitText(const std::string& text, double room, double fontPx);

std::string Join(const std::vector<std::string>& parts, const char* separator);

}  // namespace quorvane::report::picture
