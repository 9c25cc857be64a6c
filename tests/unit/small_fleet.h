// Test helper: the scenarios' reviewed logs, a temporary folder, and the small fleet of the README
// (six machines' logs, read whole or not) put into one.
//
//   TempFolder fleet;
//   PutSmallFleet(fleet);                 fleet.root()/NB-0001/Quorvane.log, ...
//   TreeLog("uefi-ssd-hdd", "X/Quorvane.log")  -> the bytes of a scenario's log
//   ExpectReviewedCsv(rows, fleet, "small-fleet.csv")   the table against tests/unit/fleet/
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "fleet/fleet_row.h"
#include "fleet/table_writers.h"

namespace quorvane::fleet {

namespace fs = std::filesystem;

inline const fs::path kSource = QUORVANE_SOURCE_DIR;
inline const fs::path kExpected = kSource / "tests/scenarios/expected";

inline std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A scenario's log file: "X" for the RAM drive, else the recovery partition's volume folder.
inline std::string TreeLog(const std::string& scenario, const std::string& relative) {
  const std::string text = Slurp(kExpected / scenario / "volumes" / relative);
  if (text.empty()) throw std::runtime_error("no " + relative + " in " + scenario);
  return text;
}

// The lines of a log up to and including the first one holding `last`.
inline std::string Through(const std::string& log, const std::string& last) {
  const size_t at = log.find(last);
  if (at == std::string::npos) throw std::runtime_error("no line with " + last);
  return log.substr(0, log.find('\n', at) + 1);
}

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "quorvane-fleet-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  void Put(const std::string& relative, const std::string& bytes) const {
    fs::create_directories((root_ / relative).parent_path());
    std::ofstream(root_ / relative, std::ios::binary) << bytes;
  }
  const fs::path& root() const { return root_; }

 private:
  fs::path root_;
};

// The fleet of the README: a copied pair of parts, a log that stayed on X:, a tools copy alone,
// a foreign file, a run cut short while diskpart wiped the cache SSD, and zero bytes a power cut
// left in a log.
inline void PutSmallFleet(const TempFolder& fleet) {
  fleet.Put("NB-0001/Quorvane.log", TreeLog("uefi-ssd-hdd", "disk1-part1/Quorvane.log"));
  fleet.Put("NB-0001/RYTOOLS/Quorvane.log",
            TreeLog("uefi-ssd-hdd", "disk1-part1/RyTools/Quorvane.log"));
  fleet.Put("NB-0002/Quorvane.log", TreeLog("m-mount-failed", "X/Quorvane.log"));
  fleet.Put("NB-0003/rytools/QUORVANE.LOG",
            TreeLog("legacy-rapid-start", "disk0-part3/RYTOOLS/Quorvane.log"));
  fleet.Put("NB-0004/Quorvane.log", "Quorvane imaging checklist\r\n1. Boot WinPE\r\n");
  fleet.Put("NB-0005/Quorvane.log",
            Through(TreeLog("uefi-rapid-start", "disk0-part4/Quorvane.log"), "Diskpart.exe"));
  fleet.Put("NB-0005/RYTOOLS/Quorvane.log",
            TreeLog("uefi-rapid-start", "disk0-part4/RYTOOLS/Quorvane.log"));
  std::string zeroed = TreeLog("wmi-slow-start", "disk0-part3/Quorvane.log");
  const size_t line = zeroed.find("m_bminiSSD");
  zeroed.replace(line, 10, std::string(10, '\0'));
  fleet.Put("NB-0006/Quorvane.log", zeroed);
  fleet.Put("NB-0006/RYTOOLS/Quorvane.log",
            TreeLog("wmi-slow-start", "disk0-part3/RYTOOLS/Quorvane.log"));
  fleet.Put("NB-0006/RYTOOLS/NAPP2P_SSDHDD.ini", "select disk 1\r\n");
}

// The rows as CSV, the fleet folder's path spelled "fleet", equal to the reviewed table `name` in
// tests/unit/fleet/. QUORVANE_UPDATE_FLEET=1 rewrites a table that differs instead, and says so by
// skipping the test; under CI (the variable CI set) it is refused, so nothing blesses a table
// there.
inline void ExpectReviewedCsv(const std::vector<FleetRow>& rows, const TempFolder& fleet,
                              const std::string& name) {
  std::ostringstream csv;
  WriteCsv(rows, csv);
  std::string table = csv.str();
  const std::string root = fleet.root().string();
  for (size_t at; (at = table.find(root)) != std::string::npos;)
    table.replace(at, root.size(), "fleet");
  const fs::path reviewed = kSource / "tests/unit/fleet" / name;
  if (getenv("QUORVANE_UPDATE_FLEET") != nullptr) {
    if (getenv("CI") != nullptr) {
      ADD_FAILURE() << "QUORVANE_UPDATE_FLEET is refused under CI: " << reviewed
                    << " is reviewed by hand, not rewritten by a test run";
      return;
    }
    if (table != Slurp(reviewed)) {
      std::ofstream(reviewed, std::ios::binary) << table;
      GTEST_SKIP() << "QUORVANE_UPDATE_FLEET rewrote " << reviewed << ": review the diff";
    }
  }
  EXPECT_EQ(table, Slurp(reviewed)) << "QUORVANE_UPDATE_FLEET=1 rewrites " << reviewed;
}

}  // namespace quorvane::fleet
