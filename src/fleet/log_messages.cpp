// Recognizing the program's log lines: the engine's texts, narrowed once, looked up by key or
// scanned as formats.
#include "fleet/log_messages.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/text.h"
#include "classify/capability_decision.h"
#include "classify/disk_mode.h"
#include "classify/partition_roles.h"
#include "classify/system_disk.h"
#include "firmware/boot_mode.h"
#include "inventory/disk_inventory.h"
#include "procedure/install_index.h"
#include "procedure/layout_sequence.h"
#include "procedure/log_copy.h"
#include "procedure/rapid_start.h"
#include "procedure/run_log_grammar.h"
#include "run/command.h"
#include "run/run_log.h"

namespace quorvane::fleet {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The spelling the INI writer leaves when it reads a key holding '=' back: the key ends at its
// first '=', blanks trimmed on both sides of that '='.
std::string RereadSpelling(std::string_view message) {
  const size_t eq = message.find('=');
  if (eq == std::string_view::npos) return std::string(message);
  size_t end = eq;
  while (end > 0 && IsBlank(message[end - 1])) --end;
  size_t start = eq + 1;
  while (start < message.size() && IsBlank(message[start])) ++start;
  return std::string(message.substr(0, end)) + "=" + std::string(message.substr(start));
}

// A decimal number with an optional sign; false without a digit or beyond 18 digits.
bool ScanDecimal(std::string_view text, size_t& pos, int64_t& value) {
  const bool negative = pos < text.size() && text[pos] == '-';
  size_t at = pos + (negative ? 1 : 0);
  const size_t first = at;
  int64_t v = 0;
  while (at < text.size() && IsDigit(text[at]) && at - first < 18) v = v * 10 + (text[at++] - '0');
  if (at == first || (at < text.size() && IsDigit(text[at]))) return false;
  value = negative ? -v : v;
  pos = at;
  return true;
}

bool ScanHex(std::string_view text, size_t& pos, int64_t& value) {
  size_t at = pos;
  int64_t v = 0;
  while (at < text.size() && at - pos < 8) {
    const char c = text[at];
    int digit = -1;
    if (IsDigit(c)) digit = c - '0';
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) break;
    v = v * 16 + digit;
    ++at;
  }
  if (at == pos) return false;
  value = v;
  pos = at;
  return true;
}

// A message format with "%d", "%x" and, only at its end, "%s".
struct Pattern {
  std::string format;
  LineKind kind;
  uint8_t which = 0;

  bool Match(std::string_view message, LogMessage& out) const {
    size_t f = 0, m = 0;
    int numbers = 0;
    while (f < format.size()) {
      if (format[f] != '%') {
        if (m >= message.size() || message[m] != format[f]) return false;
        ++f;
        ++m;
        continue;
      }
      const char conversion = format[f + 1];
      f += 2;
      if (conversion == 's') {
        out.text = message.substr(m);
        m = message.size();
        continue;
      }
      int64_t value = 0;
      if (!(conversion == 'x' ? ScanHex(message, m, value) : ScanDecimal(message, m, value))) {
        return false;
      }
      if (numbers < 2) out.number[numbers++] = value;
    }
    return m == message.size();
  }
};

struct Keyed {
  LineKind kind;
  uint8_t which;
};

// Known texts by length: most lines are none of them, and their length or first character tells
// so before any text is compared.
class ExactTable {
 public:
  void Add(std::string_view text, Keyed value) {
    if (text.empty()) throw std::logic_error("an empty log text");
    if (byLength_.size() <= text.size()) byLength_.resize(text.size() + 1);
    byLength_[text.size()].push_back(Entry{text, value});
  }
  const Keyed* Find(std::string_view text) const {
    if (text.empty() || text.size() >= byLength_.size()) return nullptr;
    for (const Entry& entry : byLength_[text.size()]) {
      if (entry.text[0] == text[0] && entry.text == text) return &entry.value;
    }
    return nullptr;
  }

 private:
  struct Entry {
    std::string_view text;
    Keyed value;
  };
  std::vector<std::vector<Entry>> byLength_;
};

