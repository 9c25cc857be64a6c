// The capture of a simulated machine: what the collection reads through the run's own platform
// and the capture system comes back as the profile the machine was made from, and nothing on the
// machine changes.
#include <gtest/gtest.h>

#include "capture/capture_command.h"
#include "platform/sim/profile_loader.h"
#include "platform/sim/profile_writer.h"
#include "tests/unit/captured_machine.h"

namespace quorvane::capture {
namespace {

namespace fs = std::filesystem;

class CaptureSim : public quorvane::testing::CaptureBench {
 protected:
  sim::Profile Capture(const std::wstring& file) {
    CaptureOutcome outcome = RunCapture(*machine_, *system_, file);
    EXPECT_EQ(outcome.status, 0) << outcome.error;
    EXPECT_EQ(system_->written.size(), 1u);
    const std::string text = system_->written[file];
    sim::Profile captured;
    EXPECT_NO_THROW(captured = sim::LoadProfile(text, "captured.json")) << text;
    return captured;
  }
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
  EXPECT_EQ(outcome.error, "quorvane: cannot write Z:\\nowhere\\m.json: disk full\n");
  EXPECT_TRUE(outcome.output.empty());
}

}  // namespace
}  // namespace quorvane::capture
