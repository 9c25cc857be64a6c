// diskpart on the simulated machine: runs a partitioning script against the simulated disks.
#include <algorithm>

#include "base/text.h"
#include "platform/sim/commands/command_words.h"
#include "platform/sim/commands/tool_standins.h"

namespace quorvane::sim::standin {

namespace {
constexpr uint32_t kScriptUnreadable = 3;
constexpr uint32_t kCommandFailed = 5;

// No token of the header may be a lone digit: the system-disk probe takes the first one.
constexpr std::string_view kHeader =
    "\nPartitioning tool version 10.0.19041.3636\n\nOn computer: SIMPC\n\n";
constexpr std::string_view kNotValid = "The arguments specified for this command are not valid.";

bool IsDigits(std::wstring_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

bool IsHex(std::wstring_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
  });
}

// A partition type GUID as the tool takes it: 8-4-4-4-12 hexadecimal digits.
bool IsGuid(std::wstring_view text) {
  static constexpr size_t kGroups[] = {8, 4, 4, 4, 12};
  for (size_t i = 0; i < 5; ++i) {
    size_t dash = i < 4 ? text.find(L'-') : text.size();
    if (dash != kGroups[i] || !IsHex(text.substr(0, dash))) return false;
    text.remove_prefix(std::min(text.size(), dash + 1));
  }
  return true;
}

class DiskpartRun {
 public:
  explicit DiskpartRun(CommandHost& host) : m_host(host) {}

  ToolResult Run(std::string_view scriptBytes) {
    std::string report(kHeader);
    uint32_t exitCode = 0;
    std::wstring text = WidenTextFile(scriptBytes);
    size_t start = 0;
    while (start < text.size()) {
      size_t end = std::min(text.find(L'\n', start), text.size());
      std::wstring line = Trim(std::wstring_view(text).substr(start, end - start));
      start = end + 1;
      std::vector<std::wstring> words = SplitWords(line);
      if (words.empty() || EqualsIgnoreCaseAscii(words.front(), L"rem")) continue;
      if (EqualsIgnoreCaseAscii(words.front(), L"exit")) {
        report += "Leaving the partitioning tool...\n";
        break;
      }
      std::string message;
      bool ok = Execute(words, message);
      report += message + "\n\n";
      if (!ok) {
        exitCode = kCommandFailed;  // a script stops at its first failing command
        break;
      }
    }
    const auto& given = m_host.Tools().systemDiskReport;
    if (m_askedForSystemDisk && given) report = *given;
    return {exitCode, report};
  }

 private:
  bool Execute(const std::vector<std::wstring>& words, std::string& message) {
    std::wstring verb = ToLowerAscii(words.front());
    std::wstring object = words.size() > 1 ? ToLowerAscii(words[1]) : std::wstring();
    if (verb == L"select" && object == L"disk" && words.size() == 3)
      return Select(words[2], message);
    if (verb == L"clean" && words.size() == 1) return Clean(message);
    if (verb == L"convert" && words.size() == 2 && (object == L"gpt" || object == L"mbr")) {
      return Convert(object == L"gpt", message);
    }
    if (verb == L"create" && object == L"partition" && words.size() >= 3 &&
        EqualsIgnoreCaseAscii(words[2], L"primary")) {
      return Create(std::vector<std::wstring>(words.begin() + 3, words.end()), message);
    }
    if (verb == L"set" && words.size() >= 2 && StartsWith(object, L"id=")) {
      return SetId(words[1].substr(3), message);
    }
    message = kNotValid;
    return false;
  }

  bool Select(const std::wstring& which, std::string& message) {
    m_disk.reset();
    m_partition.reset();
    std::optional<int> number;
    if (EqualsIgnoreCaseAscii(which, L"system")) {
      m_askedForSystemDisk = true;
      number = m_host.Tools().systemDisk;
      if (!number) {
        message = "The system disk could not be found.\n\nThere is no disk selected.";
        return false;
      }
    } else if (IsDigits(which) && which.size() < 6) {
      number = ParseInt32(which);
    }
    if (!number || !FindDisk(*number)) {
      message = "The disk you specified is not valid.\n\nThere is no disk selected.";
      return false;
    }
    m_disk = *number;
    message = "Disk " + std::to_string(*number) + " is now the selected disk.";
    return true;
  }

