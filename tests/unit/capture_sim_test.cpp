// The capture of a simulated machine: what the collection reads through the run's own platform
// and the capture system comes back as the profile the machine was made from, and nothing on the
// machine changes.
#include <gtest/gtest.h>

#include "capture/capture_command.h"
#include "platform/sim/profile_loader.h"
#include "platform/sim/profile_writer.h"
#include "tests/unit/captured_machine.h"
#include "tests/unit/reported_run.h"

namespace quorvane::capture {
namespace {

namespace fs = std::filesystem;
using quorvane::testing::WmiBreak;

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
        {"label": "Recovery tools", "sizeMB": 1000, "wmiIndex": 3},
        {"label": "OS", "sizeMB": 200000, "letter": "C:", "files": {"windows/": "", "windows/SYSTEM32/": ""}},
        {"label": "PQSERVICE", "sizeMB": 20000, "wmiIndex": 1}]},
      {"model": "HDD 1TB", "sizeMB": 953869, "style": "mbr", "signature": 305441741, "partitions": [
        {"label": "PQSERVICE2", "sizeMB": 30000, "letter": "Q:", "files": {
          "RecoveryImage/": "", "RecoveryImage/install.wim": {"wimImages": ["Home", "Pro & Co"]},
          "RYTOOLS/": ""}},
        {"label": "DATA", "sizeMB": 900000, "letter": "D:"}]}],
    "drives": [
      {"letter": "E:", "label": null},
      {"letter": "X:", "label": "Boot", "files": {"Quorvane.log": "[Quorvane]\r\nold=\r\n", "NAPP2P_SSDHDD.ini": "select disk 1\r\n"}}],
    "faults": {"readOnly": ["D:"]}
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
  for (const auto& n : captured.captureNotes) notes += n.fact + "\n";
  EXPECT_NE(notes.find("creating the WMI locator failed"), std::string::npos) << notes;
}

// Roles and letters of the engine's run on a profile.
std::string RolesAndLetters(const sim::Profile& profile) {
  report::ReportedRun run(sim::WriteProfile(profile));
  std::string out;
  for (const auto& role : run.report.roles)
    out += role.name + (role.found ? " found " : " ") + std::to_string(role.disk) + "/" +
           std::to_string(role.partition) + "\n";
  for (const auto& letter : run.report.letters) out += letter.letter + " " + letter.target + "\n";
  return out;
}

TEST_F(CaptureSim, WmiNumbersOutOfKernelOrderRunAsOnTheMachine) {
  // WMI numbers Windows before the tools partition: the run's roles and letters follow WMI.
  std::string machine = report::MachineProfile("uefi-ssd-hdd");
  for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
           {R"("sizeMB": 1000 })", R"("sizeMB": 1000, "wmiIndex": 2 })"},
           {R"("label": "OS", )", R"("label": "OS", "wmiIndex": 1, )"}}) {
    ASSERT_NE(machine.find(from), std::string::npos) << from;
    machine.replace(machine.find(from), from.size(), to);
  }
  Start(machine);
  const sim::Profile captured = Capture(L"X:\\numbered.json");
  EXPECT_EQ(RolesAndLetters(captured), RolesAndLetters(profile_));
  // The numbers matter: without them the run goes otherwise.
  sim::Profile unnumbered = captured;
  for (auto& part : unnumbered.disks[0].partitions) part.wmiIndex.reset();
  EXPECT_NE(RolesAndLetters(unnumbered), RolesAndLetters(profile_));
}

TEST_F(CaptureSim, AWmiListThatBreaksOffIsRetriedOrNoted) {
  Start(R"({"disks": [
    {"sizeMB": 500000, "style": "mbr", "partitions": [{"label": "PQSERVICE", "sizeMB": 100}]},
    {"sizeMB": 300000, "style": "mbr", "partitions": [{"label": "DATA", "sizeMB": 100, "letter": "D:"}]}]})");
  const std::wstring disks = L"select * from Win32_DiskDrive";
  const std::wstring partitions = L"select * from Win32_DiskPartition";
  const int32_t disconnected = static_cast<int32_t>(0x80010108);
  struct Case {
    WmiBreak plan;
    const char* note;  // "" when the capture is the machine's own profile
  };
  const sim::Profile whole = Capture(L"X:\\whole.json");
  for (const Case& c : std::vector<Case>{
           {{disks, 1, win::kWbemSTimedOut, 1}, ""},
           {{partitions, 1, win::kWbemSTimedOut, 1}, ""},
           {{disks, 1, win::kWbemSTimedOut, 2}, "disk list broke off with 0x00040004 after 1 disk"},
           {{disks, 1, disconnected, 1}, "disk list broke off with 0x80010108 after 1 disk"},
           {{partitions, 0, disconnected, 1},
            "partition list broke off with 0x80010108 after 0"}}) {
    SCOPED_TRACE(c.note);
    machine_->breaks = {c.plan};
    sim::Profile captured = Capture(L"X:\\whole.json");
    ASSERT_EQ(captured.disks.size(), 2u);
    EXPECT_EQ(captured.disks[1].partitions[0].letter, std::optional<std::wstring>(L"D:"));
    std::string notes;
    for (const auto& n : captured.captureNotes) notes += n.fact + "\n";
    if (*c.note == '\0') {
      EXPECT_TRUE(captured == whole) << sim::WriteProfile(captured);
    } else {
      EXPECT_NE(notes.find(c.note), std::string::npos) << notes;
    }
  }
}

TEST_F(CaptureSim, AFailureOnTheWayIsOneLineAndStatusOne) {
  Start(R"({"disks": [{"sizeMB": 1000}]})");
  struct Failing : quorvane::testing::SimCaptureSystem {
    using SimCaptureSystem::SimCaptureSystem;
    Outcome<DriveLayout> ReadDriveLayout(int) override { throw std::runtime_error("disk gone"); }
  } failing(*machine_, root_);
  CaptureOutcome outcome = RunCapture(*machine_, failing, L"X:\\m.json");
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.error, "quorvane: the capture failed: disk gone\n");
  EXPECT_TRUE(outcome.output.empty());
  EXPECT_TRUE(failing.written.empty());
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
