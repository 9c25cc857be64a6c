// Test helper: the capture's raw reads over volumes kept in host folders. A derived class tells
// which folder a Windows path starts in; names match without regard to ASCII case, as on Windows.
#pragma once

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>

#include "base/text.h"
#include "capture/capture_system.h"

namespace quorvane::testing {

class FolderCaptureSystem : public capture::CaptureSystem {
 public:
  // The host folder of the volume `path` lies on, and where the names below its root begin.
  virtual std::optional<std::filesystem::path> VolumeFolder(const std::wstring& path,
                                                            size_t& namesAt) = 0;

  capture::Outcome<capture::DriveLayout> ReadDriveLayout(int) override { return {{}, 2}; }
  capture::Outcome<capture::DeviceNumber> VolumeDeviceNumber(const std::wstring&) override {
    return {{}, 1};
  }

  bool VolumeReadOnly(const std::wstring&) override { return false; }

  capture::PathEntry LookUp(const std::wstring& path) override {
    capture::PathEntry entry;
    auto host = HostPath(path);
    if (!host) return entry;
    entry.kind = std::filesystem::is_directory(*host) ? capture::PathEntry::Kind::Folder
                                                      : capture::PathEntry::Kind::File;
    entry.name = FromUtf8(host->filename().string());
    return entry;
  }

  capture::Outcome<std::string> ReadFileRange(const std::wstring& path, uint64_t offset,
                                              uint32_t length) override {
    auto host = HostPath(path);
    if (!host || !std::filesystem::is_regular_file(*host)) return {{}, 2};
    std::ifstream in(*host, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    std::string bytes(length, '\0');
    in.read(bytes.data(), length);
    bytes.resize(static_cast<size_t>(in.gcount()));
    return {bytes, 0};
  }

  std::string WriteNewFile(const std::wstring& path, std::string_view bytes) override {
    if (!writable) return "disk full";
    written[path] = std::string(bytes);
    return "";
  }

  std::map<std::wstring, std::string> written;
  bool writable = true;

 private:
  std::optional<std::filesystem::path> HostPath(const std::wstring& path) {
    size_t at = 0;
    auto folder = VolumeFolder(path, at);
    if (!folder) return std::nullopt;
    while (at < path.size()) {
      size_t end = std::min(path.find(L'\\', at), path.size());
      const std::wstring name = path.substr(at, end - at);
      at = end + 1;
      if (name.empty()) continue;
      std::optional<std::filesystem::path> next;
      std::error_code ec;
      for (const auto& e : std::filesystem::directory_iterator(*folder, ec))
        if (EqualsIgnoreCaseAscii(FromUtf8(e.path().filename().string()), name)) next = e.path();
      if (!next) return std::nullopt;
      folder = next;
    }
    return folder;
  }
};

}  // namespace quorvane::testing
