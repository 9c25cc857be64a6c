// The output rule: identities through the host's files, every check in one pass over the outputs.
#include "whatif/output_policy.h"

#include <algorithm>
#include <fstream>

#include "base/utf8_path.h"
#include "platform/host_files.h"
#include "whatif/out_folder.h"

namespace quorvane::whatif {
namespace {

namespace fs = std::filesystem;

// Enough of a file to tell one of this program's own; a larger one is judged by its start.
constexpr size_t kHeadBytes = 4u << 20;

struct Input {
  fs::path path;    // as the user gave it
  fs::path folder;  // the input itself when a folder, else the folder it lies in
  host::FileId id;
  bool isFolder = false;
};

std::vector<Input> LookUpInputs(const std::vector<fs::path>& paths) {
  std::vector<Input> inputs;
  for (const fs::path& path : paths) {
    const host::Entry entry = host::LookUp(path);
    if (!entry.id) continue;
    const bool isFolder = entry.kind == host::Kind::Folder;
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec);
    inputs.push_back({path, isFolder ? absolute : absolute.parent_path(), *entry.id, isFolder});
  }
  return inputs;
}

// The identities of `folder` and of every folder it lies in, taken along its final path so that a
// link on the way counts where it leads.
std::vector<host::FileId> FoldersAround(const fs::path& folder) {
  std::vector<host::FileId> ids;
  fs::path at = host::FinalPath(folder);
  while (!at.empty()) {
    if (const auto id = host::LookUp(at).id) ids.push_back(*id);
    if (!at.has_relative_path()) break;
    at = at.parent_path();
  }
  return ids;
}

bool Holds(const std::vector<host::FileId>& ids, const host::FileId& id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// Absolute, with links resolved as far as the path exists: "out/../out/summary.json" and
// "out/summary.json" meet, also where nothing exists yet.
fs::path Comparable(const fs::path& path) {
  std::error_code ec;
  return fs::weakly_canonical(fs::absolute(path, ec), ec);
}

bool IsOwnFile(const fs::path& path, const NamedOutput& output, uint64_t size) {
  if (size == 0) return true;  // nothing to lose: a name made ready for the output
  std::ifstream in(path, std::ios::binary);
  std::string head(static_cast<size_t>(std::min<uint64_t>(size, kHeadBytes)), '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(in.gcount()));
  const bool whole = head.size() == size;
  return std::any_of(output.own.begin(), output.own.end(),
                     [&](OwnFileTest test) { return test(head, whole); });
}

// The output folder: a folder of its own, and none of the run parts it replaces holds an input.
std::string CheckFolder(const fs::path& folder, const std::vector<Input>& inputs) {
  if (folder.empty()) return "--out: expects a folder name, found an empty one";
  const host::Entry entry = host::LookUp(folder);
  if (entry.kind == host::Kind::Device || entry.kind == host::Kind::Stream)
    return Utf8OfPath(folder) + ": is a device, not a folder; choose another --out";
  if (entry.kind != host::Kind::Folder) return "";  // made, or refused, when it is prepared
  for (const Input& input : inputs) {
    if (input.id == *entry.id) {
      return Utf8OfPath(folder) + ": is the input " + Utf8OfPath(input.path) +
             ", which the run reads; choose another --out";
    }
  }
  for (const char* part : kRunParts) {
    const host::Entry there = host::LookUp(folder / part);
    if (!there.id) continue;
    for (const Input& input : inputs) {
      const bool inside = input.id == *there.id || (there.kind == host::Kind::Folder &&
                                                    Holds(FoldersAround(input.folder), *there.id));
      if (inside) {
        return Utf8OfPath(folder) + ": a run here replaces its " + part +
               ", which holds the input " + Utf8OfPath(input.path) + "; choose another --out";
      }
    }
  }
  return "";
}

// Where the file lies against the output folder: the folder itself or one of its run parts.
std::string CheckAgainstFolder(const NamedOutput& output, const fs::path& folder) {
  const fs::path inFolder = Comparable(output.path).lexically_relative(Comparable(folder));
  if (inFolder == ".")
    return Utf8OfPath(output.path) + ": is the output folder itself; choose a file for " +
           output.option;
  if (inFolder.empty() || Utf8OfPath(*inFolder.begin()) == "..") return "";
  const std::string first = Utf8OfPath(*inFolder.begin());
  for (const char* part : kRunParts) {
    if (first == part) {
      return Utf8OfPath(output.path) + ": lies in the run's own " + part + " inside " +
             Utf8OfPath(folder) + "; choose another " + output.option;
    }
  }
  return "";
}

}  // namespace

std::string CheckOutputs(const OutputPlan& plan, const std::vector<fs::path>& inputPaths) {
  const std::vector<Input> inputs = LookUpInputs(inputPaths);
  if (plan.folder) {
    if (std::string refused = CheckFolder(*plan.folder, inputs); !refused.empty()) return refused;
  }
  struct Taken {
    fs::path where;
    std::optional<host::FileId> id;
  };
  std::vector<Taken> taken;
  for (const NamedOutput& output : plan.files) {
    const fs::path& path = output.path;
    const std::string name = Utf8OfPath(path);
    if (path.empty()) return output.option + ": expects a file name, found an empty one";
    const host::Entry entry = host::LookUp(path);
    if (entry.kind == host::Kind::Device)
      return name + ": is a device, not a file; choose another " + output.option;
    if (plan.folder) {
      if (std::string refused = CheckAgainstFolder(output, *plan.folder); !refused.empty())
        return refused;
    }
    if (entry.kind == host::Kind::Folder) return name + ": exists and is not a file";
    for (const Input& input : inputs) {
      if (entry.id && input.id == *entry.id) {
        return name + ": is the input " + Utf8OfPath(input.path) +
               ", which the run reads; choose " + "another " + output.option;
      }
    }
    // A file straight in an output folder still to be made finds the folder made first.
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec);
    const fs::path folder = absolute.parent_path();
    const bool folderToBeMade = plan.folder && Comparable(*plan.folder) == Comparable(folder) &&
                                host::LookUp(folder).kind == host::Kind::Missing;
    if (!folderToBeMade) {
      const host::Entry there = host::LookUp(folder);
      if (there.kind != host::Kind::Folder) {
        return name + ": " + (there.missing.empty() ? "no such folder" : there.missing) + " " +
               Utf8OfPath(Comparable(folder));
      }
      const std::vector<host::FileId> around = FoldersAround(folder);
      for (const Input& input : inputs) {
        if (input.isFolder && Holds(around, input.id)) {
          return name + ": lies in " + Utf8OfPath(input.path) +
                 ", a folder the run reads; choose " + "another " + output.option;
        }
      }
    }
    const fs::path where = Comparable(path);
    for (const Taken& other : taken) {
      if (other.where == where || (entry.id && other.id == entry.id))
        return name + ": named for two tables; give " + output.option + " a file of its own";
    }
    // Two streams on one terminal both take what they are given: only their names must differ.
    taken.push_back({where, entry.kind == host::Kind::Stream ? std::nullopt : entry.id});
    if (folderToBeMade) continue;
    const std::string why = host::WriteDenied(entry.kind == host::Kind::Missing ? folder : path);
    if (!why.empty())
      return name + ": cannot be written (" + why + "); choose another " + output.option;
    if (entry.kind == host::Kind::File && !IsOwnFile(path, output, entry.size)) {
      return name + ": exists and is not a " + output.kind + " this program wrote; choose " +
             "another name for " + output.option + " or remove the file first";
    }
  }
  return "";
}

}  // namespace quorvane::whatif