class MessageTable {
 public:
  MessageTable() {
    Value(kPbrPartitionLine, LineKind::PbrPartition);
    Value(kPbrLetterLine, LineKind::PbrLetter);
    // The flag summary's three flags, between its separators.
    for (uint8_t flag = 0; flag < 3; ++flag) {
      Value(FlagSummaryLines()[flag + 1u], LineKind::Flag, flag);
    }
    Value(kInvalidFunctionLine, LineKind::BootMode);
    Value(kNoAccessLine, LineKind::BootMode);
    Value(kDefaultLine, LineKind::BootMode);
    Value(kQhpRoleLine, LineKind::Role, kPbrRole);
    Value(kPbrRoleLine, LineKind::Role, kPbrRole);
    Value(kSsdRoleLine, LineKind::Role, kSsdRole);
    Value(kHddRoleLine, LineKind::Role, kHddRole);
    Value(kSysRoleLine, LineKind::Role, kSysRole);
    Value(kEfiRoleLine, LineKind::Role, kSysRole);
    Value(kOsRoleLine, LineKind::Role, kOsRole);
    Value(kRecoveryRoleLine, LineKind::Role, kRecoveryRole);
    // The commands whose line is the command itself: the probe's, the image listing's and the
    // roads'.
    Value(kProbeCommand, LineKind::Command);
    Value(kIndexCommandFile, LineKind::Command);
    for (Road road : {Road::Register, Road::RapidStart}) {
      Value(RoadCommandLine(road), LineKind::Command);
    }

    for (const wchar_t* line : RunStartLines()) Fixed(line, LineKind::RunStart);
    Fixed(kRefreshLine, LineKind::RefreshStart);
    Fixed(kNoMiniSsdLine, LineKind::NoMiniSsd);
    Fixed(FlagSummaryLines()[0], LineKind::Separator);
    for (size_t i = 0; i < kRoads.size(); ++i) {
      Fixed(RoadFirstLine(kRoads[i]), LineKind::Road, static_cast<uint8_t>(i));
    }
    for (const wchar_t* line : RapidStartSkipLines()) Fixed(line, LineKind::CarveSkipped);
    Fixed(kCopyLogLine, LineKind::CopyLog);
    copyScript_ = Narrow8(CopyCommandLine());

    Scan(kInventoryErrorLine, LineKind::InventoryError);
    Scan(kExitCodeLine, LineKind::ExitCode);
    Scan(kCallErrorLine, LineKind::CallError);
    Scan(kSsdCountLine, LineKind::SsdCount);
    Scan(kMiniSsdDiskLine, LineKind::MiniSsdDisk);
    Scan(kFirstBootDiskLine, LineKind::StandInDisk);
    Scan(kDefaultDiskLine, LineKind::StandInDisk);
    Scan(kCarveDiskLine, LineKind::CarveDisk);
    const std::wstring_view disk(kDiskLine);
    diskPrefix_ = Narrow8(disk.substr(0, disk.find(L'%')));
  }

  LogMessage Classify(std::string_view line) const {
    LogMessage out;
    const size_t eq = line.find('=');
    if (eq != std::string_view::npos) {
      if (const Keyed* keyed = withValue_.Find(line.substr(0, eq))) {
        out.kind = keyed->kind;
        out.which = keyed->which;
        out.message = line.substr(0, eq);
        out.value = line.substr(eq + 1);
        if (out.kind == LineKind::Command) out.text = out.message;
        return out;
      }
    }
    // Every other line the table needs has an empty value: the line ends with its '='.
    if (line.empty() || line.back() != '=') return out;
    out.message = line.substr(0, line.size() - 1);
    if (const Keyed* fixed = withoutValue_.Find(out.message)) {
      out.kind = fixed->kind;
      out.which = fixed->which;
      if (out.kind == LineKind::CopyLog) out.text = copyScript_;
      return out;
    }
    for (const Pattern& pattern : patterns_) {
      LogMessage scanned = out;
      if (pattern.Match(out.message, scanned)) {
        scanned.kind = pattern.kind;
        return scanned;
      }
    }
    // Parsed by the reader that needs them (ParseDiskLine, ParsePartitionLine).
    if (out.message.starts_with(diskPrefix_)) {
      out.kind = LineKind::Disk;
    } else if (out.message.size() > 1 && out.message[0] == '[' && IsDigit(out.message[1])) {
      out.kind = LineKind::Partition;
    }
    return out;
  }

 private:
  // Keys whose value the table reads; none of them holds '='.
  void Value(std::wstring_view key, LineKind kind, uint8_t which = 0) {
    const std::string& text = Keep(Narrow8(key));
    if (text.find('=') != std::string::npos) throw std::logic_error("a keyed line holds '='");
    withValue_.Add(text, Keyed{kind, which});
  }
  void Fixed(std::wstring_view message, LineKind kind, uint8_t which = 0) {
    const std::string written = Narrow8(message);
    withoutValue_.Add(Keep(written), Keyed{kind, which});
    const std::string reread = RereadSpelling(written);
    if (reread != written) withoutValue_.Add(Keep(reread), Keyed{kind, which});
  }
  void Scan(std::wstring_view format, LineKind kind) {
    const std::string written = Narrow8(format);
    const size_t s = written.find("%s");
    if (s != std::string::npos && s + 2 != written.size()) {
      throw std::logic_error("a scanned format has text after its %s");
    }
    patterns_.push_back(Pattern{written, kind});
    const std::string reread = RereadSpelling(written);
    if (reread != written) patterns_.push_back(Pattern{reread, kind});
  }
  const std::string& Keep(std::string text) {
    texts_.push_back(std::make_unique<std::string>(std::move(text)));
    return *texts_.back();
  }

