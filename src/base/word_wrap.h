// Text broken into lines between words, to fit a console.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace quorvane {

// The widest line either program prints: a line of exactly 80 characters makes an 80-column
// console wrap and leave a blank line after it.
inline constexpr size_t kConsoleWidth = 79;

// Lines of at most `firstWidth` characters, then `width`, broken at blanks (the blanks of a break
// go). A word longer than a line stands whole on a line of its own: a path cut in two cannot be
// copied from the console.
std::vector<std::string> BreakBetweenWords(const std::string& text, size_t firstWidth,
                                           size_t width);

// `text` led by `lead` and broken to kConsoleWidth, each further line indented by `hang` blanks;
// every line ends in "\n".
std::string Wrapped(const std::string& lead, const std::string& text, size_t hang);

}  // namespace quorvane
