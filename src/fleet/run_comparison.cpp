// Comparing a predicted run with the real one, field by field.
#include "fleet/run_comparison.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "base/utf8_path.h"
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

// Beyond this many cells the alignment would cost more than it is worth (a damaged log can hold
// any number of command lines): the lists are then compared position by position.
constexpr size_t kMostAlignmentCells = size_t{1} << 20;

void Difference(const CommandCell* left, const CommandCell* right,
                std::vector<RunDifference>& out) {
  out.push_back(
      RunDifference{"command", left ? CommandText(*left) : "", right ? CommandText(*right) : ""});
}

// Both lists whole, aligned on their command lines (a longest common subsequence): a command only
// one run started shows alone, and a shared one is compared with its own counterpart.
void AlignCommands(const std::vector<CommandCell>& p, const std::vector<CommandCell>& a,
                   std::vector<RunDifference>& out) {
  const size_t n = p.size(), m = a.size();
  // common[i][j]: the longest common run of p[i..] and a[j..].
  std::vector<std::vector<uint32_t>> common(n + 1, std::vector<uint32_t>(m + 1, 0));
  for (size_t i = n; i-- > 0;) {
    for (size_t j = m; j-- > 0;) {
      common[i][j] = p[i].commandLine == a[j].commandLine
                         ? common[i + 1][j + 1] + 1
                         : std::max(common[i + 1][j], common[i][j + 1]);
    }
  }
  size_t i = 0, j = 0;
  while (i < n || j < m) {
    if (i < n && j < m && p[i].commandLine == a[j].commandLine) {
      if (!SameOutcome(p[i], a[j])) Difference(&p[i], &a[j], out);
      ++i;
      ++j;
    } else if (j == m || (i < n && common[i + 1][j] >= common[i][j + 1])) {
      Difference(&p[i++], nullptr, out);
    } else {
      Difference(nullptr, &a[j++], out);
    }
  }
}

void CompareCommands(const FleetRow& predicted, const FleetRow& actual,
                     std::vector<RunDifference>& out) {
  const auto& p = predicted.commands;
  const auto& a = actual.commands;
  if (predicted.commandsWhole && actual.commandsWhole &&
      (p.size() + 1) * (a.size() + 1) <= kMostAlignmentCells) {
    AlignCommands(p, a, out);
    return;
  }
  if (predicted.commandsWhole && actual.commandsWhole) {
    for (size_t i = 0; i < std::max(p.size(), a.size()); ++i) {
      const CommandCell* left = i < p.size() ? &p[i] : nullptr;
      const CommandCell* right = i < a.size() ? &a[i] : nullptr;
      if (left && right && left->commandLine == right->commandLine && SameOutcome(*left, *right)) {
        continue;
      }
      Difference(left, right, out);
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

// The machine's name as names are matched.
std::string Key(const std::string& machine) {
  std::string key = machine;
  for (char& c : key) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return key;
}

// Notes each row whose machine's name another row of the same side has too.
void NoteSharedNames(std::vector<FleetRow>& rows, const char* what) {
  std::map<std::string, size_t> count;
  for (const FleetRow& row : rows) ++count[Key(row.machine)];
  for (FleetRow& row : rows) {
    const size_t n = count[Key(row.machine)];
    if (n < 2) continue;
    row.notes.push_back(std::to_string(n) + " " + what +
                        " name this machine: they are paired with " +
                        "the other side's rows of this name in order");
  }
}

// The profile's file name without ".json", as a log folder may be named after it.
std::string FileStem(const std::string& profileFile) {
  return Utf8OfPath(PathFromUtf8(profileFile).stem());
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

std::vector<FleetRow> JoinRuns(std::vector<FleetRow> predicted, std::vector<FleetRow> actual) {
  NoteSharedNames(actual, "log folders");
  // Each name's actual rows in order, taken one by one as predicted rows of that name come.
  std::map<std::string, std::vector<size_t>> unpaired;
  for (size_t i = actual.size(); i-- > 0;) unpaired[Key(actual[i].machine)].push_back(i);

  // A profile claims the machine of its name, or else the one of its file name.
  std::vector<std::string> claims;
  std::map<std::string, std::vector<size_t>> claimants;
  for (size_t i = 0; i < predicted.size(); ++i) {
    std::string claim = Key(predicted[i].machine);
    const std::string stem = Key(FileStem(predicted[i].profileFile));
    if (!unpaired.count(claim) && unpaired.count(stem)) claim = stem;
    claimants[claim].push_back(i);
    claims.push_back(std::move(claim));
  }
  for (const auto& [claim, rows] : claimants) {
    if (rows.size() < 2) continue;
    std::string files;
    for (size_t i : rows) files += (files.empty() ? "" : ", ") + predicted[i].profileFile;
    for (size_t i : rows) {
      predicted[i].notes.push_back(std::to_string(rows.size()) + " profiles claim machine " +
                                   predicted[i].machine + " (by name or file name): " + files +
                                   "; they are paired with its logs in this order");
    }
  }

  std::vector<FleetRow> rows;
  rows.reserve(predicted.size() + actual.size());
  std::vector<bool> paired(actual.size(), false);
  for (size_t p = 0; p < predicted.size(); ++p) {
    FleetRow& left = predicted[p];
    auto& waiting = unpaired[claims[p]];
    if (waiting.empty()) {
      left.comparison = Comparison::NoLog;
      rows.push_back(std::move(left));
      continue;
    }
    FleetRow& right = actual[waiting.back()];
    paired[waiting.back()] = true;
    waiting.pop_back();
    const auto differences = CompareRuns(left, right);
    const Comparison comparison = !differences.empty()                  ? Comparison::Differs
                                  : RowFailed(left) || RowFailed(right) ? Comparison::Incomplete
                                                                        : Comparison::Same;
    left.comparison = right.comparison = comparison;
    left.differences = right.differences = differences;
    rows.push_back(std::move(left));
    rows.push_back(std::move(right));
  }
  for (size_t i = 0; i < actual.size(); ++i) {
    if (paired[i]) continue;
    actual[i].comparison = Comparison::NoProfile;
    rows.push_back(std::move(actual[i]));
  }
  return rows;
}

std::vector<ComparedMachine> MachinesNotSame(const std::vector<FleetRow>& rows) {
  std::vector<ComparedMachine> listed;
  for (size_t i = 0; i < rows.size(); ++i) {
    const FleetRow& row = rows[i];
    if (!row.comparison) continue;
    ComparedMachine machine;
    if (row.source == RowSource::Log) {
      machine.actual = &row;
    } else {
      machine.predicted = &row;
      // JoinRuns puts a pair's actual row right after its predicted one.
      if (*row.comparison != Comparison::NoLog && i + 1 < rows.size()) machine.actual = &rows[++i];
    }
    if (*row.comparison != Comparison::Same) listed.push_back(machine);
  }
  // What went otherwise than predicted first, then the machines on one side only.
  std::stable_partition(listed.begin(), listed.end(), [](const ComparedMachine& m) {
    const Comparison c = *m.Either().comparison;
    return c == Comparison::Differs || c == Comparison::Incomplete;
  });
  return listed;
}

}  // namespace quorvane::fleet
