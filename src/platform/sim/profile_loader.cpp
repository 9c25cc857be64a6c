// Machine profile loader: JSON to Profile, each field checked, each default filled in.
#include "platform/sim/profile_loader.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "base/text.h"
#include "base/utf8_path.h"
#include "letters/device_path.h"
#include "platform/sim/smbios_table.h"

namespace quorvane::sim {
namespace {

using Json = nlohmann::json;

// Keeps byte counts inside 63 bits, for each size and for a disk's partitions together, so that
// a disk typed in bytes (a few TB) still loads and gets its note.
constexpr int64_t kMaxSizeMB = int64_t{1} << 42;

std::string Found(const Json& v) {
  switch (v.type()) {
    case Json::value_t::object:
      return "an object";
    case Json::value_t::null:
      return "null";
    default: {
      std::string text = v.dump(-1, ' ', false, Json::error_handler_t::replace);
      if (text.size() > 60) text = text.substr(0, 57) + "...";
      return text;
    }
  }
}

std::string Quote(const std::string& text) { return "\"" + text + "\""; }

// Walks the document keeping the JSON path of the field at hand.
class Reader {
 public:
  explicit Reader(std::string file) : file_(std::move(file)) {}

  [[noreturn]] void Fail(const std::string& path, const std::string& expected,
                         const std::string& found) const {
    throw ProfileError(file_ + ": " + (path.empty() ? "(top level)" : path) + ": expected " +
                       expected + ", found " + found);
  }
  [[noreturn]] void Fail(const std::string& path, const std::string& expected,
                         const char* found) const {
    Fail(path, expected, std::string(found));
  }
  [[noreturn]] void Fail(const std::string& path, const std::string& expected,
                         const Json& found) const {
    Fail(path, expected, Found(found));
  }

  static std::string Field(const std::string& path, const std::string& key) {
    return path.empty() ? key : path + "." + key;
  }
  static std::string Item(const std::string& path, size_t i) {
    return path + "[" + std::to_string(i) + "]";
  }

  const Json& Object(const Json& v, const std::string& path,
                     std::initializer_list<const char*> allowed) const {
    if (!v.is_object()) Fail(path, "an object", v);
    for (auto it = v.begin(); it != v.end(); ++it) {
      bool known = false;
      std::string list;
      for (const char* name : allowed) {
        known = known || it.key() == name;
        list += (list.empty() ? "" : ", ") + std::string(name);
      }
      if (!known) Fail(Field(path, it.key()), "one of the fields " + list, "an unknown field");
    }
    return v;
  }

  const Json& Array(const Json& v, const std::string& path) const {
    if (!v.is_array()) Fail(path, "an array", v);
    return v;
  }

  std::string String(const Json& v, const std::string& path) const {
    if (!v.is_string()) Fail(path, "a string", v);
    return v.get<std::string>();
  }

  std::wstring WString(const Json& v, const std::string& path) const {
    return FromUtf8(String(v, path));
  }

  bool Bool(const Json& v, const std::string& path) const {
    if (!v.is_boolean()) Fail(path, "true or false", v);
    return v.get<bool>();
  }

  // A whole number in [low, high]; an integral floating value counts as whole.
  int64_t Integer(const Json& v, const std::string& path, int64_t low, int64_t high,
                  const std::string& what) const {
    int64_t n = 0;
    if (v.is_number_integer()) {
      if (v.is_number_unsigned() && v.get<uint64_t>() > static_cast<uint64_t>(high))
        Fail(path, what, v);
      n = v.get<int64_t>();
    } else if (v.is_number_float()) {
      double d = v.get<double>();
      if (!std::isfinite(d) || d != std::floor(d) || d < static_cast<double>(low) ||
          d > static_cast<double>(high))
        Fail(path, what, v);
      n = static_cast<int64_t>(d);
    } else {
      Fail(path, what, v);
    }
    if (n < low || n > high) Fail(path, what, v);
    return n;
  }

  int64_t SizeMB(const Json& v, const std::string& path) const {
    return Integer(v, path, 1, kMaxSizeMB, "a positive whole number of MiB");
  }

