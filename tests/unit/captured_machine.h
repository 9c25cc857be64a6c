// Test helper: a simulated machine with the capture system of a real one over it, for the capture
// and the what-if of a machine whose profile is known.
//
//   class MyTest : public quorvane::testing::CaptureBench {};
//   Start(R"({"disks": [...]})");      // the machine, its volumes written out for the reads
//   const std::string before = Snapshot();
//   ... RunCapture(*machine_, *system_, L"E:\\m.json") ...
//   EXPECT_EQ(Snapshot(), before);     // every volume's files and every letter as they were
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/text.h"
#include "capture/capture_system.h"
#include "letters/device_path.h"
#include "platform/sim/profile_loader.h"
#include "platform/sim/sim_platform.h"
#include "tests/unit/folder_capture_system.h"
#include "tests/unit/wim_files.h"

namespace quorvane::testing {

namespace fs = std::filesystem;
using capture::DeviceNumber;
using capture::DriveLayout;
using capture::kFileDeviceDisk;
using capture::LayoutPartition;
using capture::Outcome;

inline constexpr std::wstring_view kGlobalRoot = L"\\\\?\\GLOBALROOT";
inline constexpr int64_t kMiB = 1048576;

// "\\?\GLOBALROOT\Device\Harddisk0\Partition3\rest": the device path, and where "rest" begins.
inline std::optional<std::wstring> DeviceOf(const std::wstring& path, size_t& namesAt) {
  if (path.rfind(kGlobalRoot, 0) != 0) return std::nullopt;
  size_t end = kGlobalRoot.size();
  for (int i = 0; i < 3 && end != std::wstring::npos; ++i) end = path.find(L'\\', end + 1);
  if (end == std::wstring::npos) end = path.size();
  namesAt = end + 1;
  return path.substr(kGlobalRoot.size(), end - kGlobalRoot.size());
}

// A WMI list that breaks off: after `rows` rows of the query `wql`, Next answers `hr` without a
// row, `times` times in a row; then the list goes on.
struct WmiBreak {
  std::wstring wql;
  size_t rows = 0;
  int32_t hr = 0;
  int times = 1;
};

class BreakingEnumerator : public WmiEnumerator {
 public:
  BreakingEnumerator(std::unique_ptr<WmiEnumerator> rows, WmiBreak plan)
      : rows_(std::move(rows)), plan_(std::move(plan)) {}
  Result Next(uint32_t timeoutMs) override {
    if (given_ == plan_.rows && failed_ < plan_.times) {
      ++failed_;
      return {plan_.hr, nullptr};
    }
    Result next = rows_->Next(timeoutMs);
    given_ += next.object ? 1 : 0;
    return next;
  }

 private:
  std::unique_ptr<WmiEnumerator> rows_;
  WmiBreak plan_;
  size_t given_ = 0;
  int failed_ = 0;
};

class BreakingServices : public WmiServices {
 public:
  BreakingServices(std::unique_ptr<WmiServices> services, std::vector<WmiBreak> plans)
      : services_(std::move(services)), plans_(std::move(plans)) {}
  int32_t SetProxyBlanket() override { return services_->SetProxyBlanket(); }
  int32_t ExecQuery(const std::wstring& wql, std::unique_ptr<WmiEnumerator>& out) override {
    const int32_t hr = services_->ExecQuery(wql, out);
    for (const auto& plan : plans_)
      if (out && plan.wql == wql) out = std::make_unique<BreakingEnumerator>(std::move(out), plan);
    return hr;
  }
  int32_t CreateInstanceEnum(const std::wstring& name,
                             std::unique_ptr<WmiEnumerator>& out) override {
    return services_->CreateInstanceEnum(name, out);
  }

 private:
  std::unique_ptr<WmiServices> services_;
  std::vector<WmiBreak> plans_;
};

class BreakingLocator : public WmiLocator {
 public:
  BreakingLocator(std::unique_ptr<WmiLocator> locator, std::vector<WmiBreak> plans)
      : locator_(std::move(locator)), plans_(std::move(plans)) {}
  int32_t ConnectServer(const std::wstring& ns, std::unique_ptr<WmiServices>& out) override {
    const int32_t hr = locator_->ConnectServer(ns, out);
    if (out) out = std::make_unique<BreakingServices>(std::move(out), plans_);
    return hr;
  }