  std::vector<std::unique_ptr<std::string>> texts_;  // the views below point into these
  ExactTable withValue_;
  ExactTable withoutValue_;
  std::vector<Pattern> patterns_;
  std::string copyScript_;
  std::string diskPrefix_;
};

const MessageTable& Table() {
  static const MessageTable table;
  return table;
}

bool WholeDecimal(std::string_view text, int64_t& value) {
  size_t pos = 0;
  return ScanDecimal(text, pos, value) && pos == text.size();
}

}  // namespace

LogMessage ClassifyLine(std::string_view line) { return Table().Classify(line); }

std::optional<DiskCell> ParseDiskLine(std::string_view message) {
  // "HDD %d, %s, %s, #P=%d, %d, %s": the caption may hold ", ", the fields after it do not.
  constexpr std::string_view kComma = ", ";
  std::string_view rest = message;
  std::string_view fields[4];  // style, size, "#P=n", device ID, from the right
  for (auto& field : fields) {
    const size_t at = rest.rfind(kComma);
    if (at == std::string_view::npos) return std::nullopt;
    field = rest.substr(at + kComma.size());
    rest = rest.substr(0, at);
  }
  DiskCell disk;
  int64_t number = 0;
  static const std::string kGpt = Narrow8(kGptStyle);
  static const std::string kMbr = Narrow8(kMbrStyle);
  if (fields[0] == kGpt) {
    disk.style = "gpt";
  } else if (fields[0] == kMbr) {
    disk.style = "mbr";
  } else {
    return std::nullopt;
  }
  if (!WholeDecimal(fields[1], disk.sizeMB)) return std::nullopt;
  if (!fields[2].starts_with("#P=") || !WholeDecimal(fields[2].substr(3), number)) {
    return std::nullopt;
  }
  disk.partitions = static_cast<int32_t>(number);
  disk.deviceId = Utf8From8Bit(fields[3]);
  if (!rest.starts_with("HDD ")) return std::nullopt;
  size_t pos = 4;
  if (!ScanDecimal(rest, pos, number) || rest.substr(pos, kComma.size()) != kComma) {
    return std::nullopt;
  }
  disk.index = static_cast<int32_t>(number);
  disk.model = Utf8From8Bit(rest.substr(pos + kComma.size()));
  return disk;
}

std::optional<PartitionCell> ParsePartitionLine(std::string_view message) {
  // "[%d]%d %d %s %s %.2fGB %s": the letter holds no blank; the label may hold anything, so the
  // size is the last "<digits>.<2 digits>GB " after a blank.
  PartitionCell part;
  int64_t number = 0;
  size_t pos = 1;
  if (!message.starts_with('[') || !ScanDecimal(message, pos, number) || pos >= message.size() ||
      message[pos] != ']') {
    return std::nullopt;
  }
  ++pos;
  if (!ScanDecimal(message, pos, number) || pos >= message.size() || message[pos] != ' ') {
    return std::nullopt;
  }
  part.disk = static_cast<int32_t>(number);
  ++pos;
  if (!ScanDecimal(message, pos, number) || pos >= message.size() || message[pos] != ' ') {
    return std::nullopt;
  }
  part.index = static_cast<int32_t>(number);
  ++pos;
  const size_t letterEnd = message.find(' ', pos);
  if (letterEnd == std::string_view::npos) return std::nullopt;
  part.letter = Utf8From8Bit(message.substr(pos, letterEnd - pos));
  const std::string_view rest = message.substr(letterEnd + 1);
  for (size_t gb = rest.rfind("GB "); gb != std::string_view::npos && gb >= 5;
       gb = rest.rfind("GB ", gb - 1)) {
    // "d.ddGB" with at least one whole digit, after a blank.
    if (!IsDigit(rest[gb - 1]) || !IsDigit(rest[gb - 2]) || rest[gb - 3] != '.') continue;
    size_t start = gb - 3;
    while (start > 0 && IsDigit(rest[start - 1])) --start;
    if (start == gb - 3 || start == 0 || rest[start - 1] != ' ') continue;
    part.label = Utf8From8Bit(rest.substr(0, start - 1));
    part.sizeGB = rest.substr(start, gb - start);
    part.type = Utf8From8Bit(rest.substr(gb + 3));
    return part;
  }
  return std::nullopt;
}

std::optional<RoleCell> ParseRoleValue(std::string_view value) {
  static const Pattern kValue{Narrow8(kRoleValue), LineKind::Role};
  // The INI writer may have trimmed the blank before an empty device ID.
  LogMessage scanned;
  if (!kValue.Match(value, scanned) && !kValue.Match(std::string(value) + " ", scanned)) {
    return std::nullopt;
  }
  return RoleCell{true, static_cast<int32_t>(scanned.number[0]),
                  static_cast<int32_t>(scanned.number[1])};
}

}  // namespace quorvane::fleet
