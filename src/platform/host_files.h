// The host's files as the programs' outputs need them: what a path names and which file it is,
// whether it may be written, a file written whole or not at all, and a removal that never follows
// a link. CMake builds one implementation: platform/posix/host_files.cpp or
// platform/win32/host_files.cpp; every rule about which output may go where is the caller's.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane::host {

// Which file a path names, whatever its spelling: device and inode, or volume serial number and
// file index.
struct FileId {
  uint64_t volume = 0;
  uint64_t file = 0;
  bool operator==(const FileId&) const = default;
};

enum class Kind {
  Missing,  // nothing of that name
  File,     // a regular file
  Folder,
  Stream,  // written as it is and never replaced: a terminal, a pipe, /dev/stdout, /dev/null
  Device,  // never written: a disk, a volume, a reserved name (NUL, CON), \\.\..., \\?\GLOBALROOT
};

struct Entry {
  Kind kind = Kind::Missing;
  std::optional<FileId> id;  // when it could be read
  uint64_t size = 0;         // of a file
  std::string missing;       // Missing: "no such folder", or "no such drive" where one is named
};

// What `path` names, links followed.
Entry LookUp(const std::filesystem::path& path);

// An existing path absolute, with every link on it resolved; empty when it cannot be resolved.
std::filesystem::path FinalPath(const std::filesystem::path& path);

// Why this process may not write the file `path`, or make files in the folder `path`: the
// system's reason ("Permission denied"); empty when it may.
std::string WriteDenied(const std::filesystem::path& path);

// Writes `bytes` to the file `path` names: a Stream as it is; anything else to a new file beside
// it (where a link leads) that is renamed over it only once it is whole and on the disk. A write
// that fails leaves the earlier file as it was and no new file behind. Returns the system's
// reason ("disk full", "read-only file system", ...), or an empty string once written.
std::string WriteWhole(const std::filesystem::path& path, std::string_view bytes);

// Removes `path` and, when it is a folder, everything in it, each entry as what it is: a link
// (symbolic link, junction, any reparse point) goes as the link itself and is never entered.
// Returns the reason naming the entry, or an empty string once removed (or when nothing was
// there).
std::string RemoveTree(const std::filesystem::path& path);

// Why RemoveTree could not remove `path` so, asked before anything is removed: an entry that the
// system reaches only through a link, even when asked for the link itself (Wine shows a host's
// symbolic link so), where deleting it would delete what it leads to. Empty when it can.
std::string CheckRemovable(const std::filesystem::path& path);

}  // namespace quorvane::host