  // The selected disk when it can be changed; otherwise the reason in `message`.
  DiskSpec* Writable(std::string& message) {
    DiskSpec* disk = m_disk ? FindDisk(*m_disk) : nullptr;
    if (!disk) {
      message = "There is no disk selected.\nPlease select a disk and try again.";
    } else if (!disk->media) {
      message = "There is no media in the device.";
      disk = nullptr;
    }
    return disk;
  }

  bool Clean(std::string& message) {
    DiskSpec* disk = Writable(message);
    if (!disk) return false;
    m_host.CleanDisk(disk->index);
    m_partition.reset();
    message = "Succeeded in cleaning the disk.";
    return true;
  }

  bool Convert(bool gpt, std::string& message) {
    DiskSpec* disk = Writable(message);
    if (!disk) return false;
    if (!disk->partitions.empty()) {
      message = "The specified disk is not convertible. Only empty disks can be converted.";
      return false;
    }
    disk->gpt = gpt;
    message = std::string("Succeeded in converting the selected disk to ") + (gpt ? "GPT" : "MBR") +
              " format.";
    return true;
  }

  bool Create(const std::vector<std::wstring>& options, std::string& message) {
    DiskSpec* disk = Writable(message);
    if (!disk) return false;
    int64_t used = 1;  // the first partition starts at 1 MiB
    for (const auto& partition : disk->partitions) used += partition.sizeMB;
    int64_t free = disk->sizeMB - used;
    std::optional<int64_t> size;
    for (const auto& option : options) {
      std::wstring value = option.substr(std::min<size_t>(option.size(), 5));
      if (!StartsWith(ToLowerAscii(option), L"size=") || size) {
        message = kNotValid;
        return false;
      }
      // A size that is not a plain positive number is refused, never taken as 0.
      size = IsDigits(value) && value.size() < 12 ? ParseInt64(value) : 0;
      if (*size <= 0) {
        message = kNotValid;
        return false;
      }
    }
    int64_t length = size.value_or(free);
    if (length <= 0 || length > free) {
      message =
          "There is not enough usable free space on the specified disk to create a partition "
          "at the requested size.";
      return false;
    }
    if (!disk->gpt && disk->partitions.size() >= 4) {
      message = "The disk already holds the most primary partitions it can hold.";
      return false;
    }
    PartitionSpec partition;
    partition.sizeMB = length;
    partition.label.reset();  // a new partition has no file system yet
    partition.type = disk->gpt ? L"GPT: Basic Data" : L"Installable File System";
    disk->partitions.push_back(partition);
    m_partition = disk->partitions.size() - 1;
    message = "Succeeded in creating the specified partition.";
    return true;
  }

  bool SetId(const std::wstring& id, std::string& message) {
    DiskSpec* disk = Writable(message);
    if (!disk) return false;
    if (!m_partition || *m_partition >= disk->partitions.size()) {
      message = "There is no partition selected.\nPlease select a partition and try again.";
      return false;
    }
    bool fits = disk->gpt ? IsGuid(id) : IsHex(id) && id.size() <= 2;
    if (!fits) {
      message = "The specified type is not in the correct format.";
      return false;
    }
    disk->partitions[*m_partition].type = disk->gpt ? L"GPT: Unknown" : L"Unknown";
    message = "Succeeded in setting the partition ID.";
    return true;
  }

  DiskSpec* FindDisk(int number) {
    for (auto& disk : m_host.Disks()) {
      if (disk.index == number) return &disk;
    }
    return nullptr;
  }

  CommandHost& m_host;
  std::optional<int> m_disk;
  std::optional<size_t> m_partition;
  bool m_askedForSystemDisk = false;
};
}  // namespace

ToolResult RunDiskpart(CommandHost& host, const std::vector<std::wstring>& args) {
  std::optional<std::string> script;
  for (size_t i = 0; i + 1 < args.size(); ++i) {
    if (EqualsIgnoreCaseAscii(args[i], L"/s")) {
      script = host.ReadFile(args[i + 1]);
      break;
    }
  }
  if (!script) {
    return {kScriptUnreadable, std::string(kHeader) + "The script file could not be opened.\n"};
  }
  ToolResult result = DiskpartRun(host).Run(*script);
  result.script = std::move(*script);
  return result;
}

}  // namespace quorvane::sim::standin
