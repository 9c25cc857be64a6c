// Machine profile writer: Profile to JSON text, in the field order of docs/simulator.md.
#include "platform/sim/profile_writer.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "base/text.h"

namespace quorvane::sim {
namespace {

using Json = nlohmann::ordered_json;

// A line holds a container on its own when it stays this short.
constexpr size_t kLineWidth = 100;

std::string Utf8(const std::wstring& text) { return ToUtf8(text); }

// 8-bit file bytes as the loader reads them back: each byte one character.
std::string Utf8OfBytes(const std::string& bytes) {
  std::wstring wide;
  for (unsigned char c : bytes) wide += static_cast<wchar_t>(c);
  return ToUtf8(wide);
}

std::string StartText(const LocalTime& t) {
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", t.year, t.month, t.day,
                t.hour, t.minute, t.second, t.millisecond);
  return text;
}

Json FirmwareJson(const FirmwareSpec& f) {
  switch (f.kind) {
    case FirmwareSpec::Kind::Uefi:
      return "uefi";
    case FirmwareSpec::Kind::Legacy:
      return "legacy";
    case FirmwareSpec::Kind::Readable:
      return "readable";
    case FirmwareSpec::Kind::LastError:
      break;
  }
  return Json{{"lastError", f.lastError}};
}

Json SmbiosJson(const SmbiosSpec& s) {
  std::string hex;
  for (uint8_t b : s.table) {
    if (!hex.empty()) hex += ' ';
    hex += "0123456789ABCDEF"[b >> 4];
    hex += "0123456789ABCDEF"[b & 0xF];
  }
  return Json{{"table", hex}, {"version", {s.majorVersion, s.minorVersion}}};
}

Json FilesJson(const std::map<std::string, FileSpec>& files) {
  Json out = Json::object();
  for (const auto& [path, file] : files) {
    switch (file.kind) {
      case FileSpec::Kind::Folder:
        out[path] = "";
        break;
      case FileSpec::Kind::Text:
        out[path] = Utf8OfBytes(file.text);
        break;
      case FileSpec::Kind::Wim: {
        Json images = Json::array();
        for (const auto& name : file.wimImages) images.push_back(Utf8(name));
        out[path] = Json{{"wimImages", images}};
        break;
      }
    }
  }
  return out;
}

Json LabelJson(const std::optional<std::wstring>& label) {
  return label ? Json(Utf8(*label)) : Json(nullptr);
}

Json PartitionJson(const PartitionSpec& p) {
  Json out{{"sizeMB", p.sizeMB}, {"label", LabelJson(p.label)}, {"type", Utf8(p.type)}};
  if (p.hidden) out["hidden"] = true;
  if (p.wmiIndex) out["wmiIndex"] = *p.wmiIndex;
  if (p.letter) out["letter"] = Utf8(*p.letter);
  if (!p.files.empty()) out["files"] = FilesJson(p.files);
  return out;
}

Json DiskJson(const DiskSpec& d) {
  Json out{{"index", d.index},
           {"model", Utf8(d.model)},
           {"deviceId", Utf8(d.deviceId)},
           {"mediaType", Utf8(d.mediaType)},
           {"sizeMB", d.sizeMB}};
  if (!d.media) out["media"] = false;
  out["style"] = d.gpt ? "gpt" : "mbr";
  if (d.signature != DefaultSignature(d.index)) out["signature"] = d.signature;
  Json partitions = Json::array();
  for (const auto& p : d.partitions) partitions.push_back(PartitionJson(p));
  out["partitions"] = partitions;
  return out;
}

Json DriveJson(const DriveSpec& d) {
  if (d.target) return Json{{"letter", Utf8(d.letter)}, {"target", Utf8(*d.target)}};
  Json out{{"letter", Utf8(d.letter)}, {"label", LabelJson(d.label)}};
  if (!d.files.empty()) out["files"] = FilesJson(d.files);
  return out;
}

Json ToolsJson(const ToolsSpec& t) {
  Json out{{"systemDisk", t.systemDisk ? Json(*t.systemDisk) : Json(nullptr)}};
  if (t.systemDiskReport) out["systemDiskReport"] = *t.systemDiskReport;
  if (!t.dismOutput.empty()) {
    Json listings = Json::object();
    for (const auto& [path, text] : t.dismOutput) listings[Utf8(path)] = text;
    out["dismOutput"] = listings;
  }
  if (t.durationMs != 0) out["durationMs"] = t.durationMs;
  return out;
}

Json Strings(const std::vector<std::wstring>& list) {
  Json out = Json::array();
  for (const auto& s : list) out.push_back(Utf8(s));
  return out;
}

Json FaultsJson(const FaultsSpec& f) {
  Json out = Json::object();
  if (f.comInitFails) out["comInit"] = "fail";
  if (!f.inventory.empty()) out["inventory"] = f.inventory;
  if (f.smbiosFetchFails) out["smbiosFetch"] = "fail";
  if (!f.mountFailures.empty()) {
    Json counts = Json::object();
    for (const auto& [letter, n] : f.mountFailures)
      counts[Utf8(letter)] = n < 0 ? Json("always") : Json(n);
    out["mountFailures"] = counts;
  }
  if (!f.readOnly.empty()) out["readOnly"] = Strings(f.readOnly);
  if (!f.cannotCreate.empty()) out["cannotCreate"] = Strings(f.cannotCreate);
  if (!f.cannotStart.empty()) out["cannotStart"] = Strings(f.cannotStart);
  return out;
}

std::string Compact(const Json& v) {
  return v.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// One value at `indent`: on one line when it fits, otherwise one member or element a line.
void Emit(const Json& v, size_t indent, std::string& out) {
  std::string line = Compact(v);
  if (!v.is_structured() || v.empty() || indent + line.size() <= kLineWidth) {
    out += line;
    return;
  }
  const std::string inner(indent + 2, ' ');
  out += v.is_object() ? "{\n" : "[\n";
  bool first = true;
  for (auto it = v.begin(); it != v.end(); ++it) {
    if (!first) out += ",\n";
    first = false;
    out += inner;
    if (v.is_object()) out += Compact(Json(it.key())) + ": ";
    Emit(*it, indent + 2, out);
  }
  out += '\n';
  out.append(indent, ' ');
  out += v.is_object() ? '}' : ']';
}

}  // namespace

std::string WriteProfile(const Profile& p) {
  Json doc{{"name", p.name},
           {"description", p.description},
           {"start", StartText(p.start)},
           {"firmware", FirmwareJson(p.firmware)}};
  if (p.smbios) doc["smbios"] = SmbiosJson(*p.smbios);
  Json disks = Json::array();
  for (const auto& d : p.disks) disks.push_back(DiskJson(d));
  doc["disks"] = disks;
  Json drives = Json::array();
  for (const auto& d : p.drives) drives.push_back(DriveJson(d));
  doc["drives"] = drives;
  if (!p.ramDrive) doc["ramDrive"] = false;
  doc["tools"] = ToolsJson(p.tools);
  Json faults = FaultsJson(p.faults);
  if (!faults.empty()) doc["faults"] = faults;
  if (!p.captureNotes.empty()) {
    Json notes = Json::array();
    for (const auto& note : p.captureNotes)
      notes.push_back(Json{
          {"changesPrediction", note.changesPrediction}, {"text", note.text}, {"fact", note.fact}});
    doc["captureNotes"] = notes;
  }
  std::string out;
  Emit(doc, 0, out);
  return out + "\n";
}

}  // namespace quorvane::sim
