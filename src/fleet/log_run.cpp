// Putting a machine's latest run together from the parts its log files hold.
#include "fleet/log_run.h"

#include <algorithm>

namespace quorvane::fleet {
namespace {

struct Piece {
  const LogFile* file = nullptr;
  size_t begin = 0;
  size_t end = 0;  // one past the last line
  LogPart part = LogPart::Early;
  bool movedOn = false;  // an early part that holds "PBR letter": the log never went to M:

  const LogLine& First() const { return file->lines[begin]; }
  const LogLine& Last() const { return file->lines[end - 1]; }
  size_t Size() const { return end - begin; }
};

bool SameLine(const LogLine& a, const LogLine& b) {
  return a.ms == b.ms && a.message.message == b.message.message &&
         a.message.value == b.message.value;
}

void SplitFile(const LogFile& file, std::vector<Piece>& pieces, std::vector<std::string>& notes) {
  if (file.verdict == FileVerdict::Foreign) return;
  Piece* current = nullptr;
  for (size_t i = 0; i < file.lines.size(); ++i) {
    const LineKind kind = file.lines[i].message.kind;
    const bool continuesOnX = kind == LineKind::PbrLetter && current != nullptr &&
                              current->part == LogPart::Early && !current->movedOn;
    if (kind == LineKind::RunStart || (kind == LineKind::PbrLetter && !continuesOnX) ||
        current == nullptr) {
      if (current == nullptr && kind != LineKind::RunStart && kind != LineKind::PbrLetter) {
        notes.push_back(file.path + " begins in the middle of a run (line " +
                        std::to_string(file.lines[i].number) + ")");
      }
      pieces.push_back(
          Piece{&file, i, i, kind == LineKind::RunStart ? LogPart::Early : LogPart::Late, false});
      current = &pieces.back();
    }
    current->end = i + 1;
    if (kind == LineKind::PbrLetter && current->part == LogPart::Early) current->movedOn = true;
  }
}

// Copies of one part (the RAM-drive log and its RYTOOLS copy) begin with the same line: the
// longer one is read.
void DropCopies(std::vector<Piece>& pieces, std::vector<std::string>& notes) {
  std::vector<Piece> kept;
  for (const Piece& piece : pieces) {
    auto twin = std::find_if(kept.begin(), kept.end(), [&](const Piece& other) {
      return other.part == piece.part && SameLine(other.First(), piece.First());
    });
    if (twin == kept.end()) {
      kept.push_back(piece);
      continue;
    }
    const Piece& longer = twin->Size() >= piece.Size() ? *twin : piece;
    const Piece& shorter = twin->Size() >= piece.Size() ? piece : *twin;
    for (size_t i = 0; i < shorter.Size(); ++i) {
      if (!SameLine(shorter.file->lines[shorter.begin + i], longer.file->lines[longer.begin + i])) {
        notes.push_back(shorter.file->path + " and " + longer.file->path +
                        " hold one part of a run but differ; the longer one is read");
        break;
      }
    }
    *twin = longer;
  }
  pieces = std::move(kept);
}

}  // namespace

MachineRun LatestRun(const std::vector<LogFile>& files) {
  MachineRun run;
  std::vector<Piece> pieces;
  pieces.reserve(8);
  for (const LogFile& file : files) SplitFile(file, pieces, run.notes);
  DropCopies(pieces, run.notes);
  std::stable_sort(pieces.begin(), pieces.end(), [](const Piece& a, const Piece& b) {
    if (a.First().ms != b.First().ms) return a.First().ms < b.First().ms;
    return a.part == LogPart::Early && b.part == LogPart::Late;
  });

  struct Joined {
    const Piece* early = nullptr;
    const Piece* late = nullptr;
  };
  std::vector<Joined> runs;
  for (const Piece& piece : pieces) {
    if (piece.part == LogPart::Early) {
      runs.push_back(Joined{&piece, nullptr});
      continue;
    }
    Joined* open = runs.empty() ? nullptr : &runs.back();
    if (open != nullptr && open->early != nullptr && open->late == nullptr &&
        !open->early->movedOn && open->early->Last().ms <= piece.First().ms) {
      open->late = &piece;
    } else {
      runs.push_back(Joined{nullptr, &piece});
    }
  }
  if (runs.empty()) return run;

  const Joined& latest = runs.back();
  run.earlierRuns = runs.size() - 1;
  for (const Piece* piece : {latest.early, latest.late}) {
    if (piece == nullptr) continue;
    (piece->part == LogPart::Early ? run.hasEarly : run.hasLate) = true;
    for (size_t i = piece->begin; i < piece->end; ++i) {
      run.lines.push_back(RunLine{&piece->file->lines[i], piece->part});
    }
  }
  return run;
}

}  // namespace quorvane::fleet
