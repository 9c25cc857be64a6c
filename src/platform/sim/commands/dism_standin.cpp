// dism on the simulated machine: lists the images of a wim file.
#include "base/text.h"
#include "platform/sim/commands/command_words.h"
#include "platform/sim/commands/tool_standins.h"

namespace quorvane::sim::standin {

namespace {
constexpr uint32_t kFileNotFound = 2;
constexpr uint32_t kBadFormat = 11;
constexpr uint32_t kUnknownOption = 87;

constexpr std::string_view kHeader = "\nImage servicing tool\nVersion: 10.0.19041.844\n\n";
constexpr std::string_view kDone = "The operation completed successfully.\n";

// A switch of the form "/Name:value"; empty when absent.
std::optional<std::wstring> OptionValue(const std::vector<std::wstring>& args,
                                        std::wstring_view name) {
  for (const auto& arg : args) {
    if (arg.size() > name.size() && EqualsIgnoreCaseAscii(arg.substr(0, name.size()), name)) {
      return arg.substr(name.size());
    }
  }
  return std::nullopt;
}

bool HasSwitch(const std::vector<std::wstring>& args, std::wstring_view name) {
  for (const auto& arg : args) {
    if (EqualsIgnoreCaseAscii(arg, name)) return true;
  }
  return false;
}

std::string Error(uint32_t code, std::string_view text) {
  return std::string(kHeader) + "\nError: " + std::to_string(code) + "\n\n" + std::string(text) +
         "\n";
}

// "12,345,678" as the listing writes sizes.
std::string Grouped(uint64_t value) {
  std::string digits = std::to_string(value);
  for (size_t i = digits.size(); i > 3; i -= 3) digits.insert(i - 3, ",");
  return digits;
}

std::string Listing(const std::wstring& path, std::string_view wim) {
  std::string out = std::string(kHeader) + "Details for image : " + Narrow8(path) + "\n\n";
  uint64_t index = 0;
  for (const auto& name : SplitLines(wim)) {
    if (name.empty()) continue;
    ++index;
    std::string text = Narrow8(FromUtf8(name));
    // A made-up but steady size, so that runs compare byte for byte.
    uint64_t size = 14000000000ull + index * 123456789ull;
    out += "Index : " + std::to_string(index) + "\n";
    out += "Name : " + text + "\n";
    out += "Description : " + text + "\n";
    out += "Size : " + Grouped(size) + " bytes\n\n";
  }
  return out + std::string(kDone);
}

std::optional<std::string> GivenListing(CommandHost& host, const std::wstring& path) {
  for (const auto& [key, text] : host.Tools().dismOutput) {
    if (EqualsIgnoreCaseAscii(key, path)) return text;
  }
  return std::nullopt;
}
}  // namespace

ToolResult RunDism(CommandHost& host, const std::vector<std::wstring>& args) {
  std::optional<std::wstring> path = OptionValue(args, L"/WimFile:");
  if (!HasSwitch(args, L"/Get-WimInfo") || !path) {
    return {kUnknownOption, Error(kUnknownOption, "The option is unknown or incomplete.")};
  }
  std::optional<std::string> bytes;
  if (host.IsFile(*path)) bytes = host.ReadFile(*path);
  std::optional<std::string> given = GivenListing(host, *path);
  if (!bytes) {
    return {kFileNotFound,
            given ? *given : Error(kFileNotFound, "The system cannot find the file specified.")};
  }
  if (!std::string_view(*bytes).starts_with(kWimMarker)) {
    return {kBadFormat, given ? *given
                              : Error(kBadFormat,
                                      "An attempt was made to load a program with an incorrect "
                                      "format.")};
  }
  if (given) return {0, *given};
  return {0, Listing(*path, std::string_view(*bytes).substr(kWimMarker.size()))};
}

}  // namespace quorvane::sim::standin
