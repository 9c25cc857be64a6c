// Test helper: a simulated machine built from an inline JSON profile, and a fresh temporary folder
// for tests that write files of their own.
//
//   SimFixture sim(R"({"disks": [{"sizeMB": 100000, "partitions": [...]}]})");
//   quorvane::CLayoutJob job(sim.platform(), quorvane::CLayoutJob::NoRun{});
//   job.WriteLog(L"Get Disk info");
//   sim.LogLines("X")            -> {"Get Disk info="}  (volumes/X/Quorvane.log, time stamps cut)
//   sim.ReadVolumeFile("disk0-part2", "RyTools/RegisterInstall.cmd")  -> the file's bytes
//   sim.LoggedLines()            -> every log write in order, lost ones included, as
//                                   "key=value" without the time stamp (the file keeps one
//                                   line per key and millisecond)
//
// The profile follows docs/simulator.md (an invalid one throws sim::ProfileError).
// Volumes are named as in the output tree: "X", "disk<D>-part<P>" (P from 1, kernel
// numbering) and the letter of any other drive; their files are read from memory, spelled
// as the output tree would spell them. The temporary folder is removed when the fixture
// goes out of scope.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/sim/profile_loader.h"
#include "platform/sim/sim_platform.h"

namespace quorvane::sim {

// A JSON string literal holding `text`, for building profiles in tests.
inline std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else {
      out += c;
    }
  }
  return out + "\"";
}

class SimFixture {
 public:
  explicit SimFixture(const std::string& profileJson) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quorvane-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    platform_ = std::make_unique<SimPlatform>(LoadProfile(profileJson, "test.json"));
  }
  ~SimFixture() {
    platform_.reset();
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  SimFixture(const SimFixture&) = delete;
  SimFixture& operator=(const SimFixture&) = delete;

  SimPlatform& platform() { return *platform_; }
  const std::filesystem::path& root() const { return root_; }

  // The bytes of volumes/<volume>/<path> ('/'-separated, spelled exactly as the file's names).
  std::optional<std::string> ReadVolumeFile(const std::string& volume,
                                            const std::string& path) const {
    const VolumeFiles* files = platform_->FilesOf(volume);
    if (files == nullptr) return std::nullopt;
    std::optional<std::string> bytes;
    files->ForEachFile([&](const std::string& spelled, const VolumeFiles::Entry& file) {
      if (spelled == path) bytes = file.bytes;
    });
    return bytes;
  }

  // The "key=value" lines of a log file without their 24-character time
  // stamps; section lines are left out. Empty when the file does not exist.
  std::vector<std::string> LogLines(const std::string& volume,
                                    const std::string& path = "Quorvane.log") const {
    std::vector<std::string> lines;
    auto bytes = ReadVolumeFile(volume, path);
    if (!bytes) return lines;
    std::istringstream in(*bytes);
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.empty() || line.front() == '[') continue;
      lines.push_back(line.size() > 24 ? line.substr(24) : line);
    }
    return lines;
  }

  std::vector<std::string> LoggedLines() const {
    std::vector<std::string> lines;
    for (const auto& write : platform_->LogWrites()) {
      lines.push_back(ToUtf8(write.key.substr(24) + L"=" + write.value));
    }
    return lines;
  }

 private:
  std::filesystem::path root_;
  std::unique_ptr<SimPlatform> platform_;
};

}  // namespace quorvane::sim
