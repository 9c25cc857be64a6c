// Printing a run's summary for a person at a terminal.
#include "report/terminal_summary.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "base/utf8_path.h"
#include "base/word_wrap.h"
#include "report/warning_texts.h"

namespace quorvane::report {
namespace {

namespace fs = std::filesystem;

constexpr size_t kLabelWidth = 11;

enum class Style { Plain, Attention, Bad, Quiet };

// ANSI colours, only when asked for; a text of blanks stays as it is.
std::string Paint(const std::string& text, Style style, bool bold, bool colour) {
  if (!colour || text.find_first_not_of(' ') == std::string::npos) return text;
  const char* code = bold ? "1" : nullptr;
  switch (style) {
    case Style::Attention:
      code = "33";
      break;
    case Style::Bad:
      code = "31";
      break;
    case Style::Quiet:
      code = "36";
      break;
    case Style::Plain:
      break;
  }
  if (!code) return text;
  return std::string("\x1b[") + code + "m" + text + "\x1b[0m";
}

Style SeverityStyle(Severity severity) {
  switch (severity) {
    case Severity::Danger:
      return Style::Bad;
    case Severity::Warning:
      return Style::Attention;
    case Severity::Note:
      break;
  }
  return Style::Quiet;
}

class Printer {
 public:
  Printer(std::ostream& out, bool colour) : out_(out), colour_(colour) {}

  // One labelled entry; a long text wraps between words under the text column, indented by
  // `hang` more.
  void Entry(const std::string& label, const std::string& shown, Style style = Style::Plain,
             size_t hang = 2) {
    // A control character of a label (a line break, an escape) would start a line or a colour of
    // its own: it shows as '?', as in the log.
    std::string text = shown;
    for (char& c : text)
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    std::string head = label + std::string(kLabelWidth - std::min(label.size(), kLabelWidth), ' ');
    if (label.size() >= kLabelWidth) head = label.substr(0, kLabelWidth - 1) + " ";
    const size_t room = kConsoleWidth - kLabelWidth;
    bool first = true;
    for (const std::string& piece : BreakBetweenWords(text, room, room - hang)) {
      std::string lead =
          first ? Paint(head, Style::Plain, true, colour_) : std::string(kLabelWidth + hang, ' ');
      out_ << lead << Paint(piece, style, false, colour_) << "\n";
      first = false;
    }
  }

 private:
  std::ostream& out_;
  bool colour_;
};

std::string Flag(const std::optional<bool>& value) {
  if (!value) return "not logged";
  return *value ? "true" : "false";
}

std::string Joined(const std::vector<std::string>& parts) {
  std::string out;
  for (const auto& part : parts) out += (out.empty() ? "" : ", ") + part;
  return out;
}

void PrintFiles(Printer& print, const RunReport& report, const fs::path& outDir) {
  bool first = true;
  for (const auto& log : report.logFiles) {
    std::string letters = log.letters.empty() ? "" : "  (" + Joined(log.letters) + ")";
    print.Entry(first ? "Logs" : "", Utf8OfPathShown(outDir / PathFromUtf8(log.path)) + letters);
    first = false;
  }
  if (first) print.Entry("Logs", "none written", Style::Bad);
  print.Entry("Summary", Utf8OfPathShown(outDir / "summary.json"));
}

constexpr size_t kSubWidth = 10;

// Entries under one heading, each led by a sub-label; a wrapped line hangs under its text.
class Group {
 public:
  Group(Printer& print, const char* heading) : print_(print), heading_(heading) {}
  void Line(const std::string& sub, const std::string& text, Style style = Style::Plain) {
    const std::string lead =
        sub + std::string(kSubWidth - std::min(sub.size(), kSubWidth - 1), ' ');
    print_.Entry(first_ ? heading_ : "", lead + text, style, lead.size() + 2);
    first_ = false;
  }

