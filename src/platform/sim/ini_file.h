// An 8-bit INI file as the Windows private-profile writer keeps it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvane::sim {

class IniFile {
 public:
  // Reads existing bytes: a key is the text before a line's first '='.
  static IniFile Parse(std::string_view bytes);

  // Replaces the value of `key` in `section` on its own line, or appends the
  // key at the end of the section; a missing section is added at the end.
  // Names compare ASCII case-insensitively as whole strings, so a key that was
  // set with an '=' in it is found again.
  void Set(const std::string& section, const std::string& key, const std::string& value);

  // Every line ended by CR LF.
  std::string Bytes() const;

 private:
  struct Line {
    std::string text;
    size_t keyLength = std::string::npos;  // npos: not a key line
  };
  static bool IsSection(const Line& line, const std::string& section);
  std::vector<Line> lines_;
};

bool EqualsIgnoreCaseAscii8(std::string_view a, std::string_view b);

}  // namespace quorvane::sim
