// An 8-bit INI file as the Windows private-profile writer keeps it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvane::sim {

class IniFile {
 public:
  IniFile() = default;
  // Reads existing bytes; every line is kept as it stands.
  static IniFile Parse(std::string_view bytes);

  // Sets `key` in `section` as Windows does. A line's key is its text before the line's first
  // '=', blanks at its ends removed, compared without regard to ASCII case. A matching line keeps
  // its key text and takes the new value; a key that matches no line (a key holding '=' never
  // does) is added after the section's last non-blank line; a missing section is added at the
  // end. Every other line keeps its bytes.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  // Every line ended by CR LF.
  const std::string& Bytes() const { return bytes_; }
  // Hands the bytes over (to the file that holds them) and takes them back unchanged, so that a
  // file written line by line is neither copied nor parsed again.
  std::string Release() { return std::move(bytes_); }
  void Adopt(std::string&& bytes) { bytes_ = std::move(bytes); }

 private:
  struct Line {
    size_t start = 0;   // in bytes_
    size_t length = 0;  // without its CR LF
    // Its key (text before the first '=', blanks trimmed) as offset and length within the line;
    // npos when it holds no '='. A section line holds none.
    size_t keyStart = 0;
    size_t keyLength = std::string::npos;
  };
  static Line Measure(std::string_view text, size_t start);
  std::string_view Text(const Line& line) const;
  void Insert(size_t index, const std::string& text);
  void Replace(size_t index, const std::string& text);

  std::string bytes_;
  std::vector<Line> lines_;
};

bool EqualsIgnoreCaseAscii8(std::string_view a, std::string_view b);

}  // namespace quorvane::sim
