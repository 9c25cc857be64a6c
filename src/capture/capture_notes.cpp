// The notes of a capture as a console shows them.
#include "capture/capture_notes.h"

#include <algorithm>

#include "base/word_wrap.h"

namespace quorvane::capture {
namespace {

size_t Changing(const Notes& notes) {
  return static_cast<size_t>(std::count_if(
      notes.begin(), notes.end(), [](const auto& note) { return note.changesPrediction; }));
}

}  // namespace

std::string NoteCounts(const Notes& notes) {
  const size_t changing = Changing(notes);
  std::string text = std::to_string(notes.size()) + (notes.size() == 1 ? " note" : " notes");
  if (notes.empty()) return text;
  return text + ": " + std::to_string(changing) + " may change the prediction, " +
         std::to_string(notes.size() - changing) +
         (notes.size() - changing == 1 ? " does" : " do") + " not";
}

std::string CaptureCounts(const sim::Profile& profile) {
  size_t letters = profile.drives.size();
  for (const auto& disk : profile.disks)
    for (const auto& partition : disk.partitions) letters += partition.letter ? 1 : 0;
  const size_t disks = profile.disks.size();
  std::string text = std::to_string(disks) + (disks == 1 ? " disk, " : " disks, ") +
                     std::to_string(letters) + (letters == 1 ? " drive letter" : " drive letters");
  if (!profile.captureNotes.empty()) text += ", " + NoteCounts(profile.captureNotes);
  return text;
}

std::string NotesForConsole(const Notes& notes) {
  const size_t changing = Changing(notes);
  const struct {
    bool changes;
    size_t count;
    const char* one;
    const char* many;
  } groups[] = {
      {true, changing, " note may change the prediction", " notes may change the prediction"},
      {false, notes.size() - changing, " note does not change the prediction",
       " notes do not change the prediction"}};
  std::string out;
  for (const auto& group : groups) {
    if (group.count == 0) continue;
    out += Wrapped("",
                   std::to_string(group.count) + (group.count == 1 ? group.one : group.many) +
                       (group.changes ? ": the profile holds a stand-in for what the capture could "
                                        "not read, and the machine may differ"
                                      : ": the run reads the machine the same way"),
                   0);
    for (const auto& note : notes) {
      if (note.changesPrediction != group.changes) continue;
      if (!note.text.empty()) out += Wrapped("  - ", note.text, 4);
      out +=
          Wrapped(note.text.empty() ? "  - " : "    fact: ", note.fact, note.text.empty() ? 4 : 10);
    }
  }
  return out;
}

}  // namespace quorvane::capture
