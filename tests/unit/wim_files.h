// Test helper: real image files made with wimlib-imagex (Debian's wimtools) in a temporary folder.
//
//   WimFiles wims;
//   auto path = wims.Make("install.wim", {"Home", "Pro"});   // two images, named so
//   auto first = wims.Split(path, "install.swm", 1);         // parts of 1 MiB: the first part
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace quorvane::testing {

class WimFiles {
 public:
  WimFiles() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvane-wim-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
    std::filesystem::create_directories(root_ / "tree");
    std::ofstream(root_ / "tree" / "readme.txt") << "an image's only file\n";
  }
  ~WimFiles() {
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  WimFiles(const WimFiles&) = delete;
  WimFiles& operator=(const WimFiles&) = delete;

  // One image per name: the first captured, the others appended. `bulkBytes` of random data go
  // into the tree first, so that the file can be split into several parts.
  std::filesystem::path Make(const std::string& file, const std::vector<std::string>& names,
                             size_t bulkBytes = 0) {
    if (bulkBytes > 0) {
      std::mt19937 random(7);
      std::string bulk(bulkBytes, '\0');
      for (char& c : bulk) c = static_cast<char>(random());
      std::ofstream(root_ / "tree" / "bulk.bin", std::ios::binary) << bulk;
    }
    const auto path = root_ / file;
    for (size_t i = 0; i < names.size(); ++i) {
      Run(std::string(i == 0 ? "capture" : "append") + " " + Quote((root_ / "tree").string()) +
          " " + Quote(path.string()) + " " + Quote(names[i]));
    }
    return path;
  }

  // Splits an image file into parts of at most `partMB` MiB; the first part's path.
  std::filesystem::path Split(const std::filesystem::path& wim, const std::string& file,
                              int partMB) {
    const auto path = root_ / file;
    Run("split " + Quote(wim.string()) + " " + Quote(path.string()) + " " + std::to_string(partMB));
    return path;
  }

  static std::string Bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

 private:
  static std::string Quote(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
  }
  void Run(const std::string& arguments) {
    const std::string command = "wimlib-imagex " + arguments + " >/dev/null 2>&1";
    // scripts/setup installs wimtools; a machine without it fails here rather than skipping.
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }

  std::filesystem::path root_;
};

}  // namespace quorvane::testing