  // Letters are taken in either case, as Windows does, and kept in upper case.
  std::wstring Letter(const Json& v, const std::string& path) const {
    std::wstring letter = v.is_string() ? ToUpperAscii(FromUtf8(v.get<std::string>())) : L"";
    if (!IsDriveLetter(letter)) Fail(path, "a drive letter \"A:\" to \"Z:\"", v);
    return letter;
  }

  // A word of the profile's vocabulary, in any letter case, as the docs write it: lower case.
  static std::string Word(const Json& v) {
    return v.is_string() ? ToUtf8(ToLowerAscii(FromUtf8(v.get<std::string>()))) : std::string();
  }

  const std::string& file() const { return file_; }

 private:
  std::string file_;
};

// nlohmann-json keeps the last of a repeated key without a word, so a field given twice in one
// object would be half ignored; the parse refuses it instead, naming the field's path.
class RepeatedFieldGuard {
 public:
  explicit RepeatedFieldGuard(const Reader& r) : r_(r) {}

  bool operator()(int /*depth*/, Json::parse_event_t event, Json& parsed) {
    switch (event) {
      case Json::parse_event_t::object_start:
      case Json::parse_event_t::array_start:
        frames_.push_back({event == Json::parse_event_t::array_start, ChildPath(), 0, "", {}});
        break;
      case Json::parse_event_t::key: {
        Frame& frame = frames_.back();
        frame.key = parsed.get<std::string>();
        if (!frame.keys.insert(frame.key).second)
          r_.Fail(ChildPath(), "each field once in its object", "it a second time");
        break;
      }
      case Json::parse_event_t::object_end:
      case Json::parse_event_t::array_end:
        frames_.pop_back();
        NextItem();
        break;
      case Json::parse_event_t::value:
        NextItem();
        break;
    }
    return true;
  }

 private:
  struct Frame {
    bool array;
    std::string path;
    size_t item;
    std::string key;
    std::set<std::string> keys;
  };

  // A field name is written bare, as the loader's messages do; any other key in quotes.
  static std::string KeyText(const std::string& key) {
    bool bare = !key.empty();
    for (char c : key) bare = bare && (std::isalnum(static_cast<unsigned char>(c)) || c == '_');
    return bare ? key : Quote(key);
  }

  std::string ChildPath() const {
    if (frames_.empty()) return "";
    const Frame& frame = frames_.back();
    return frame.array ? Reader::Item(frame.path, frame.item)
                       : Reader::Field(frame.path, KeyText(frame.key));
  }

  void NextItem() {
    if (!frames_.empty() && frames_.back().array) ++frames_.back().item;
  }

