// The transcripts' text of values and of the stand-ins' runs.
#include "tests/contract/shown.h"

#include "base/text.h"

namespace quorvane::contract {

std::string Show(bool value) { return value ? "true" : "false"; }
std::string Show(int64_t value) { return std::to_string(value); }

std::string Show(const std::string& bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (unsigned char c : bytes) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
  return out + "\"";
}

std::string Show(const std::wstring& text) { return Show(Narrow8(text)); }

std::string Show(const std::optional<std::string>& bytes) {
  return bytes ? Show(*bytes) : "<none>";
}

std::string Show(const std::optional<std::wstring>& text) { return text ? Show(*text) : "<none>"; }

std::string Show(const std::vector<std::wstring>& texts) {
  std::string out;
  for (const auto& text : texts) out += (out.empty() ? "" : " ") + Show(text);
  return "[" + out + "]";
}

std::string ToolRunText(const sim::ToolRun& run) {
  std::string line = Narrow8(run.program);
  for (const auto& arg : run.args) line += " " + Show(arg);
  return line + ": exit " + std::to_string(run.exitCode) + ", printed " + Show(run.output);
}

}  // namespace quorvane::contract
