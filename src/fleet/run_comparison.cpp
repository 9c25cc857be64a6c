// Comparing a predicted run with the real one, field by field.
#include "fleet/run_comparison.h"

#include <algorithm>

#include "fleet/table_cells.h"

namespace quorvane::fleet {
namespace {

std::string FlagText(bool flag) { return flag ? "true" : "false"; }

std::string WipedText(const std::optional<int32_t>& disk) {
  return disk ? "disk " + std::to_string(*disk) : "none";
}

bool SameOutcome(const CommandCell& a, const CommandCell& b) {
  if (a.started != b.started) return false;
  if (a.started) return !a.exitCode || !b.exitCode || *a.exitCode == *b.exitCode;
  return !a.lastError || !b.lastError || *a.lastError == *b.lastError;
}

void CompareCommands(const FleetRow& predicted, const FleetRow& actual,
                     std::vector<RunDifference>& out) {
  const auto& p = predicted.commands;
  const auto& a = actual.commands;
  if (predicted.commandsWhole && actual.commandsWhole) {
    for (size_t i = 0; i < std::max(p.size(), a.size()); ++i) {
      const CommandCell* left = i < p.size() ? &p[i] : nullptr;
      const CommandCell* right = i < a.size() ? &a[i] : nullptr;
      if (left && right && left->commandLine == right->commandLine && SameOutcome(*left, *right)) {
        continue;
      }
      out.push_back(RunDifference{"command", left ? CommandText(*left) : "",
                                  right ? CommandText(*right) : ""});
    }
    return;
  }
  for (const CommandCell& left : p) {
    auto right = std::find_if(a.begin(), a.end(), [&](const CommandCell& c) {
      return c.commandLine == left.commandLine;
    });
    if (right != a.end() && !SameOutcome(left, *right)) {
      out.push_back(RunDifference{"command", CommandText(left), CommandText(*right)});
    }
  }
}

}  // namespace

std::vector<RunDifference> CompareRuns(const FleetRow& predicted, const FleetRow& actual) {
  std::vector<RunDifference> out;
  if (!predicted.road.empty() && !actual.road.empty() && predicted.road != actual.road) {
    out.push_back(RunDifference{"road", predicted.road, actual.road});
  }
  const std::pair<const char*, std::optional<bool> FleetRow::*> flags[] = {
      {"ssdHddMode", &FleetRow::ssdHddMode},
      {"miniSsd", &FleetRow::miniSsd},
      {"rapidStart", &FleetRow::rapidStart}};
  for (const auto& [name, member] : flags) {
    const auto& left = predicted.*member;
    const auto& right = actual.*member;
    if (left && right && *left != *right) {
      out.push_back(RunDifference{name, FlagText(*left), FlagText(*right)});
    }
  }
  if (!predicted.road.empty() && !actual.road.empty() && predicted.wipedDisk != actual.wipedDisk) {
    out.push_back(
        RunDifference{"wipedDisk", WipedText(predicted.wipedDisk), WipedText(actual.wipedDisk)});
  }
  CompareCommands(predicted, actual, out);
  return out;
}

std::string DifferenceText(const RunDifference& d) {
  auto side = [](const std::string& text) { return text.empty() ? std::string("nothing") : text; };
  return d.what + ": predicted " + side(d.predicted) + ", actual " + side(d.actual);
}

}  // namespace quorvane::fleet
