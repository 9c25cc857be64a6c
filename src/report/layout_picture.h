// The layout picture of a run: a self-contained HTML page drawn from the run's report.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "report/run_report.h"

namespace quorvane::report {

// The whole page: UTF-8, inline SVG and CSS, nothing loaded from elsewhere.
std::string RenderLayoutPicture(const RunReport& report);

// Whether a file is a page RenderLayoutPicture wrote, known by its opening: the doctype and head
// up to the title's fixed end. `head` is the file's start (the whole file when `whole`).
bool IsLayoutPicture(std::string_view head, bool whole);

// Widths of the segments of a bar `total` wide: proportional to the sizes, none narrower than its
// minimum; when the minimums alone do not fit, they are scaled down to fit exactly.
std::vector<double> SegmentWidths(const std::vector<int64_t>& sizes,
                                  const std::vector<double>& minimums, double total);

// Text made safe for HTML content and attribute values; invalid UTF-8 and control characters
// become U+FFFD.
std::string EscapeHtml(const std::string& text);

}  // namespace quorvane::report
