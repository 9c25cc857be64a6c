// The files of one simulated volume, kept in memory: folders and files whose names match ignoring
// ASCII case and keep the spelling they were made with.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane::sim {

class VolumeFiles {
 public:
  struct Entry {
    std::wstring name;  // as first spelled
    bool folder = false;
    std::string bytes;                             // a file's contents (8-bit, as on Windows)
    std::vector<std::unique_ptr<Entry>> children;  // a folder's entries, in the order made
  };

  VolumeFiles() { root_.folder = true; }
  VolumeFiles(const VolumeFiles& other) { *this = other; }
  VolumeFiles& operator=(const VolumeFiles& other);
  VolumeFiles(VolumeFiles&&) = default;
  VolumeFiles& operator=(VolumeFiles&&) = default;

  Entry& Root() { return root_; }
  const Entry& Root() const { return root_; }

  // The entry of `folder` named `name` (ASCII case ignored), or null.
  static Entry* Child(const Entry& folder, std::wstring_view name);
  // A new entry in `folder`; the caller has made sure no entry of that name exists.
  static Entry& Add(Entry& folder, std::wstring name, bool isFolder);
  // Removes `child` (and everything under it) from `folder`.
  static void Remove(Entry& folder, const Entry* child);

  // Puts a file or, for a path ending in '/', a folder, with the folders above it ('/'-separated,
  // UTF-8, as a profile names them).
  void Put(const std::string& path, std::string bytes);

  // Every file below the root, with its '/'-separated spelled path (UTF-8), in the order made.
  void ForEachFile(
      const std::function<void(const std::string& path, const Entry& file)>& visit) const;

  // Writes every folder and file under `folder` on the host; throws std::system_error with the
  // system's reason when it cannot.
  void WriteTo(const std::filesystem::path& folder) const;

 private:
  Entry root_;
};

}  // namespace quorvane::sim
