// The capture command: collect, convert, write the one file, report.
#include "capture/capture_command.h"

#include <exception>

#include "base/text.h"
#include "base/word_wrap.h"
#include "capture/capture_files.h"
#include "capture/capture_notes.h"
#include "capture/collect_facts.h"
#include "capture/facts_to_profile.h"
#include "platform/sim/profile_writer.h"

namespace quorvane::capture {

std::string ProfileNameOf(const std::wstring& file) {
  const size_t slash = file.find_last_of(L"\\/:");
  std::wstring name = slash == std::wstring::npos ? file : file.substr(slash + 1);
  const size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos && dot > 0) name.erase(dot);
  return ToUtf8(name);
}

CaptureOutcome RunCapture(Platform& platform, CaptureSystem& system, const std::wstring& file,
                          const OutputCheck& check, const std::wstring& shownAs) {
  CaptureOutcome outcome;
  sim::Profile profile;
  std::string text;
  // Whatever goes wrong, the capture says so in one line and fails: no profile is better than a
  // half-read one taken for the machine.
  try {
    const MachineFacts facts = CollectFacts(platform, system);
    if (check) {
      if (const std::string refused = check(FilesRead(facts)); !refused.empty()) {
        outcome.status = 2;
        outcome.error = "quorvane: " + refused + "\n";
        return outcome;
      }
    }
    profile = ProfileFromFacts(facts, ProfileNameOf(file));
    text = sim::WriteProfile(profile);
  } catch (const std::exception& e) {
    outcome.status = 1;
    outcome.error = "quorvane: the capture failed: " + std::string(e.what()) + "\n";
    return outcome;
  } catch (...) {
    outcome.status = 1;
    outcome.error = "quorvane: the capture failed\n";
    return outcome;
  }
  if (const std::string why = system.WriteNewFile(file, text); !why.empty()) {
    outcome.status = 1;
    outcome.error =
        "quorvane: cannot write " + ToUtf8(shownAs.empty() ? file : shownAs) + ": " + why + "\n";
    return outcome;
  }
  outcome.output =
      Wrapped("",
              "Wrote " + ToUtf8(shownAs.empty() ? file : shownAs) + ": " + CaptureCounts(profile),
              2) +
      NotesForConsole(profile.captureNotes);
  return outcome;
}

}  // namespace quorvane::capture
