// The one rule of what either program may write (quorvane-sim in every mode, quorvane.exe
// --what-if and --capture): each output the user names, checked against the run's inputs, the
// other outputs and what already lies there, before anything is written.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::whatif {

// Whether an existing file is one this program wrote, known by its content: its first bytes
// (`head`), which are the whole file when `whole`.
using OwnFileTest = bool (*)(std::string_view head, bool whole);

// An output file the user named.
struct NamedOutput {
  std::string option;  // "--html", "--csv", "--json", "--capture": named in a refusal
  std::filesystem::path path;
  std::string kind;              // what goes there, as a refusal names it: "page", "CSV table"
  std::vector<OwnFileTest> own;  // the earlier files of this program's it may replace
};

// Every output of one run.
struct OutputPlan {
  std::optional<std::filesystem::path> folder;  // --out: the output folder (out_folder.h)
  std::vector<NamedOutput> files;
};

// Empty when every output may be written; otherwise the one line that refuses the run (without
// the program's name). `inputs` are the files and folders the run reads (a folder: every file
// in it, at any depth); one that does not exist is passed over. Refused:
// - an empty name; a device or a reserved name (NUL, CON, \\.\PhysicalDrive0); a stream such as
//   /dev/stdout may take a file;
// - an output that is an input, by identity and not by spelling, or lies in an input folder;
//   an output folder whose run parts, which a run replaces, hold an input;
// - a file that is the output folder or lies in its run parts, or that is named twice;
// - a file in a folder that does not exist, or that cannot be written;
// - an existing file, not empty, that none of its `own` tests knows: the user's, never replaced.
std::string CheckOutputs(const OutputPlan& plan, const std::vector<std::filesystem::path>& inputs);

}  // namespace quorvane::whatif
