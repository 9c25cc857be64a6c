// The short summary of a run for a person at a terminal.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>

#include "report/run_report.h"

namespace quorvane::report {

// The machine, the road and why, the roles and letters with the labels of their volumes, the
// commands, message boxes, what the run changed (files under `outDir`), the warnings by severity,
// the simulated duration and where the logs are. Lines fit 79 columns (kConsoleWidth), broken
// between words; only a word longer than that (a long path) stands longer on a line of its own,
// never cut. Paths are spelt with the system's separator, as a person there types them. The
// capture's notes that do not change the prediction are counted on one line. `colour` adds ANSI
// colours. `replaced`, when not empty, is a line after the logs: what the run replaced of an
// earlier run in `outDir`. `roadLast` moves the road and its reason to the end, where a console
// shows them after the rest has scrolled by.
void PrintTerminalSummary(const RunReport& report, const std::filesystem::path& outDir,
                          std::ostream& out, bool colour, const std::string& replaced = "",
                          bool roadLast = false);

// The text in its severity's colour (danger red, warning yellow, note cyan) when `colour`; as it
// is otherwise. Every summary a terminal shows colours by these.
std::string PaintSeverity(const std::string& text, Severity severity, bool colour);

}  // namespace quorvane::report
