// The grammar of a run's log: the lines that mark how far a run got, in the order it writes them,
// the line that ends each part and each road, and the command lines it starts. Readers of a log
// take the run's order from here, never from a copy of their own.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace quorvane {

// The road a run takes after its flag summary (exactly one; CLayoutJob::m_Road records it).
enum class Road : uint8_t { Register, RapidStart, None };
inline constexpr std::array<Road, 3> kRoads = {Road::Register, Road::RapidStart, Road::None};

// The road's first line; for Road::None also its last.
const wchar_t* RoadFirstLine(Road road);
// The command whose outcome ends the road ("" for Road::None): the registration script, the
// carving's diskpart command line. The registration also ends without it (no recovery image, or
// no script), the carving with one of RapidStartSkipLines().
std::wstring RoadCommandLine(Road road);
std::array<const wchar_t*, 2> RapidStartSkipLines();
// The copy's command, whose outcome is the run's last line when the recovery partition was found.
std::wstring CopyCommandLine();
// The run's first line is one of these two (the capability record read or not).
std::array<const wchar_t*, 2> RunStartLines();
// The flag summary, in the order written: separator, the three flags, separator.
std::array<const wchar_t*, 5> FlagSummaryLines();

// The lines that mark where a run is; every other line of a run falls between them.
enum class Landmark : uint8_t {
  RunStart,      // the run's first line
  PbrPartition,  // the first part's last line once the log moves to M:
  PbrLetter,     // the first line on M: (on X: when M: cannot take the log)
  SummaryLine,   // the next line of the flag summary
  RoadStart,     // a road's first line
  CarveSkipped,  // a line of RapidStartSkipLines()
  RoadCommand,   // the road's command line, just before it runs
  CopyStart,     // the copy's first line, just before its command runs
  CallError,     // the command could not start; "ExitCode:0x0" follows
  ExitCode,      // the command ended
};

// How far a run's log has got. A run's log is two parts: on the RAM drive from the first line to
// "PBR Partition", then on M: from "PBR letter" on (all on X: when M: cannot take it).
enum class LogStage : uint8_t {
  NotStarted,
  FirstPart,      // "PBR Partition" still to come
  FirstPartOver,  // "PBR letter" next
  SummaryNext,    // the flag summary next; SummaryLines counts how far it got
  RoadNext,       // the road's first line next
  InRoad,
  RoadCommand,    // the road's command ran: its exit code next
  RoadCallError,  // it could not start: "ExitCode:0x0" next
  RoadOver,       // the copy next when the recovery partition was found
  CopyRunning,    // the copy's exit code next
  CopyCallError,  // "ExitCode:0x0" next
  RunOver,
};

struct LogPosition {
  LogStage stage = LogStage::NotStarted;
  Road road = Road::None;    // from RoadStart on
  uint8_t summaryLines = 0;  // lines of the flag summary read
};

// The position after a landmark, or nothing when the landmark cannot come there (lines are
// missing between them). `road` goes with RoadStart; `summaryLine` with SummaryLine: the line's
// place in FlagSummaryLines() (either separator may be given as 0).
std::optional<LogPosition> Advance(const LogPosition& at, Landmark landmark, Road road = Road::None,
                                   size_t summaryLine = 0);

// What must still come after `at` for the run to be over: its landmark, the line (a format where a
// number is not known), whether its whole key is known (only then can the INI writer have merged
// it into an earlier line of the same millisecond), and the command it belongs to ("" for none).
// `pbrFound` is whether the run found the recovery partition; empty when the log does not tell.
// Nothing when the run is over. A started command is never merged: it takes time, so its exit
// code is stamped later than every line before it.
struct NextLine {
  Landmark landmark = Landmark::RunStart;
  std::wstring line;
  bool keyKnown = false;
  std::wstring command;
};
std::optional<NextLine> WhatFollows(const LogPosition& at, std::optional<bool> pbrFound);

}  // namespace quorvane
