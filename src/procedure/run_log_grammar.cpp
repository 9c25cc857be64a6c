// The run log's grammar: the order of its landmarks and what must follow each of them.
#include "procedure/run_log_grammar.h"

#include "base/text.h"
#include "classify/capability_decision.h"
#include "procedure/layout_sequence.h"
#include "procedure/log_copy.h"
#include "procedure/rapid_start.h"
#include "procedure/recovery_registration.h"
#include "run/run_log.h"

namespace quorvane {

const wchar_t* RoadFirstLine(Road road) {
  switch (road) {
    case Road::Register:
      return kRegisterLine;
    case Road::RapidStart:
      return kCarveLine;
    case Road::None:
      break;
  }
  return kNoRoadLine;
}

std::wstring RoadCommandLine(Road road) {
  switch (road) {
    case Road::Register:
      return kRegistrationScript;
    case Road::RapidStart:
      return CarveCommandLine();
    case Road::None:
      break;
  }
  return L"";
}

std::array<const wchar_t*, 2> RapidStartSkipLines() { return {kInUseSkipLine, kTooSmallSkipLine}; }

std::wstring CopyCommandLine() { return CopyScriptPath(kPbrLetter); }

std::array<const wchar_t*, 2> RunStartLines() { return {kSmbiosSuccessLine, kSmbiosFailLine}; }

std::array<const wchar_t*, 5> FlagSummaryLines() {
  return {kSeparatorLine, kSsdHddModeLine, kMiniSsdLine, kRapidStartLine, kSeparatorLine};
}

std::optional<LogPosition> Advance(const LogPosition& at, Landmark landmark, Road road,
                                   size_t summaryLine) {
  LogPosition next = at;
  auto to = [&](LogStage stage) {
    next.stage = stage;
    return std::optional<LogPosition>(next);
  };
  const LogStage stage = at.stage;
  switch (landmark) {
    case Landmark::RunStart:
      if (stage == LogStage::NotStarted) return to(LogStage::FirstPart);
      break;
    case Landmark::PbrPartition:
      if (stage == LogStage::FirstPart) return to(LogStage::FirstPartOver);
      break;
    case Landmark::PbrLetter:
      // A log on M: read without its first part starts here.
      if (stage == LogStage::NotStarted || stage == LogStage::FirstPartOver) {
        next.summaryLines = 0;
        return to(LogStage::SummaryNext);
      }
      break;
    case Landmark::SummaryLine: {
      const auto lines = FlagSummaryLines();
      if (stage != LogStage::SummaryNext || summaryLine >= lines.size() ||
          std::wstring_view(lines[at.summaryLines]) != lines[summaryLine]) {
        break;
      }
      ++next.summaryLines;
      return to(next.summaryLines == lines.size() ? LogStage::RoadNext : LogStage::SummaryNext);
    }
    case Landmark::RoadStart:
      if (stage != LogStage::RoadNext) break;
      next.road = road;
      return to(road == Road::None ? LogStage::RoadOver : LogStage::InRoad);
    case Landmark::CarveSkipped:
      if (stage == LogStage::InRoad && at.road == Road::RapidStart) return to(LogStage::RoadOver);
      break;
    case Landmark::RoadCommand:
      if (stage == LogStage::InRoad) return to(LogStage::RoadCommand);
      break;
    case Landmark::CopyStart:
      // The registration may end silently (no image, no script); an "ExitCode:0x0" after a
      // command that could not start may have merged into an earlier one.
      if (stage == LogStage::RoadOver || stage == LogStage::RoadCallError ||
          (stage == LogStage::InRoad && at.road == Road::Register)) {
        return to(LogStage::CopyRunning);
      }
      break;
    case Landmark::CallError:
      if (stage == LogStage::RoadCommand) return to(LogStage::RoadCallError);
      if (stage == LogStage::CopyRunning) return to(LogStage::CopyCallError);
      return next;  // another command's: the road's and the copy's come with their own line
    case Landmark::ExitCode:
      if (stage == LogStage::RoadCommand || stage == LogStage::RoadCallError) {
        return to(LogStage::RoadOver);
      }
      if (stage == LogStage::CopyRunning || stage == LogStage::CopyCallError) {
        return to(LogStage::RunOver);
      }
      return next;
  }
  return std::nullopt;
}

namespace {
// Lines of which one follows, as a reader quotes them: A" or "B.
template <size_t N>
std::wstring Either(const std::array<const wchar_t*, N>& lines) {
  std::wstring text;
  for (const wchar_t* line : lines) text += (text.empty() ? L"" : L"\" or \"") + std::wstring(line);
  return text;
}

// One line; the INI writer never matches a key that holds '=', so only a key without one can
// have merged into an earlier line.
NextLine One(Landmark landmark, const std::wstring& line, const std::wstring& command = L"") {
  return NextLine{landmark, line, line.find(L'=') == std::wstring::npos, command};
}
}  // namespace

std::optional<NextLine> WhatFollows(const LogPosition& at, std::optional<bool> pbrFound) {
  // After a command that could not start, its exit code is 0.
  auto notStarted = [] { return Format(kExitCodeLine, {0u}); };
  const wchar_t* const anyCode = kExitCodeLine;
  switch (at.stage) {
    case LogStage::NotStarted:
      return NextLine{Landmark::RunStart, Either(RunStartLines()), false, L""};
    case LogStage::FirstPart:
      return One(Landmark::PbrPartition, kPbrPartitionLine);
    case LogStage::FirstPartOver:
      return One(Landmark::PbrLetter, kPbrLetterLine);
    case LogStage::SummaryNext:
      return One(Landmark::SummaryLine, FlagSummaryLines()[at.summaryLines]);
    case LogStage::RoadNext:
      return NextLine{Landmark::RoadStart,
                      Either(std::array<const wchar_t*, 3>{RoadFirstLine(Road::Register),
                                                           RoadFirstLine(Road::RapidStart),
                                                           RoadFirstLine(Road::None)}),
                      false, L""};
    case LogStage::InRoad:
      if (at.road == Road::RapidStart) return One(Landmark::RoadCommand, CarveCommandLine());
      // The registration goes no further than its first line without the recovery partition.
      if (pbrFound == false) return std::nullopt;
      return One(Landmark::CopyStart, kCopyLogLine);
    case LogStage::RoadCommand:
      return NextLine{Landmark::ExitCode, anyCode, false, RoadCommandLine(at.road)};
    case LogStage::RoadCallError:
      return One(Landmark::ExitCode, notStarted(), RoadCommandLine(at.road));
    case LogStage::RoadOver:
      if (pbrFound == false) return std::nullopt;
      return One(Landmark::CopyStart, kCopyLogLine);
    case LogStage::CopyRunning:
      return NextLine{Landmark::ExitCode, anyCode, false, CopyCommandLine()};
    case LogStage::CopyCallError:
      return One(Landmark::ExitCode, notStarted(), CopyCommandLine());
    case LogStage::RunOver:
      break;
  }
  return std::nullopt;
}

}  // namespace quorvane
