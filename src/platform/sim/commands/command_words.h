// Splitting command lines into words and converting the text that simulated tools print.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvane::sim::standin {

// White-space-separated words; double quotes group blanks into a word and are
// dropped, as the command interpreter hands arguments to a program.
std::vector<std::wstring> SplitWords(std::wstring_view line);

// The first word of a command line as written (path included, quotes dropped).
std::wstring FirstWord(std::wstring_view line);

// The program a first word names: the name after the last '\' or '/', lower-case
// ASCII, without a trailing ".exe" ("C:\Windows\System32\ReagentC" -> "reagentc").
std::wstring ProgramName(std::wstring_view firstWord);

bool EndsWithIgnoreCase(std::wstring_view text, std::wstring_view end);

// Every line end becomes CR LF (a CR LF already there stays one).
std::string ToCrLf(std::string_view text);
// The lines of a text, without their CR LF or LF; a last line without an end counts.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace quorvane::sim::standin
