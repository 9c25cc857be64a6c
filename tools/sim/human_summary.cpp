// Printing a run's summary for a person at a terminal.
#include "human_summary.h"

#include <cstdio>
#include <string>
#include <vector>

namespace quorvane::sim {
namespace {

using Json = nlohmann::ordered_json;
constexpr size_t kWidth = 80;
constexpr size_t kLabelWidth = 11;

std::string FlagText(const Json& v) { return v.is_null() ? "not logged" : v.dump(); }

// One labelled entry; long texts wrap at blanks (or hard at the width) under
// the text column.
void Entry(std::ostream& out, const std::string& label, std::string text) {
  std::string prefix =
      label + std::string(kLabelWidth - std::min(label.size(), kLabelWidth - 1), ' ');
  const size_t room = kWidth - kLabelWidth;
  while (text.size() > room) {
    size_t cut = text.rfind(' ', room);
    if (cut == std::string::npos || cut < room / 2) cut = room;
    out << prefix << text.substr(0, cut) << "\n";
    text = text.substr(cut);
    if (!text.empty() && text.front() == ' ') text.erase(0, 1);
    prefix = std::string(kLabelWidth + 2, ' ');
  }
  out << prefix << text << "\n";
}

}  // namespace

void PrintHumanSummary(const Json& summary, const std::filesystem::path& outDir,
                       std::ostream& out) {
  Entry(out, "Machine", summary["profile"].get<std::string>());
  const Json& flags = summary["flags"];
  Entry(out, "Road",
        summary["road"].get<std::string>() + " (ssdHddMode " + FlagText(flags["ssdHddMode"]) +
            ", miniSsd " + FlagText(flags["miniSsd"]) + ", rapidStart " +
            FlagText(flags["rapidStart"]) + ")");

  std::string found, missing;
  for (const auto& [role, slot] : summary["roles"].items()) {
    if (slot["found"].get<bool>()) {
      found += (found.empty() ? "" : ", ") + role + " disk " + slot["disk"].dump() + " partition " +
               slot["partition"].dump();
    } else {
      missing += (missing.empty() ? "" : ", ") + role;
    }
  }
  Entry(out, "Roles", found.empty() ? "none found" : found);
  if (!missing.empty()) Entry(out, "", "not found: " + missing);

  bool first = true;
  for (const auto& [letter, target] : summary["letters"].items()) {
    Entry(out, first ? "Letters" : "", letter + " " + target.get<std::string>());
    first = false;
  }

  first = true;
  for (const auto& command : summary["commands"]) {
    std::string code = command["started"].get<bool>() ? "exit " + command["exitCode"].dump()
                                                      : std::string("not started");
    Entry(out, first ? "Commands" : "",
          "[" + code + "] " + command["commandLine"].get<std::string>());
    first = false;
  }
  if (first) Entry(out, "Commands", "none");

  first = true;
  for (const auto& box : summary["messageBoxes"]) {
    Entry(out, first ? "Boxes" : "",
          "\"" + box["text"].get<std::string>() + "\" (" + box["caption"].get<std::string>() + ")");
    first = false;
  }
  if (first) Entry(out, "Boxes", "none");

  first = true;
  for (const auto& warning : summary["warnings"]) {
    Entry(out, first ? "Warnings" : "", warning["text"].get<std::string>());
    first = false;
  }

  char duration[64];
  std::snprintf(duration, sizeof duration, "%.3f s",
                static_cast<double>(summary["simulatedMs"].get<uint64_t>()) / 1000.0);
  Entry(out, "Simulated", duration);
  first = true;
  for (const auto& log : summary["logFiles"]) {
    Entry(out, first ? "Logs" : "", (outDir / log.get<std::string>()).generic_string());
    first = false;
  }
  if (first) Entry(out, "Logs", "none written");
  Entry(out, "Summary", (outDir / "summary.json").generic_string());
}

}  // namespace quorvane::sim
