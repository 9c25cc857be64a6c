// The text sections of the layout picture: the roles, what the run changed, its warnings, other
// letters.
#include "report/layout_picture.h"
#include "report/picture_parts.h"

namespace quorvane::report::picture {
namespace {

std::string List(const std::vector<std::string>& items, const char* css = nullptr) {
  std::string html = css == nullptr ? "<ul>" : std::string("<ul class=\"") + css + "\">";
  for (const auto& item : items) html += "<li>" + EscapeHtml(item) + "</li>";
  return html + "</ul>";
}

std::string NoteText(const VolumeNote& volume) {
  switch (volume.kind) {
    case VolumeNote::Kind::NoSuchVolume:
      return "no such volume";
    case VolumeNote::Kind::NoFileSystem:
      return "no file system";
    case VolumeNote::Kind::Label:
      break;
  }
  return volume.label;
}

}  // namespace

std::string Join(const std::vector<std::string>& parts, const char* separator) {
  std::string out;
  for (const auto& part : parts) out += (out.empty() ? "" : separator) + part;
  return out;
}

std::string ChangesSection(const RunReport& report) {
  const Changes& changes = report.changes;
  std::string html = "<section class=\"changes\"><h2>Changes</h2><h3>Disks</h3>";
  if (changes.disks.empty()) html += "<p class=\"none\">No disk changed.</p>";
  for (const auto& disk : changes.disks) {
    html += "<p><b>Disk " + std::to_string(disk.index) + "</b> ";
    if (!disk.lines.empty()) html += EscapeHtml(disk.lines.front());
    html += "</p>" + List(std::vector<std::string>(
                         disk.lines.begin() + (disk.lines.empty() ? 0 : 1), disk.lines.end()));
  }
  for (const auto& script : changes.diskpartScripts) {
    html +=
        "<h3>diskpart script <span class=\"mono\">" + EscapeHtml(script.heading) + "</span></h3>";
    if (!script.text) continue;
    // Line by line: EscapeHtml takes a line end for a control character.
    html += "<pre>";
    const std::string& text = *script.text;
    for (size_t at = 0; at < text.size();) {
      size_t end = text.find('\n', at);
      if (end == std::string::npos) end = text.size();
      html += EscapeHtml(text.substr(at, end - at)) + (end < text.size() ? "\n" : "");
      at = end + 1;
    }
    html += "</pre>";
  }
  html += "<h3>Letters</h3>";
  std::vector<std::string> letters;
  for (const auto& letter : changes.letters) letters.push_back(letter.line);
  html += letters.empty() ? "<p class=\"none\">No letter changed.</p>" : List(letters, "mono");
  html += "<h3>Files written</h3>";
  html += changes.files.empty() ? "<p>None.</p>" : List(changes.files, "mono");
  return html + "</section>\n";
}

std::string RolesSection(const RunReport& report) {
  std::string html = "<section class=\"roles\"><h2>Roles and what the run did with them</h2><ul>";
  for (const auto& role : report.roles)
    html += "<li><b>" + EscapeHtml(role.name) + "</b> " + EscapeHtml(RoleText(role)) + "</li>";
  return html + "</ul></section>\n";
}

std::string WarningsSection(const RunReport& report) {
  std::string html = "<section class=\"warnings\"><h2>Warnings (" +
                     std::to_string(report.warnings.size()) + ")</h2>";
  if (report.warnings.empty())
    return html + "<p class=\"none\">Nothing that would surprise a technician.</p></section>\n";
  html += "<ul>";
  for (const auto& warning : report.warnings) {
    const std::string severity = SeverityName(warning.severity);
    html += "<li class=\"" + severity + "\"><span class=\"severity\">" + severity +
            "</span><span class=\"kind\">" + EscapeHtml(warning.kind) + "</span>" +
            EscapeHtml(warning.text) + "</li>";
  }
  return html + "</ul></section>\n";
}

std::string OtherLetters(const std::vector<LetterReport>& letters) {
  if (letters.empty()) return "none";
  std::vector<std::string> parts;
  for (const auto& letter : letters) {
    std::string part = "<span class=\"mono\"><b>" + EscapeHtml(letter.letter) + "</b> " +
                       EscapeHtml(letter.target) + "</span>";
    const std::string note = NoteText(letter.volume);
    if (!note.empty()) part += " (" + EscapeHtml(note) + ")";
    parts.push_back(part);
  }
  return Join(parts, ", ");
}

}  // namespace quorvane::report::picture
