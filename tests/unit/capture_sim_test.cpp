// The capture of a simulated machine: what the collection reads through the run's own platform
// and the capture system comes back as the profile the machine was made from, and nothing on the
// machine changes.
#include <gtest/gtest.h>
#include <stdlib.h>

#include "capture/capture_command.h"
#include "letters/device_path.h"
#include "platform/sim/profile_loader.h"
#include "platform/sim/profile_writer.h"
#include "platform/sim/sim_platform.h"
#include "tests/unit/folder_capture_system.h"
#include "tests/unit/wim_files.h"

namespace quorvane::capture {
namespace {

namespace fs = std::filesystem;
constexpr std::wstring_view kGlobalRoot = L"\\\\?\\GLOBALROOT";
constexpr int64_t kMiB = 1048576;

// "\\?\GLOBALROOT\Device\Harddisk0\Partition3\rest": the device path, and where "rest" begins.
std::optional<std::wstring> DeviceOf(const std::wstring& path, size_t& namesAt) {
  if (path.rfind(kGlobalRoot, 0) != 0) return std::nullopt;
  size_t end = kGlobalRoot.size();
  for (int i = 0; i < 3 && end != std::wstring::npos; ++i) end = path.find(L'\\', end + 1);
  if (end == std::wstring::npos) end = path.size();
  namesAt = end + 1;
  return path.substr(kGlobalRoot.size(), end - kGlobalRoot.size());
}

// The simulated Windows reads labels by device path as well.
class Machine : public sim::SimPlatform {
 public:
  using SimPlatform::SimPlatform;
  std::optional<std::wstring> GetVolumeLabel(const std::wstring& root) override {
    size_t at = 0;
    auto device = DeviceOf(root, at);
    return device ? VolumeOfTarget(*device).label : SimPlatform::GetVolumeLabel(root);
  }
};

// Partition tables and device numbers as the simulated machine's disks and letters give them.
class SimCaptureSystem : public quorvane::testing::FolderCaptureSystem {
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

class CaptureSim : public ::testing::Test {
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
      out += e.is_directory() ? "/\n" : " " + quorvane::testing::WimFiles::Bytes(e.path()) + "\n";
    }
    for (const auto& letter : machine_->DosDevices().Letters())
      for (const auto& target : machine_->DosDevices().Definitions(letter))
        out += ToUtf8(letter + L" " + target) + "\n";
    return out;
  }

  sim::Profile Capture(const std::wstring& file) {
    CaptureOutcome outcome = RunCapture(*machine_, *system_, file);
    EXPECT_EQ(outcome.status, 0) << outcome.error;
    EXPECT_EQ(system_->written.size(), 1u);
    const std::string text = system_->written[file];
    sim::Profile captured;
    EXPECT_NO_THROW(captured = sim::LoadProfile(text, "captured.json")) << text;
    return captured;
  }