  const Reader& r_;
  std::vector<Frame> frames_;
};

bool LeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && LeapYear(y) ? 29 : days[m - 1];
}

LocalTime ReadStart(const Reader& r, const Json& v, const std::string& path) {
  const char* expected = "a local time \"YYYY-MM-DDTHH:MM:SS.mmm\"";
  std::string text = r.String(v, path);
  // Digits at fixed places; separators as in 2026-12-07T14:05:03.042.
  const std::string shape = "dddd-dd-ddTdd:dd:dd.ddd";
  if (text.size() != shape.size() && text.size() != 19) r.Fail(path, expected, v);
  for (size_t i = 0; i < text.size(); ++i) {
    bool digit = text[i] >= '0' && text[i] <= '9';
    if (shape[i] == 'd' ? !digit : text[i] != shape[i]) r.Fail(path, expected, v);
  }
  auto num = [&](size_t at, size_t len) { return std::stoi(text.substr(at, len)); };
  LocalTime t{num(0, 4),
              num(5, 2),
              num(8, 2),
              num(11, 2),
              num(14, 2),
              num(17, 2),
              text.size() > 19 ? num(20, 3) : 0};
  if (t.year < 1601 || t.month < 1 || t.month > 12 || t.day < 1 ||
      t.day > DaysInMonth(t.year, t.month) || t.hour > 23 || t.minute > 59 || t.second > 59)
    r.Fail(path, "a valid date and time", v);
  return t;
}

FirmwareSpec ReadFirmware(const Reader& r, const Json& v, const std::string& path) {
  const char* expected = "\"uefi\", \"legacy\", \"readable\" or {\"lastError\": N}";
  FirmwareSpec f;
  if (v.is_string()) {
    const std::string s = Reader::Word(v);
    if (s == "uefi") {
      f.kind = FirmwareSpec::Kind::Uefi;
      f.lastError = win::kErrorNoAccess;
    } else if (s == "legacy") {
      f.kind = FirmwareSpec::Kind::Legacy;
      f.lastError = win::kErrorInvalidFunction;
    } else if (s == "readable") {
      f.kind = FirmwareSpec::Kind::Readable;
      f.lastError = 0;
    } else {
      r.Fail(path, expected, v);
    }
    return f;
  }
  if (!v.is_object()) r.Fail(path, expected, v);
  r.Object(v, path, {"lastError"});
  if (!v.contains("lastError")) r.Fail(path, expected, "an object without lastError");
  f.kind = FirmwareSpec::Kind::LastError;
  f.lastError = static_cast<uint32_t>(r.Integer(v["lastError"], Reader::Field(path, "lastError"), 0,
                                                0xFFFFFFFFll, "a 32-bit error number"));
  return f;
}

uint8_t ReadByte(const Reader& r, const Json& v, const std::string& path) {
  return static_cast<uint8_t>(r.Integer(v, path, 0, 255, "a byte 0 to 255"));
}

std::pair<uint8_t, uint8_t> ReadBytePair(const Reader& r, const Json& v, const std::string& path) {
  // A revision is two bytes; "2.16.0" or [2, 16, 0] come from other numbering habits.
  const char* expected = "[major, minor], two numbers such as [2, 16]";
  if (!v.is_array()) r.Fail(path, expected, v);
  if (v.size() != 2) r.Fail(path, expected, Found(v) + " (" + std::to_string(v.size()) + " items)");
  return {ReadByte(r, v[0], Reader::Item(path, 0)), ReadByte(r, v[1], Reader::Item(path, 1))};
}

SmbiosSpec ReadSmbios(const Reader& r, const Json& v, const std::string& path) {
  r.Object(v, path, {"table", "capabilities", "version"});
  SmbiosSpec s;
  if (v.contains("version")) {
    auto [major, minor] = ReadBytePair(r, v["version"], Reader::Field(path, "version"));
    s.majorVersion = major;
    s.minorVersion = minor;
  }
  bool hasTable = v.contains("table");
  bool hasCapabilities = v.contains("capabilities");
  if (hasTable == hasCapabilities)
    r.Fail(path, "exactly one of \"table\" and \"capabilities\"", hasTable ? "both" : "neither");
  if (hasTable) {
    std::string where = Reader::Field(path, "table");
    std::string error;
    auto bytes = ParseHexBytes(r.String(v["table"], where), error);
    if (!bytes) r.Fail(where, "hex bytes (pairs of 0-9 A-F, blanks ignored)", error);
    s.table = *bytes;
    return s;
  }
  std::string cpath = Reader::Field(path, "capabilities");
  const Json& c = r.Object(v["capabilities"], cpath, {"revision", "handle", "entries"});
  SmbiosCapabilityRecord record;
  if (!c.contains("revision")) r.Fail(Reader::Field(cpath, "revision"), "[major, minor]", "none");
  std::tie(record.revisionMajor, record.revisionMinor) =
      ReadBytePair(r, c["revision"], Reader::Field(cpath, "revision"));
  if (c.contains("handle"))
    record.handle = static_cast<uint16_t>(
        r.Integer(c["handle"], Reader::Field(cpath, "handle"), 0, 0xFFFF, "a 16-bit handle"));
  if (c.contains("entries")) {
    std::string epath = Reader::Field(cpath, "entries");
    const Json& entries = r.Array(c["entries"], epath);
    // The structure's length is one byte: 6 header bytes and 3 per entry.
    if (entries.size() > 83) r.Fail(epath, "at most 83 entries", std::to_string(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
      std::string ipath = Reader::Item(epath, i);
      const Json& e = entries[i];
      if (!e.is_array() || e.size() != 2) r.Fail(ipath, "[identifier, parameter]", e);
      uint8_t id = ReadByte(r, e[0], Reader::Item(ipath, 0));
      auto parameter = static_cast<uint16_t>(
          r.Integer(e[1], Reader::Item(ipath, 1), 0, 0xFFFF, "a 16-bit parameter"));
      record.entries.emplace_back(id, parameter);
    }
  }
  s.table = BuildSmbiosTable(record);
  return s;
}

// A relative path of a volume file: '/'-separated names, a folder ending in '/'.
bool ValidFilePath(const std::string& path) {
  if (path.empty() || path.front() == '/') return false;
  std::string body = path.back() == '/' ? path.substr(0, path.size() - 1) : path;
  std::stringstream parts(body);
  std::string part;
  size_t count = 0;
  while (std::getline(parts, part, '/')) {
    ++count;
    if (part.empty() || part == "." || part == "..") return false;
    for (char c : part) {
      if (static_cast<unsigned char>(c) < 32 ||
          std::string_view("<>:\"\\|?*").find(c) != std::string_view::npos)
        return false;
    }
  }
  return count > 0;
}

std::map<std::string, FileSpec> ReadFiles(const Reader& r, const Json& v, const std::string& path) {
  if (!v.is_object()) r.Fail(path, "an object of files", v);
  std::map<std::string, FileSpec> files;
  for (auto it = v.begin(); it != v.end(); ++it) {
    std::string fpath = Reader::Field(path, Quote(it.key()));
    if (!ValidFilePath(it.key()))
      r.Fail(fpath, "a relative path of names separated by \"/\"", Quote(it.key()));
    FileSpec entry;
    const Json& value = it.value();
    if (it.key().back() == '/') {
      if (!value.is_string() || !value.get<std::string>().empty())
        r.Fail(fpath, "\"\" for a folder", value);
      entry.kind = FileSpec::Kind::Folder;
    } else if (value.is_string()) {
      entry.kind = FileSpec::Kind::Text;
      entry.text = Narrow8(FromUtf8(value.get<std::string>()));
    } else if (value.is_object()) {
      r.Object(value, fpath, {"wimImages"});
      std::string wpath = Reader::Field(fpath, "wimImages");
      if (!value.contains("wimImages")) r.Fail(wpath, "a list of image names", "none");
      const Json& images = r.Array(value["wimImages"], wpath);
      entry.kind = FileSpec::Kind::Wim;
      for (size_t i = 0; i < images.size(); ++i)
        entry.wimImages.push_back(r.WString(images[i], Reader::Item(wpath, i)));
    } else {
      r.Fail(fpath, "a text, \"\" for a folder or {\"wimImages\": [...]}", value);
    }
    files[it.key()] = entry;
  }
  return files;
}

std::optional<std::wstring> ReadLabel(const Reader& r, const Json& v, const std::string& path) {
  if (v.is_null()) return std::nullopt;
  if (!v.is_string()) r.Fail(path, "a string or null", v);
  return FromUtf8(v.get<std::string>());
}

class LetterBook {
 public:
  explicit LetterBook(const Reader& r) : r_(r) {}
  void Add(const Json& v, const std::string& path, const std::wstring& letter) {
    auto [it, fresh] = used_.emplace(letter, path);
    if (!fresh)
      r_.Fail(path, "a letter no other volume carries", Found(v) + ", also at " + it->second);
  }

 private:
  const Reader& r_;
  std::map<std::wstring, std::string> used_;
};

PartitionSpec ReadPartition(const Reader& r, const Json& v, const std::string& path, bool gpt,
                            LetterBook& letters) {
  r.Object(v, path, {"sizeMB", "label", "type", "hidden", "wmiIndex", "letter", "files"});
  PartitionSpec p;
  if (!v.contains("sizeMB")) r.Fail(Reader::Field(path, "sizeMB"), "a size in MiB", "none");
  p.sizeMB = r.SizeMB(v["sizeMB"], Reader::Field(path, "sizeMB"));
  p.label = L"";
  if (v.contains("label")) p.label = ReadLabel(r, v["label"], Reader::Field(path, "label"));
  p.type = gpt ? L"GPT: Basic Data" : L"Installable File System";
  if (v.contains("type")) p.type = r.WString(v["type"], Reader::Field(path, "type"));
  if (v.contains("hidden")) p.hidden = r.Bool(v["hidden"], Reader::Field(path, "hidden"));
  if (v.contains("wmiIndex")) {
    const std::string ipath = Reader::Field(path, "wmiIndex");
    if (p.hidden) r.Fail(ipath, "no WMI index on a partition WMI does not list", v["wmiIndex"]);
    p.wmiIndex = static_cast<int>(r.Integer(v["wmiIndex"], ipath, 0, 998, "an index 0 to 998"));
  }
  if (v.contains("letter")) {
    std::string lpath = Reader::Field(path, "letter");
    p.letter = r.Letter(v["letter"], lpath);
    letters.Add(v["letter"], lpath, *p.letter);
  }
  if (v.contains("files")) {
    std::string fpath = Reader::Field(path, "files");
    p.files = ReadFiles(r, v["files"], fpath);
    if (!p.label && !p.files.empty())
      r.Fail(fpath, "no files on a volume without a file system (label null)", "files");
  }
  return p;
}

DiskSpec ReadDisk(const Reader& r, const Json& v, const std::string& path, size_t position,
                  LetterBook& letters) {
  r.Object(v, path,
           {"index", "model", "deviceId", "mediaType", "sizeMB", "media", "style", "signature",
            "partitions"});
  DiskSpec d;
  d.index = static_cast<int>(position);
  if (v.contains("index"))
    d.index = static_cast<int>(
        r.Integer(v["index"], Reader::Field(path, "index"), 0, 998, "a disk number 0 to 998"));
  d.model = L"Sim Disk " + std::to_wstring(d.index);
  if (v.contains("model")) d.model = r.WString(v["model"], Reader::Field(path, "model"));
  d.deviceId = L"\\\\.\\PHYSICALDRIVE" + std::to_wstring(d.index);
  if (v.contains("deviceId"))
    d.deviceId = r.WString(v["deviceId"], Reader::Field(path, "deviceId"));
  if (v.contains("mediaType"))
    d.mediaType = r.WString(v["mediaType"], Reader::Field(path, "mediaType"));
  if (!v.contains("sizeMB")) r.Fail(Reader::Field(path, "sizeMB"), "a size in MiB", "none");
  d.sizeMB = r.SizeMB(v["sizeMB"], Reader::Field(path, "sizeMB"));
  if (v.contains("media")) d.media = r.Bool(v["media"], Reader::Field(path, "media"));
  if (v.contains("style")) {
    r.String(v["style"], Reader::Field(path, "style"));
    const std::string style = Reader::Word(v["style"]);
    if (style != "gpt" && style != "mbr")
      r.Fail(Reader::Field(path, "style"), "\"gpt\" or \"mbr\"", v["style"]);
    d.gpt = style == "gpt";
  }
  d.signature = DefaultSignature(d.index);
  if (v.contains("signature"))
    d.signature = static_cast<uint32_t>(r.Integer(v["signature"], Reader::Field(path, "signature"),
                                                  1, 0xFFFFFFFFll, "a non-zero 32-bit number"));
  if (v.contains("partitions")) {
    std::string ppath = Reader::Field(path, "partitions");
    const Json& parts = r.Array(v["partitions"], ppath);
    int64_t total = 0;
    for (size_t i = 0; i < parts.size(); ++i) {
      d.partitions.push_back(ReadPartition(r, parts[i], Reader::Item(ppath, i), d.gpt, letters));
      total = std::min(total + d.partitions.back().sizeMB, kMaxSizeMB + 1);
    }
    // WMI names each listed partition by its index: no two may share one.
    std::set<int> seen;
    const std::vector<int> indexes = WmiIndexes(d);
    for (size_t i = 0; i < indexes.size(); ++i)
      if (indexes[i] >= 0 && !seen.insert(indexes[i]).second)
        r.Fail(Reader::Field(Reader::Item(ppath, i), "wmiIndex"),
               "a WMI index no other listed partition of the disk has", std::to_string(indexes[i]));
    // Partitions larger than their disk still make a machine (WMI's size may leave out the last
    // cylinder; a size may be typed in another unit): the run gets a note. Their bytes must
    // still be countable.
    if (total > kMaxSizeMB)
      r.Fail(ppath, "partitions of at most " + std::to_string(kMaxSizeMB) + " MiB in total",
             std::to_string(total) + " MiB");
  }
  return d;
}

DriveSpec ReadDrive(const Reader& r, const Json& v, const std::string& path, LetterBook& letters) {
  r.Object(v, path, {"letter", "label", "files", "target"});
  DriveSpec d;
  std::string lpath = Reader::Field(path, "letter");
  if (!v.contains("letter")) r.Fail(lpath, "a drive letter \"A:\" to \"Z:\"", "none");
  d.letter = r.Letter(v["letter"], lpath);
  letters.Add(v["letter"], lpath, d.letter);
  if (v.contains("target")) {
    // The letter opens a partition: what it finds there is the partition's, not its own.
    const std::string tpath = Reader::Field(path, "target");
    const char* expected = "a partition's device path \"\\Device\\HarddiskD\\PartitionP\"";
    const auto numbers = ParsePartitionDevicePath(r.WString(v["target"], tpath));
    if (!numbers || numbers->partition < 1) r.Fail(tpath, expected, v["target"]);
    if (v.contains("label") || v.contains("files"))
      r.Fail(Reader::Field(path, v.contains("label") ? "label" : "files"),
             "no label or files beside a target (they are the partition's)",
             v.contains("label") ? "label" : "files");
    d.target = PartitionDevicePath(numbers->disk, numbers->partition);
    return d;
  }
  d.label = L"";
  if (v.contains("label")) d.label = ReadLabel(r, v["label"], Reader::Field(path, "label"));
  if (v.contains("files")) {
    std::string fpath = Reader::Field(path, "files");
    d.files = ReadFiles(r, v["files"], fpath);
    if (!d.label && !d.files.empty())
      r.Fail(fpath, "no files on a volume without a file system (label null)", "files");
  }
  return d;
}

// A note as a capture writes it, or the text alone that older captures wrote: the fact, whose
// effect on the prediction they did not say.
CaptureNote ReadCaptureNote(const Reader& r, const Json& v, const std::string& path) {
  CaptureNote note;
  if (v.is_string()) {
    note.fact = v.get<std::string>();
    return note;
  }
  if (!v.is_object())
    r.Fail(path, "a note {\"changesPrediction\", \"text\", \"fact\"} or a text", v);
  r.Object(v, path, {"changesPrediction", "text", "fact"});
  for (const char* field : {"changesPrediction", "text", "fact"})
    if (!v.contains(field)) r.Fail(Reader::Field(path, field), "the field", "none");
  note.changesPrediction = r.Bool(v["changesPrediction"], Reader::Field(path, "changesPrediction"));
  note.text = r.String(v["text"], Reader::Field(path, "text"));
  note.fact = r.String(v["fact"], Reader::Field(path, "fact"));
  return note;
}

ToolsSpec ReadTools(const Reader& r, const Json& v, const std::string& path) {
  r.Object(v, path, {"systemDisk", "systemDiskReport", "dismOutput", "durationMs"});
  ToolsSpec t;
  if (v.contains("systemDisk")) {
    if (v["systemDisk"].is_null()) {
      t.systemDisk.reset();
    } else {
      t.systemDisk = static_cast<int>(r.Integer(v["systemDisk"], Reader::Field(path, "systemDisk"),
                                                0, 998, "a disk number or null"));
    }
  }
  if (v.contains("systemDiskReport"))
    t.systemDiskReport = r.String(v["systemDiskReport"], Reader::Field(path, "systemDiskReport"));
  if (v.contains("dismOutput")) {
    std::string dpath = Reader::Field(path, "dismOutput");
    const Json& d = v["dismOutput"];
    if (!d.is_object()) r.Fail(dpath, "an object of image path to listing", d);
    for (auto it = d.begin(); it != d.end(); ++it)
      t.dismOutput[FromUtf8(it.key())] =
          r.String(it.value(), Reader::Field(dpath, Quote(it.key())));
  }
  if (v.contains("durationMs"))
    t.durationMs =
        static_cast<uint32_t>(r.Integer(v["durationMs"], Reader::Field(path, "durationMs"), 0,
                                        0xFFFFFFFFll, "milliseconds, 0 or more"));
  return t;
}

bool ReadFail(const Reader& r, const Json& v, const std::string& path) {
  if (Reader::Word(v) != "fail") r.Fail(path, "\"fail\"", v);
  return true;
}

std::vector<std::wstring> ReadStrings(const Reader& r, const Json& v, const std::string& path,
                                      bool letters) {
  const Json& list = r.Array(v, path);
  std::vector<std::wstring> out;
  for (size_t i = 0; i < list.size(); ++i) {
    std::string ipath = Reader::Item(path, i);
    if (letters) {
      out.push_back(r.Letter(list[i], ipath));
    } else {
      if (!list[i].is_string() || list[i].get<std::string>().empty())
        r.Fail(ipath, "a non-empty string", list[i]);
      out.push_back(FromUtf8(list[i].get<std::string>()));
    }
  }
  return out;
}

FaultsSpec ReadFaults(const Reader& r, const Json& v, const std::string& path) {
  r.Object(v, path,
           {"comInit", "inventory", "smbiosFetch", "mountFailures", "readOnly", "cannotCreate",
            "cannotStart"});
  FaultsSpec f;
  if (v.contains("comInit"))
    f.comInitFails = ReadFail(r, v["comInit"], Reader::Field(path, "comInit"));
  if (v.contains("smbiosFetch"))
    f.smbiosFetchFails = ReadFail(r, v["smbiosFetch"], Reader::Field(path, "smbiosFetch"));
  if (v.contains("inventory")) {
    std::string ipath = Reader::Field(path, "inventory");
    const Json& list = r.Array(v["inventory"], ipath);
    for (size_t i = 0; i < list.size(); ++i) {
      const char* expected = "a result code 0, 2, 3, 4, 5 or 9";
      int64_t code = r.Integer(list[i], Reader::Item(ipath, i), 0, 9, expected);
      if (code == 1 || code == 6 || code == 7 || code == 8)
        r.Fail(Reader::Item(ipath, i), expected, list[i]);
      f.inventory.push_back(static_cast<int>(code));
    }
  }
  if (v.contains("mountFailures")) {
    std::string mpath = Reader::Field(path, "mountFailures");
    const Json& m = v["mountFailures"];
    if (!m.is_object()) r.Fail(mpath, "an object of letter to count", m);
    for (auto it = m.begin(); it != m.end(); ++it) {
      std::string lpath = Reader::Field(mpath, Quote(it.key()));
      const std::wstring letter = r.Letter(it.key(), lpath);
      if (f.mountFailures.count(letter))
        r.Fail(lpath, "each letter once", "it also in another spelling");
      if (Reader::Word(it.value()) == "always") {
        f.mountFailures[letter] = -1;
      } else {
        f.mountFailures[letter] = static_cast<int>(
            r.Integer(it.value(), lpath, 0, 1000000, "a count of failures or \"always\""));
      }
    }
  }
  if (v.contains("readOnly"))
    f.readOnly = ReadStrings(r, v["readOnly"], Reader::Field(path, "readOnly"), true);
  if (v.contains("cannotCreate"))
    f.cannotCreate = ReadStrings(r, v["cannotCreate"], Reader::Field(path, "cannotCreate"), false);
  if (v.contains("cannotStart"))
    f.cannotStart = ReadStrings(r, v["cannotStart"], Reader::Field(path, "cannotStart"), false);
  return f;
}

}  // namespace

Profile LoadProfile(std::string_view jsonText, const std::string& fileName) {
  Reader r(fileName);
  Json doc;
  RepeatedFieldGuard guard(r);
  try {
    doc = Json::parse(jsonText, [&guard](int depth, Json::parse_event_t event, Json& parsed) {
      return guard(depth, event, parsed);
    });
  } catch (const Json::exception& e) {  // also a number too large for a double (1E400)
    std::string what = e.what();
    if (auto at = what.find("] "); at != std::string::npos) what = what.substr(at + 2);
    r.Fail("", "valid JSON", what);
  }
  r.Object(doc, "",
           {"name", "description", "start", "firmware", "smbios", "disks", "drives", "ramDrive",
            "tools", "faults", "captureNotes"});
  Profile p;
  p.name = Utf8OfPath(PathFromUtf8(fileName).stem());
  if (doc.contains("name")) p.name = r.String(doc["name"], "name");
  if (doc.contains("description")) p.description = r.String(doc["description"], "description");
  if (doc.contains("start")) p.start = ReadStart(r, doc["start"], "start");
  if (doc.contains("firmware")) p.firmware = ReadFirmware(r, doc["firmware"], "firmware");
  if (doc.contains("smbios")) p.smbios = ReadSmbios(r, doc["smbios"], "smbios");
  LetterBook letters(r);
  if (doc.contains("disks")) {
    const Json& disks = r.Array(doc["disks"], "disks");
    std::set<int> indexes;
    for (size_t i = 0; i < disks.size(); ++i) {
      std::string dpath = Reader::Item("disks", i);
      p.disks.push_back(ReadDisk(r, disks[i], dpath, i, letters));
      if (!indexes.insert(p.disks.back().index).second)
        r.Fail(Reader::Field(dpath, "index"), "an index no other disk has",
               std::to_string(p.disks.back().index));
    }
  }
  if (doc.contains("drives")) {
    const Json& drives = r.Array(doc["drives"], "drives");
    for (size_t i = 0; i < drives.size(); ++i)
      p.drives.push_back(ReadDrive(r, drives[i], Reader::Item("drives", i), letters));
  }
  if (doc.contains("ramDrive")) p.ramDrive = r.Bool(doc["ramDrive"], "ramDrive");
  bool hasX = false;
  for (size_t i = 0; i < p.drives.size(); ++i) {
    if (p.drives[i].letter != L"X:") continue;
    hasX = true;
    if (!p.ramDrive)
      r.Fail(Reader::Field(Reader::Item("drives", i), "letter"),
             "no X: while ramDrive is false (the machine has no RAM drive)", "\"X:\"");
    if (p.drives[i].target)
      r.Fail(Reader::Field(Reader::Item("drives", i), "target"), "no target for X:, the RAM drive",
             "a target");
  }
  if (!hasX) {
    if (doc.contains("disks")) {
      // X: is the RAM drive; a partition cannot take it.
      for (size_t i = 0; i < p.disks.size(); ++i)
        for (size_t k = 0; k < p.disks[i].partitions.size(); ++k)
          if (p.disks[i].partitions[k].letter == L"X:")
            r.Fail(Reader::Field(
                       Reader::Item(Reader::Field(Reader::Item("disks", i), "partitions"), k),
                       "letter"),
                   "a letter other than the RAM drive's", "\"X:\"");
    }
    if (p.ramDrive) p.drives.push_back(DriveSpec{L"X:", std::wstring(L"Boot"), {}, {}});
  }
  if (doc.contains("tools")) p.tools = ReadTools(r, doc["tools"], "tools");
  if (doc.contains("faults")) p.faults = ReadFaults(r, doc["faults"], "faults");
  if (doc.contains("captureNotes")) {
    const Json& notes = r.Array(doc["captureNotes"], "captureNotes");
    for (size_t i = 0; i < notes.size(); ++i)
      p.captureNotes.push_back(ReadCaptureNote(r, notes[i], Reader::Item("captureNotes", i)));
  }
  return p;
}

Profile LoadProfileFile(const std::string& path) {
  // The cause comes first: a typo in the name, or a folder given instead of a file, is not a
  // JSON error.
  std::error_code ec;
  const std::filesystem::path file = PathFromUtf8(path);
  const auto status = std::filesystem::status(file, ec);
  if (status.type() == std::filesystem::file_type::not_found)
    throw ProfileError(path + ": no such file");
  if (ec) throw ProfileError(path + ": cannot be read: " + ec.message());
  if (std::filesystem::is_directory(status))
    throw ProfileError(path + ": is a folder, not a profile file");
  std::ifstream in(file, std::ios::binary);
  if (!in) throw ProfileError(path + ": cannot be read: " + std::strerror(errno));
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw ProfileError(path + ": cannot be read: " + std::strerror(errno));
  return LoadProfile(text.str(), path);
}

}  // namespace quorvane::sim
