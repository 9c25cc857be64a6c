// The host's files on POSIX: stat for what a path names, a temporary file renamed into place, and
// a removal walk through open folders that looks at each entry with lstat and never follows a link.
#include "platform/host_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace quorvane::host {
namespace {

namespace fs = std::filesystem;

// The system's reason in the words a user looks for; the system's own text for the rest.
std::string Reason(int error) {
  switch (error) {
    case ENOSPC:
      return "disk full";
    case EDQUOT:
      return "disk quota exceeded";
    case EROFS:
      return "read-only file system";
    case EACCES:
    case EPERM:
      return "permission denied";
    case ENOENT:
      return "no such folder";
    case ENOTDIR:
      return "a file where a folder was expected";
    case EISDIR:
      return "a folder where a file was expected";
    case EFBIG:
      return "file too large";
    default:
      return std::strerror(error);
  }
}

// A file that is this program's own standard output or error (`--csv /dev/stdout > t.csv`) is
// the user's stream: written as it is, never replaced under the shell that opened it.
bool IsStandardStream(const struct stat& file) {
  for (int fd : {STDOUT_FILENO, STDERR_FILENO}) {
    struct stat stream;
    if (fstat(fd, &stream) == 0 && stream.st_dev == file.st_dev && stream.st_ino == file.st_ino)
      return true;
  }
  return false;
}

int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = write(fd, bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return put < 0 ? errno : EIO;
    bytes.remove_prefix(static_cast<size_t>(put));
  }
  return 0;
}

std::string WriteStream(const fs::path& path, std::string_view bytes) {
  // Appended, never truncated: a file behind the stream may hold what the user put there.
  const int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) return Reason(errno);
  int error = WriteAll(fd, bytes);
  if (close(fd) != 0 && error == 0) error = errno;
  return error == 0 ? "" : Reason(error);
}

std::string ReplaceFile(const fs::path& target, std::string_view bytes) {
  static std::atomic<unsigned> counter{0};
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  // A name of its own beside the target, short enough for any name the target has.
  const std::string stem =
      "." + target.filename().string().substr(0, 200) + "." + std::to_string(getpid()) + "-";
  fs::path temp;
  int fd = -1;
  for (int attempt = 0; fd < 0; ++attempt) {
    temp = folder / (stem + std::to_string(counter++) + ".tmp");
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && (errno != EEXIST || attempt == 100)) return Reason(errno);
  }
  // The earlier file's permissions go to the one that replaces it.
  struct stat earlier;
  if (stat(target.c_str(), &earlier) == 0 && S_ISREG(earlier.st_mode))
    fchmod(fd, earlier.st_mode & 07777);
  int error = WriteAll(fd, bytes);
  if (error == 0 && fsync(fd) != 0) error = errno;
  if (close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && rename(temp.c_str(), target.c_str()) != 0) error = errno;
  if (error == 0) return "";
  unlink(temp.c_str());
  return Reason(error);
}

// Removes the entry `name` of the open folder `dir` as what it is: a folder (never a link to one)
// after everything in it. `path` names it for the reason.
std::string RemoveAt(int dir, const std::string& name, const fs::path& path) {
  struct stat entry;
  if (fstatat(dir, name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0)
    return errno == ENOENT ? "" : path.string() + ": " + Reason(errno);
  if (!S_ISDIR(entry.st_mode)) {
    if (unlinkat(dir, name.c_str(), 0) == 0 || errno == ENOENT) return "";
    return path.string() + ": " + Reason(errno);
  }
  const int fd = openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return path.string() + ": " + Reason(errno);
  DIR* list = fdopendir(fd);
  if (list == nullptr) {
    const int error = errno;
    close(fd);
    return path.string() + ": " + Reason(error);
  }
  std::vector<std::string> names;
  while (const dirent* child = readdir(list)) {
    const std::string childName = child->d_name;
    if (childName != "." && childName != "..") names.push_back(childName);
  }
  std::string refused;
  for (const std::string& childName : names) {
    refused = RemoveAt(fd, childName, path / childName);
    if (!refused.empty()) break;
  }
  closedir(list);
  if (!refused.empty()) return refused;
  if (unlinkat(dir, name.c_str(), AT_REMOVEDIR) == 0) return "";
  return path.string() + ": " + Reason(errno);
}

}  // namespace

Entry LookUp(const fs::path& path) {
  Entry entry;
  struct stat file;
  if (stat(path.c_str(), &file) != 0) {
    entry.missing = errno == ENOTDIR ? Reason(ENOTDIR) : Reason(ENOENT);
    return entry;
  }
  entry.id = FileId{static_cast<uint64_t>(file.st_dev), static_cast<uint64_t>(file.st_ino)};
  if (S_ISDIR(file.st_mode)) {
    entry.kind = Kind::Folder;
  } else if (S_ISREG(file.st_mode)) {
    entry.kind = IsStandardStream(file) ? Kind::Stream : Kind::File;
    entry.size = static_cast<uint64_t>(file.st_size);
  } else {
    entry.kind = S_ISBLK(file.st_mode) ? Kind::Device : Kind::Stream;
  }
  return entry;
}

fs::path FinalPath(const fs::path& path) {
  char* resolved = realpath(path.c_str(), nullptr);
  if (resolved == nullptr) return {};
  fs::path final(resolved);
  std::free(resolved);
  return final;
}

std::string WriteDenied(const fs::path& path) {
  struct stat file;
  const bool folder = stat(path.c_str(), &file) == 0 && S_ISDIR(file.st_mode);
  if (access(path.c_str(), folder ? W_OK | X_OK : W_OK) == 0) return "";
  return std::strerror(errno);
}

std::string WriteWhole(const fs::path& path, std::string_view bytes) {
  const Entry entry = LookUp(path);
  if (entry.kind == Kind::Stream) return WriteStream(path, bytes);
  if (entry.kind == Kind::Device) return "a device, not a file";
  if (entry.kind == Kind::Folder) return Reason(EISDIR);
  // Through a link, the file it leads to is replaced and the link stays.
  const fs::path final = entry.kind == Kind::File ? FinalPath(path) : fs::path();
  return ReplaceFile(final.empty() ? path : final, bytes);
}

std::string RemoveTree(const fs::path& path) {
  const fs::path parent = path.has_parent_path() ? path.parent_path() : fs::path(".");
  const int dir = open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return errno == ENOENT ? "" : parent.string() + ": " + Reason(errno);
  std::string refused = RemoveAt(dir, path.filename().string(), path);
  close(dir);
  return refused;
}

// lstat never follows a link, so nothing is reached through one.
std::string CheckRemovable(const fs::path&) { return ""; }

}  // namespace quorvane::host