 private:
  Printer& print_;
  const char* heading_;
  bool first_ = true;
};

void PrintChanges(Printer& print, const RunReport& report, const fs::path& outDir) {
  const Changes& changes = report.changes;
  Group group(print, "Changes");
  for (const auto& disk : changes.disks) {
    const std::string sub = "disk " + std::to_string(disk.index);
    for (size_t i = 0; i < disk.lines.size(); ++i)
      group.Line(i == 0 ? sub : "", disk.lines[i], i == 0 ? Style::Attention : Style::Plain);
  }
  if (changes.disks.empty()) group.Line("disks", "none changed");
  for (const auto& script : changes.diskpartScripts) {
    group.Line("diskpart", script.heading);
    if (!script.text) continue;
    std::string text = *script.text;
    for (size_t at = 0; at < text.size();) {
      size_t end = text.find('\n', at);
      if (end == std::string::npos) end = text.size();
      group.Line("", "  " + text.substr(at, end - at));
      at = end + 1;
    }
  }
  bool first = true;
  for (const auto& letter : changes.letters) {
    group.Line(first ? "letters" : "", letter.line);
    first = false;
  }
  if (first) group.Line("letters", "none changed");
  // Relative to the output folder, so that a path fits its line.
  if (!changes.files.empty()) group.Line("files", "in " + Utf8OfPathShown(outDir / ""));
  for (const auto& file : changes.files) group.Line("", Utf8OfPathShown(PathFromUtf8(file)));
  if (changes.files.empty()) group.Line("files", "none written");
}

}  // namespace

std::string PaintSeverity(const std::string& text, Severity severity, bool colour) {
  return Paint(text, SeverityStyle(severity), false, colour);
}

void PrintTerminalSummary(const RunReport& report, const fs::path& outDir, std::ostream& out,
                          bool colour, const std::string& replaced, bool roadLast) {
  Printer print(out, colour);
  print.Entry("Machine", report.machine);
  if (!report.description.empty()) print.Entry("", report.description);

  // A road is neither good nor bad: it is what the machine called for.
  const auto road = [&] {
    print.Entry("Road", RoadName(report.road));
    print.Entry("", "because " + report.roadWhy);
  };
  if (!roadLast) road();
  print.Entry("Flags", "ssdHddMode " + Flag(report.ssdHddMode) + ", miniSsd " +
                           Flag(report.miniSsd) + ", rapidStart " + Flag(report.rapidStart) + " (" +
                           report.rapidStartWhy + ")");

  // Every role with what the run did with it.
  bool first = true;
  for (const auto& role : report.roles) {
    const std::string name =
        role.name + std::string(10 - std::min<size_t>(role.name.size(), 9), ' ');
    print.Entry(first ? "Roles" : "", name + RoleText(role), Style::Plain, 12);
    first = false;
  }

  first = true;
  for (const auto& letter : report.letters) {
    std::string text = letter.letter + "  " + letter.target;
    text += std::string(text.size() < 36 ? 36 - text.size() : 1, ' ') + VolumeText(letter.volume);
    print.Entry(first ? "Letters" : "", text);
    first = false;
  }
  if (first) print.Entry("Letters", "none");

  first = true;
  for (const auto& command : report.commands) {
    const bool ok = command.started && command.exitCode == 0;
    std::string code = command.started ? "exit " + std::to_string(command.exitCode) : "not started";
    print.Entry(
        first ? "Commands" : "",
        code + std::string(13 - std::min<size_t>(code.size(), 12), ' ') + command.commandLine,
        ok ? Style::Plain : Style::Bad);
    first = false;
  }
  if (first) print.Entry("Commands", "none");

  if (report.messageBoxes.empty()) {
    print.Entry("Boxes", "none");
  } else {
    print.Entry("Boxes",
                std::to_string(report.messageBoxes.size()) +
                    " (each stops an unattended run until someone presses OK)",
                Style::Attention);
    for (const auto& box : report.messageBoxes)
      print.Entry("", "\"" + box.text + "\"", Style::Attention);
  }

  PrintChanges(print, report, outDir);
  // The capture's notes that do not change the prediction are counted, not listed: a terminal
  // would scroll the road out of sight; summary.json lists them.
  Group warnings(print, "Warnings");
  size_t facts = 0;
  for (const auto& warning : report.warnings) {
    if (warning.kind == kCaptureFactWarning) {
      ++facts;
      continue;
    }
    warnings.Line(SeverityName(warning.severity), warning.text, SeverityStyle(warning.severity));
  }
  if (facts > 0)
    warnings.Line(
        SeverityName(Severity::Note),
        std::to_string(facts) + (facts == 1 ? " capture note does" : " capture notes do") +
            " not change the prediction (summary.json lists " + (facts == 1 ? "it)" : "them)"),
        SeverityStyle(Severity::Note));
  if (report.warnings.empty()) print.Entry("Warnings", "none");

  char duration[64];
  std::snprintf(duration, sizeof duration, "%.3f s",
                static_cast<double>(report.simulatedMs) / 1000.0);
  print.Entry("Simulated", duration);
  PrintFiles(print, report, outDir);
  if (!replaced.empty()) print.Entry("Replaced", replaced);
  if (roadLast) road();
}

}  // namespace quorvane::report
