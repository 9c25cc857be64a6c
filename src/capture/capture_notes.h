// The notes of a capture: what it could not read on the machine, or wrote in another form, each a
// sentence for a technician with the raw fact after it, grouped by what it means for the run.
#pragma once

#include <string>
#include <vector>

#include "platform/sim/profile.h"

namespace quorvane::capture {

using Notes = std::vector<sim::CaptureNote>;

// The profile holds a stand-in where the run on the machine may read otherwise: a run of the
// profile may not be what the machine does.
inline void AddGuess(Notes& notes, std::string text, std::string fact) {
  notes.push_back(sim::CaptureNote{true, std::move(text), std::move(fact)});
}

// The profile holds what the run itself reads on the machine: the prediction stands.
inline void AddFact(Notes& notes, std::string text, std::string fact) {
  notes.push_back(sim::CaptureNote{false, std::move(text), std::move(fact)});
}

// "12 notes: 5 may change the prediction, 7 do not".
std::string NoteCounts(const Notes& notes);

// What a captured profile holds, as its description and the capture's first line say it: "3 disks,
// 5 drive letters, 12 notes: ...". Every letter counts, a partition's or a drive's.
std::string CaptureCounts(const sim::Profile& profile);

// The notes for a console, within its width: each group under a heading with its count, the notes
// that may change the prediction first; each note's sentence, then its fact.
std::string NotesForConsole(const Notes& notes);

}  // namespace quorvane::capture
