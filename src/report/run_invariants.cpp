// The run's invariants: the checks of one finished run, and the two that run its machine again.
#include "report/run_invariants.h"

#include <algorithm>
#include <map>

#include "base/text.h"
#include "report/build_report.h"
#include "report/invariant_checks.h"
#include "report/summary_json.h"

namespace quorvane::report {
namespace {

using invariants::Broken;
using invariants::CheckedRun;

// Every file the machine holds: "volumes/<volume>/<path>" to its bytes.
std::map<std::string, std::string> FileBytes(const sim::SimPlatform& machine) {
  std::map<std::string, std::string> files;
  for (const auto& [volume, tree] : machine.Volumes()) {
    const std::string folder = "volumes/" + volume + "/";
    tree.ForEachFile([&](const std::string& path, const sim::VolumeFiles::Entry& file) {
      files[folder + path] = file.bytes;
    });
  }
  return files;
}

void CheckSameBytes(const CheckedRun& run, const EngineRun& engine, Broken& broken) {
  sim::SimPlatform again(run.loaded);
  const auto job = engine(again);
  const auto first = FileBytes(run.machine);
  const auto second = FileBytes(again);
  for (const auto& [path, bytes] : first) {
    auto other = second.find(path);
    if (other == second.end()) {
      broken.push_back("a second run of the same machine did not leave " + path);
    } else if (other->second != bytes) {
      broken.push_back("a second run of the same machine left other bytes in " + path);
    }
  }
  for (const auto& [path, bytes] : second)
    if (!first.count(path)) broken.push_back("a second run of the same machine also left " + path);
  if (SummaryJson(BuildRunReport(run.loaded, again, *job)) != SummaryJson(run.report))
    broken.push_back("a second run of the same machine gave another summary.json");
}

std::string WithoutDigits(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c < '0' || c > '9') out += c;
  return out;
}

// The first line in which two texts differ, as "line N: \"...\"" of each.
std::pair<std::string, std::string> FirstDifferentLine(const std::string& a, const std::string& b) {
  size_t start = 0;
  while (true) {
    const size_t endA = std::min(a.find('\n', start), a.size());
    const size_t endB = std::min(b.find('\n', start), b.size());
    std::string lineA = a.substr(std::min(start, a.size()), endA - std::min(start, endA));
    std::string lineB = b.substr(std::min(start, b.size()), endB - std::min(start, endB));
    if (lineA != lineB || endA >= a.size() || endB >= b.size())
      return {Utf8From8Bit(lineA), Utf8From8Bit(lineB)};
    start = endA + 1;
  }
}

// Tools that print other words around the same numbers must leave every script as it was, digits
// apart: a script that changes took a tool's words.
void CheckNoToolTextInScripts(const CheckedRun& run, const EngineRun& engine, Broken& broken) {
  sim::SimPlatform reworded(run.loaded);
  reworded.RewordTools();
  engine(reworded);
  const auto& scripts = run.machine.ScriptWrites();
  const auto& others = reworded.ScriptWrites();
  if (scripts.size() != others.size()) {
    broken.push_back("the run wrote " + std::to_string(scripts.size()) +
                     " scripts, but with the tools printing other words " +
                     std::to_string(others.size()) + ": a tool's words decide its scripts");
    return;
  }
  for (size_t i = 0; i < scripts.size(); ++i) {
    const auto& script = scripts[i];
    const auto& other = others[i];
    if (script.path != other.path) {
      broken.push_back("script " + std::to_string(i + 1) + " was " + ToUtf8(script.path) +
                       ", but with the tools printing other words " + ToUtf8(other.path));
    } else if (WithoutDigits(script.text) != WithoutDigits(other.text)) {
      const auto [line, otherLine] = FirstDifferentLine(script.text, other.text);
      broken.push_back("script " + ToUtf8(script.path) +
                       " holds text from a tool's output: it reads \"" + line +
                       "\", and with the tools printing other words \"" + otherLine + "\"");
    }
  }
}

}  // namespace

std::unique_ptr<CLayoutJob> RunEngine(sim::SimPlatform& machine) {
  return std::make_unique<CLayoutJob>(machine);
}

std::vector<std::string> BrokenInvariants(const sim::Profile& loaded,
                                          const sim::SimPlatform& machine, const RunReport& report,
                                          const EngineRun& engine) {
  const CheckedRun run{loaded, machine, report};
  Broken broken;
  invariants::CheckCompleted(run, broken);
  CheckSameBytes(run, engine, broken);
  invariants::CheckWipes(run, broken);
  CheckNoToolTextInScripts(run, engine, broken);
  invariants::CheckLogLinesKept(run, broken);
  invariants::CheckWaits(run, broken);
  return broken;
}

}  // namespace quorvane::report
