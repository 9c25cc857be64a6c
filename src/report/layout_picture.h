// The layout picture of a run: a self-contained HTML page drawn from the run's report.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "report/run_report.h"

namespace quorvane::report {

// The whole page: UTF-8, inline SVG and CSS, nothing loaded from elsewhere.
std::string RenderLayoutPicture(const RunReport& report);

// Widths of the segments of a bar `total` wide: proportional to the sizes, none narrower than its
// minimum; when the minimums alone do not fit, they are scaled down to fit exactly.
std::vector<double> SegmentWidths(const std::vector<int64_t>& sizes,
                                  const std::vector<double>& minimums, double total);

// Text made safe for HTML content and attribute values; invalid UTF-8 and control characters
// become U+FFFD.
std::string EscapeHtml(const std::string& text);

}  // namespace quorvane::report
