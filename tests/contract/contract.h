// The platform's contract: its behaviour written once, as cases, and run against the simulated
// machine (natively) and against Windows' own implementation (under Wine). Both must see the same.
//
//   Case{"file-delete", nullptr, [](Bench& b) {
//     b.see.Expect("deleted", Show(b.platform.DeleteFile(L"X:\\contract\\a.txt")), "true");
//   }}
//
// Each case runs on the contract machine (tests/contract/machine.json): the same drives on both
// platforms, the working folder X:\contract, the stand-ins of the system tools on the path.
#pragma once

#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "tests/contract/shown.h"

namespace quorvane::contract {

// What a case saw, one line a fact, and what it expected that did not come.
class Observer {
 public:
  explicit Observer(bool wine) : wine_(wine) {}
  // Records what was seen.
  void See(const std::string& what, const std::string& value);
  // Records what was seen and checks it.
  void Expect(const std::string& what, const std::string& got, const std::string& want);
  // A fact that Wine is known to show otherwise (docs/simulator.md says why): it is recorded as
  // Windows shows it; under Wine, Wine's value is the one expected. Given before the fact is seen
  // (by a step that records it itself), it applies to the next See of `what`.
  void Known(const std::string& what, const std::string& got, const std::string& windows,
             const std::string& wine);
  void Known(const std::string& what, const std::string& windows, const std::string& wine);
  const std::vector<std::string>& seen() const { return seen_; }
  const std::vector<std::string>& failures() const { return failures_; }
  const std::vector<std::string>& notes() const { return notes_; }  // Wine's known answers

 private:
  bool wine_;
  std::vector<std::string> seen_;
  std::vector<std::string> failures_;
  std::vector<std::string> notes_;
  std::map<std::string, std::pair<std::string, std::string>> known_;  // what -> Windows, Wine
};

struct Bench {
  Platform& platform;
  Observer& see;
  // The stand-ins' runs since the last call, one line each, as ToolRunText gives them.
  std::function<std::vector<std::string>()> toolRuns;
};

struct Case {
  const char* name;
  // Why Wine cannot show this behaviour (one line); null when both platforms run the case.
  const char* simulatorOnly;
  void (*run)(Bench& bench);
  // The case needs the read-only drive O:, which Wine shows only on a read-only mount.
  bool readOnlyDrive = false;
};

std::vector<Case> PlatformCases();
std::vector<Case> ScriptCases();

struct RunOptions {
  bool wine = false;          // the platform is Wine's
  bool bothOnly = false;      // leave out the cases the simulator runs alone
  bool readOnlyDrive = true;  // O: is read-only on this machine
  bool list = false;          // name the cases without running them
};

// Runs every case and prints its transcript and verdict:
//   case NAME / "  what = value" lines / "ok NAME" or "FAIL NAME: ..."
//   "simulator only NAME: why" for a case left out, "known NAME: ..." for Wine's own answers.
// Returns how many cases failed.
int RunCases(Platform& platform, const std::function<std::vector<std::string>()>& toolRuns,
             const RunOptions& options, std::FILE* out);

}  // namespace quorvane::contract
