// The in-memory file tree of a simulated volume, and writing it out as host folders.
#include "platform/sim/volume_files.h"

#include <cerrno>
#include <fstream>
#include <system_error>

#include "base/text.h"
#include "base/utf8_path.h"

namespace quorvane::sim {
namespace {

namespace fs = std::filesystem;

std::unique_ptr<VolumeFiles::Entry> Copy(const VolumeFiles::Entry& entry) {
  auto copy = std::make_unique<VolumeFiles::Entry>();
  copy->name = entry.name;
  copy->folder = entry.folder;
  copy->bytes = entry.bytes;
  for (const auto& child : entry.children) copy->children.push_back(Copy(*child));
  return copy;
}

void Visit(const VolumeFiles::Entry& folder, const std::string& prefix,
           const std::function<void(const std::string&, const VolumeFiles::Entry&)>& visit) {
  for (const auto& child : folder.children) {
    const std::string path = prefix + ToUtf8(child->name);
    if (child->folder) {
      Visit(*child, path + "/", visit);
    } else {
      visit(path, *child);
    }
  }
}

// A write that fails throws the system's reason: "cannot write PATH: No space left on device".
void Write(const VolumeFiles::Entry& folder, const fs::path& at) {
  std::error_code ec;
  fs::create_directories(at, ec);
  if (ec) throw std::system_error(ec, "cannot write " + Utf8OfPath(at));
  for (const auto& child : folder.children) {
    const fs::path path = at / PathFromUtf8(ToUtf8(child->name));
    if (child->folder) {
      Write(*child, path);
      continue;
    }
    errno = 0;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(child->bytes.data(), static_cast<std::streamsize>(child->bytes.size()));
    out.close();  // a write the disk refuses shows here at the latest
    if (!out) {
      throw std::system_error(errno != 0 ? errno : EIO, std::generic_category(),
                              "cannot write " + Utf8OfPath(path));
    }
  }
}

}  // namespace

VolumeFiles& VolumeFiles::operator=(const VolumeFiles& other) {
  if (this != &other) root_ = std::move(*Copy(other.root_));
  return *this;
}

VolumeFiles::Entry* VolumeFiles::Child(const Entry& folder, std::wstring_view name) {
  for (const auto& child : folder.children)
    if (EqualsIgnoreCaseAscii(child->name, name)) return child.get();
  return nullptr;
}

VolumeFiles::Entry& VolumeFiles::Add(Entry& folder, std::wstring name, bool isFolder) {
  auto entry = std::make_unique<Entry>();
  entry->name = std::move(name);
  entry->folder = isFolder;
  folder.children.push_back(std::move(entry));
  return *folder.children.back();
}

void VolumeFiles::Remove(Entry& folder, const Entry* child) {
  for (auto it = folder.children.begin(); it != folder.children.end(); ++it) {
    if (it->get() != child) continue;
    folder.children.erase(it);
    return;
  }
}

void VolumeFiles::Put(const std::string& path, std::string bytes) {
  const bool isFolder = !path.empty() && path.back() == '/';
  Entry* at = &root_;
  size_t start = 0;
  while (start < path.size()) {
    size_t end = path.find('/', start);
    const bool last = end == std::string::npos;
    if (last) end = path.size();
    const std::wstring name = FromUtf8(path.substr(start, end - start));
    start = end + 1;
    const bool folder = !last || isFolder;
    Entry* next = Child(*at, name);
    if (next == nullptr) next = &Add(*at, name, folder);
    if (!folder) next->bytes = std::move(bytes);
    at = next;
  }
}

void VolumeFiles::ForEachFile(
    const std::function<void(const std::string& path, const Entry& file)>& visit) const {
  Visit(root_, "", visit);
}

void VolumeFiles::WriteTo(const fs::path& folder) const { Write(root_, folder); }

}  // namespace quorvane::sim