  fs::path root_;
  int snapshots_ = 0;
  sim::Profile profile_;
  std::unique_ptr<Machine> machine_;
  std::unique_ptr<SimCaptureSystem> system_;
};

TEST_F(CaptureSim, TheMachineComesBackAsItsProfileAndNothingChanges) {
  Start(R"({
    "name": "bench-notebook", "start": "2026-12-07T14:05:03.042", "firmware": "uefi",
    "smbios": {"capabilities": {"revision": [2, 16], "entries": [[1, 1], [3, 0]]}, "version": [3, 2]},
    "disks": [
      {"model": "NVMe SSD", "sizeMB": 244198, "style": "gpt", "partitions": [
        {"label": "ESP", "type": "GPT: System", "sizeMB": 260},
        {"hidden": true, "type": "GPT: Unknown", "sizeMB": 16, "label": null},
        {"label": "Recovery tools", "sizeMB": 1000},
        {"label": "OS", "sizeMB": 200000, "letter": "C:", "files": {"windows/": "", "windows/SYSTEM32/": ""}},
        {"label": "PQSERVICE", "sizeMB": 20000}]},
      {"model": "HDD 1TB", "sizeMB": 953869, "style": "mbr", "signature": 305441741, "partitions": [
        {"label": "PQSERVICE2", "sizeMB": 30000, "letter": "Q:", "files": {
          "RecoveryImage/": "", "RecoveryImage/install.wim": {"wimImages": ["Home", "Pro & Co"]},
          "RYTOOLS/": ""}},
        {"label": "DATA", "sizeMB": 900000, "letter": "D:"}]}],
    "drives": [
      {"letter": "E:", "label": null},
      {"letter": "X:", "label": "Boot", "files": {"Quorvane.log": "[Quorvane]\r\nold=\r\n", "NAPP2P_SSDHDD.ini": "select disk 1\r\n"}}]
  })");
  // The image file the capture reads is a real one, holding the images the profile names.
  quorvane::testing::WimFiles wims;
  fs::copy_file(wims.Make("install.wim", {"Home", "Pro & Co"}),
                root_ / "start/volumes/disk1-part1/RecoveryImage/install.wim",
                fs::copy_options::overwrite_existing);
  const std::string before = Snapshot();

  sim::Profile captured = Capture(L"C:\\captures\\bench-notebook.json");

  EXPECT_EQ(Snapshot(), before);
  EXPECT_TRUE(machine_->Commands().empty());
  EXPECT_TRUE(machine_->LogWrites().empty());
  EXPECT_TRUE(machine_->MessageBoxes().empty());
  EXPECT_TRUE(captured.captureNotes.empty()) << sim::WriteProfile(captured);
  captured.description = profile_.description;
  EXPECT_TRUE(captured == profile_) << "captured:\n"
                                    << sim::WriteProfile(captured) << "made from:\n"
                                    << sim::WriteProfile(profile_);
}

TEST_F(CaptureSim, WithoutWmiTheProfileMakesEveryInventoryAttemptFail) {
  // The first inventory attempt is the capture's own: the locator cannot be created.
  Start(R"({"firmware": "legacy", "faults": {"inventory": [3]},
            "disks": [{"sizeMB": 500000, "style": "mbr", "partitions": [
              {"label": "SYSTEM RESERVED", "sizeMB": 100, "letter": "C:"},
              {"label": "OS", "sizeMB": 400000}]}]})");
  sim::Profile captured = Capture(L"X:\\no-wmi.json");
  EXPECT_EQ(captured.name, "no-wmi");
  EXPECT_EQ(captured.faults.inventory, std::vector<int>(40, 3));
  ASSERT_EQ(captured.disks.size(), 1u);
  EXPECT_EQ(captured.disks[0].sizeMB, 500000);
  EXPECT_EQ(captured.disks[0].signature, profile_.disks[0].signature);
  ASSERT_EQ(captured.disks[0].partitions.size(), 2u);
  EXPECT_EQ(captured.disks[0].partitions[0].letter, std::optional<std::wstring>(L"C:"));
  EXPECT_EQ(captured.disks[0].partitions[1].label, std::optional<std::wstring>(L"OS"));
  EXPECT_EQ(captured.tools.systemDisk, std::optional<int>(0));
  std::string notes;
  for (const auto& n : captured.captureNotes) notes += n + "\n";
  EXPECT_NE(notes.find("creating the WMI locator failed"), std::string::npos) << notes;
}

TEST_F(CaptureSim, AFileThatCannotBeWrittenEndsWithStatusOne) {
  Start(R"({"disks": []})");
  system_->writable = false;
  CaptureOutcome outcome = RunCapture(*machine_, *system_, L"Z:\\nowhere\\m.json");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.error, "quorvane: cannot write Z:\\nowhere\\m.json\n");
  EXPECT_TRUE(outcome.output.empty());
}

}  // namespace
}  // namespace quorvane::capture
