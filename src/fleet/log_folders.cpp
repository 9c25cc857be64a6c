// Finding run logs under folders, grouping them by machine and reading each machine's row.
#include "fleet/log_folders.h"

#include <map>

#include "base/text.h"
#include "base/utf8_path.h"
#include "fleet/input_paths.h"
#include "fleet/log_file.h"
#include "fleet/log_reader.h"
#include "procedure/log_copy.h"
#include "run/run_log.h"

namespace quorvane::fleet {
namespace {

namespace fs = std::filesystem;

// `wanted` is upper-case ASCII; the name is compared in the system's own characters, unconverted.
bool SameNameIgnoringCase(const fs::path& name, const std::string& wanted) {
  const fs::path::string_type& text = name.native();
  if (text.size() != wanted.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    auto c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<fs::path::value_type>(c - 'a' + 'A');
    if (c != static_cast<fs::path::value_type>(wanted[i])) return false;
  }
  return true;
}

// A file or folder name as SameNameIgnoringCase wants it.
std::string Upper(const wchar_t* name) { return Narrow8(ToUpperAscii(name)); }

std::string MachineName(const fs::path& folder) {
  const fs::path name = folder.filename();
  return Utf8OfPath(name.empty() ? folder : name);
}

fs::path MachineFolderOfAbsolute(const fs::path& absoluteFile) {
  fs::path folder = absoluteFile.parent_path();
  static const std::string kTools = Upper(kToolsFolderName);
  if (SameNameIgnoringCase(folder.filename(), kTools)) {
    folder = folder.parent_path();
  }
  return folder;
}

// Machine folder -> its files: absolute path (a file named twice is read once) -> the path as
// the input spells it. Keyed by text, which orders as paths do within one folder.
using Found = std::map<fs::path::string_type, std::map<fs::path::string_type, fs::path>>;

void Add(Found& found, const fs::path& absoluteFile, const fs::path& spelled) {
  found[MachineFolderOfAbsolute(absoluteFile).native()].emplace(absoluteFile.native(), spelled);
}

// Whether `inner` is `outer` or lies inside it (both canonical).
bool Within(const fs::path& inner, const fs::path& outer) {
  auto i = inner.begin();
  for (auto o = outer.begin(); o != outer.end(); ++o, ++i) {
    if (i == inner.end() || *i != *o) return false;
  }
  return true;
}

// A link met in the walk: false when it is not to be followed (a loop, or it leads nowhere).
// `spelled` names it as the input does.
bool FollowLink(const fs::directory_entry& entry, const fs::path& spelled,
                std::vector<std::string>& passedOver) {
  std::error_code ec;
  const fs::path target = fs::canonical(entry.path(), ec);
  if (ec) {
    passedOver.push_back(Utf8OfPath(spelled) +
                         (ec == std::errc::too_many_symbolic_link_levels
                              ? std::string(": a link loop: the link leads back to itself")
                              : ": a link that leads nowhere (" + ec.message() + ")"));
    return false;
  }
  if (!fs::is_directory(target, ec)) return true;
  const fs::path parent = fs::canonical(entry.path().parent_path(), ec);
  if (!ec && Within(parent, target)) {
    passedOver.push_back(Utf8OfPath(spelled) + ": a link loop: it leads back to " +
                         Utf8OfPath(target) + ", which holds it");
    return false;
  }
  return true;
}

}  // namespace

fs::path MachineFolderOf(const fs::path& logFile) {
  return MachineFolderOfAbsolute(fs::absolute(logFile).lexically_normal());
}

std::vector<MachineLogs> FindMachineLogs(const std::vector<std::string>& inputs,
                                         std::vector<std::string>& errors,
                                         std::vector<std::string>* passedOver) {
  std::vector<std::string> ignored;
  std::vector<std::string>& skipped = passedOver != nullptr ? *passedOver : ignored;
  Found found;
  static const std::string logName = Upper(kLogFileName);
  for (const std::string& input : inputs) {
    const InputKind kind = KindOfInput(input, errors);
    if (kind == InputKind::Refused) continue;
    std::error_code ec;
    const fs::path path(input);
    const fs::path root = fs::absolute(path, ec).lexically_normal();
    if (kind == InputKind::File) {
      Add(found, root, path.lexically_normal());
      continue;
    }
    // Walk the absolute, normal root: every entry's path is then absolute and normal as it is.
    const size_t rootChars = root.native().size();
    size_t logs = 0;
    fs::recursive_directory_iterator it(root,
                                        fs::directory_options::skip_permission_denied |
                                            fs::directory_options::follow_directory_symlink,
                                        ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
      const fs::path& entry = it->path();
      std::error_code linkError;
      if (it->is_symlink(linkError) &&
          !FollowLink(*it, path / entry.native().substr(rootChars + 1), skipped)) {
        it.disable_recursion_pending();
        continue;
      }
      if (!SameNameIgnoringCase(entry.filename(), logName)) continue;
      std::error_code typeError;
      if (!it->is_regular_file(typeError)) continue;
      const fs::path::string_type relative = entry.native().substr(rootChars + 1);
      Add(found, entry, path / relative);
      ++logs;
    }
    if (ec) {
      errors.push_back(input + ": " + ec.message());
    } else if (logs == 0) {
      errors.push_back(input + ": no " + Narrow8(kLogFileName) + " in it");
    }
  }

  std::vector<MachineLogs> machines;
  machines.reserve(found.size());
  for (auto& [folder, files] : found) {
    MachineLogs machine{MachineName(fs::path(folder)), folder, {}};
    machine.files.reserve(files.size());
    for (auto& [absolute, spelled] : files) machine.files.push_back(std::move(spelled));
    machines.push_back(std::move(machine));
  }
  return machines;
}

std::vector<FleetRow> ReadFleetLogs(const std::vector<MachineLogs>& machines) {
  std::vector<FleetRow> rows;
  rows.reserve(machines.size());
  std::vector<LogFile> files;
  for (const MachineLogs& machine : machines) {
    files.clear();
    for (const fs::path& path : machine.files) files.push_back(ReadLogFile(path));
    rows.push_back(ReadMachineRow(machine.machine, files));
  }
  return rows;
}

}  // namespace quorvane::fleet