 private:
  std::unique_ptr<WmiLocator> locator_;
  std::vector<WmiBreak> plans_;
};

// The simulated Windows reads labels by device path as well; `breaks` cut WMI's lists short.
class Machine : public sim::SimPlatform {
 public:
  using SimPlatform::SimPlatform;
  std::optional<std::wstring> GetVolumeLabel(const std::wstring& root) override {
    size_t at = 0;
    auto device = DeviceOf(root, at);
    return device ? VolumeOfTarget(*device).label : SimPlatform::GetVolumeLabel(root);
  }
  int32_t CreateWmiLocator(uint32_t context, std::unique_ptr<WmiLocator>& out) override {
    const int32_t hr = SimPlatform::CreateWmiLocator(context, out);
    if (out && !breaks.empty()) out = std::make_unique<BreakingLocator>(std::move(out), breaks);
    return hr;
  }
  std::vector<WmiBreak> breaks;
};

// Partition tables and device numbers as the simulated machine's disks and letters give them.
class SimCaptureSystem : public FolderCaptureSystem {
 public:
  // The machine's volumes are read from a copy of them written under `volumes`.
  SimCaptureSystem(Machine& machine, fs::path volumes)
      : machine_(machine), volumes_(std::move(volumes)) {}

  std::optional<fs::path> VolumeFolder(const std::wstring& path, size_t& namesAt) override {
    auto device = DeviceOf(path, namesAt);
    if (!device && path.size() >= 3 && path[1] == L':') {
      device = machine_.DosDevices().InForce(path.substr(0, 2));
      namesAt = 3;
    }
    if (!device) return std::nullopt;
    auto volume = machine_.VolumeOfTarget(*device);
    if (!volume.label) return std::nullopt;
    return volumes_ / volume.name;
  }

  Outcome<DriveLayout> ReadDriveLayout(int disk) override {
    for (const auto& d : machine_.profile().disks) {
      if (d.index != disk) continue;
      DriveLayout layout;
      layout.style = d.gpt ? DriveLayout::Style::Gpt : DriveLayout::Style::Mbr;
      layout.mbrSignature = d.gpt ? 0 : d.signature;
      layout.diskBytes = d.sizeMB * kMiB;
      int64_t offset = kMiB;
      for (size_t i = 0; i < d.partitions.size(); ++i) {
        const auto& p = d.partitions[i];
        LayoutPartition e;
        e.number = static_cast<uint32_t>(i + 1);
        e.offset = offset;
        e.length = p.sizeMB * kMiB;
        if (d.gpt) {
          e.gptType = p.type == L"GPT: System" ? L"c12a7328-f81f-11d2-ba4b-00a0c93ec93b"
                      : p.hidden               ? L"e3c9e316-0b5c-4db8-817d-f92df00215ae"
                                               : L"ebd0a0a2-b9e5-4433-87c0-68b6b72699c7";
        } else {
          e.mbrType = 7;
          e.active = i == 0;
        }
        layout.partitions.push_back(e);
        offset += e.length;
      }
      return {layout, 0};
    }
    return {{}, 2};
  }

  // The simulated machine keeps read-only volumes by the letters they are reached through.
  bool VolumeReadOnly(const std::wstring& root) override {
    const auto& readOnly = machine_.profile().faults.readOnly;
    return root.size() == 3 && root[1] == L':' &&
           std::find(readOnly.begin(), readOnly.end(), root.substr(0, 2)) != readOnly.end();
  }

  Outcome<DeviceNumber> VolumeDeviceNumber(const std::wstring& letter) override {
    auto target = machine_.DosDevices().InForce(letter);
    auto numbers = target ? ParsePartitionDevicePath(*target) : std::nullopt;
    if (!numbers) return {{}, 1};
    return {DeviceNumber{kFileDeviceDisk, static_cast<uint32_t>(numbers->disk),
                         static_cast<uint32_t>(numbers->partition)},
            0};
  }

 private:
  Machine& machine_;
  fs::path volumes_;
};

class CaptureBench : public ::testing::Test {
 protected:
  void Start(const std::string& json) {
    std::string pattern = (fs::temp_directory_path() / "quorvane-capture-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    profile_ = sim::LoadProfile(json, "bench-notebook.json");
    machine_ = std::make_unique<Machine>(profile_);
    machine_->WriteOutputTree(root_ / "start");
    system_ = std::make_unique<SimCaptureSystem>(*machine_, root_ / "start" / "volumes");
  }
  void TearDown() override {
    machine_.reset();
    std::error_code ec;
    if (!root_.empty()) fs::remove_all(root_, ec);
  }

  // Every file and folder of the volumes with its bytes, and every letter with its definitions.
  std::string Snapshot() {
    const fs::path tree = root_ / ("snapshot" + std::to_string(snapshots_++));
    machine_->WriteOutputTree(tree);
    std::string out;
    for (const auto& e : fs::recursive_directory_iterator(tree / "volumes")) {
      out += e.path().lexically_relative(tree).generic_string();
      out += e.is_directory() ? "/\n" : " " + WimFiles::Bytes(e.path()) + "\n";
    }
    for (const auto& letter : machine_->DosDevices().Letters())
      for (const auto& target : machine_->DosDevices().Definitions(letter))
        out += ToUtf8(letter + L" " + target) + "\n";
    return out;
  }

  fs::path root_;
  int snapshots_ = 0;
  sim::Profile profile_;
  std::unique_ptr<Machine> machine_;
  std::unique_ptr<SimCaptureSystem> system_;
};

}  // namespace quorvane::testing
