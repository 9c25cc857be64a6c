// quorvane.exe --what-if on a simulated machine: the run and report quorvane-sim gives the
// machine's own profile, with only the copy changed; a firmware it cannot tell and facts it cannot
// read as warnings; output folders it may not use refused before anything runs.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "tests/unit/captured_machine.h"
#include "whatif/exit_status.h"
#include "whatif/out_folder.h"
#include "whatif/profile_run.h"
#include "whatif/what_if.h"

namespace quorvane::whatif {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

Json ReadJson(const fs::path& file) {
  std::ifstream in(file);
  return Json::parse(in);
}

// Each warning as "severity kind: text", one a line.
std::string Warnings(const Json& summary) {
  std::string lines;
  for (const auto& w : summary["warnings"])
    lines += w["severity"].get<std::string>() + " " + w["kind"].get<std::string>() + ": " +
             w["text"].get<std::string>() + "\n";
  return lines;
}

class WhatIf : public testing::CaptureBench {
 protected:
  int Run(const WhatIfOptions& options) {
    out_.str("");
    err_.str("");
    return RunWhatIf(*machine_, *system_, options, out_, err_);
  }
  std::ostringstream out_;
  std::ostringstream err_;
};

// A notebook whose run registers its recovery image: diskpart, dism and ReagentC run, letters are
// defined and scripts written, on the simulated copy only.
constexpr char kRegisteringNotebook[] = R"({
  "name": "bench-notebook", "start": "2026-12-07T14:05:03.042", "firmware": "uefi",
  "smbios": {"capabilities": {"revision": [2, 16], "entries": [[1, 1], [3, 0]]}},
  "disks": [
    {"model": "NVMe SSD", "sizeMB": 244198, "style": "gpt", "partitions": [
      {"label": "ESP", "type": "GPT: System", "sizeMB": 260},
      {"hidden": true, "type": "GPT: Unknown", "sizeMB": 16, "label": null},
      {"label": "Recovery tools", "sizeMB": 1000},
      {"label": "OS", "sizeMB": 200000, "letter": "C:", "files": {"Windows/": "", "Windows/System32/": ""}},
      {"label": "PQSERVICE", "sizeMB": 20000}]},
    {"model": "HDD 1TB", "sizeMB": 953869, "style": "mbr", "partitions": [
      {"label": "PQSERVICE2", "sizeMB": 30000, "letter": "Q:", "files": {
        "RecoveryImage/": "", "RecoveryImage/install.wim": {"wimImages": ["Home", "Pro"]},
        "RyTools/": ""}},
      {"label": "DATA", "sizeMB": 900000, "letter": "D:"}]}],
  "drives": [{"letter": "X:", "label": "Boot"}]
})";

TEST_F(WhatIf, TheMachineRunsAsItsProfileWouldWhileOnlyTheCopyChanges) {
  Start(kRegisteringNotebook);
  testing::WimFiles wims;
  fs::copy_file(wims.Make("install.wim", {"Home", "Pro"}),
                root_ / "start/volumes/disk1-part1/RecoveryImage/install.wim",
                fs::copy_options::overwrite_existing);
  const std::string before = Snapshot();

  ASSERT_EQ(Run({{}, root_ / "page.html", root_ / "temp", false}), kCompleted) << err_.str();

  // The real machine saw reads only: no command, no log line, no box, no letter or file changed.
  EXPECT_EQ(Snapshot(), before);
  EXPECT_TRUE(machine_->Commands().empty());
  EXPECT_TRUE(machine_->LogWrites().empty());
  EXPECT_TRUE(machine_->MessageBoxes().empty());
  EXPECT_TRUE(machine_->CleanedDisks().empty());
  EXPECT_TRUE(system_->written.empty());

  // Its outputs: a new folder named after the capture's start, the page, a summary naming the
  // folder.
  const fs::path out = root_ / "temp" / "quorvane-what-if-20261207-140503";
  EXPECT_TRUE(fs::is_regular_file(out / kOutMarkerName));
  EXPECT_TRUE(fs::is_regular_file(root_ / "page.html"));
  EXPECT_NE(out_.str().find("Machine    quorvane-what-if-20261207-140503\n"), std::string::npos)
      << out_.str();

  // The same run and report as quorvane-sim on the profile the machine was made from.
  std::ostringstream simOut;
  std::ostringstream simErr;
  ASSERT_EQ(RunProfile(profile_, {root_ / "sim", {}, true, false}, "quorvane-sim", simOut, simErr),
            kCompleted);
  Json whatIf = ReadJson(out / "summary.json");
  Json simulated = ReadJson(root_ / "sim" / "summary.json");
  EXPECT_EQ(whatIf["road"], "register");
  EXPECT_EQ(whatIf["profile"], "quorvane-what-if-20261207-140503");
  whatIf.erase("profile");
  simulated.erase("profile");
  EXPECT_EQ(whatIf.dump(2), simulated.dump(2));
}

TEST_F(WhatIf, AFirmwareItCannotTellAndFactsItCannotReadAreWarningsNotFailures) {
  // The probe fails with a missing privilege and WMI cannot be used at all.
  Start(R"({"firmware": {"lastError": 1314}, "faults": {"inventory": [3]},
            "disks": [{"sizeMB": 500000, "style": "gpt", "partitions": [
              {"label": "ESP", "type": "GPT: System", "sizeMB": 100, "letter": "S:"},
              {"label": "OS", "sizeMB": 400000, "letter": "C:"}]}]})");
  ASSERT_EQ(Run({root_ / "bench-17", {}, {}, false}), kCompleted) << err_.str();
  const Json summary = ReadJson(root_ / "bench-17" / "summary.json");
  EXPECT_EQ(summary["profile"], "bench-17");
  const std::string warnings = Warnings(summary);
  EXPECT_NE(
      warnings.find("warning firmware-undetermined: the firmware probe failed with error 1314"),
      std::string::npos)
      << warnings;
  EXPECT_NE(warnings.find("note capture-fact: capture: WMI could not be used (is WinPE-WMI in the "
                          "image?): every disk inventory of the run fails the same way, with code "
                          "3 in the log. [WMI could not be used: creating "
                          "the WMI locator failed"),
            std::string::npos)
      << warnings;
}

// An X: the real run cannot write its log to, as the machine shows it: missing, or a volume that
// says it is read-only. The what-if warns that the real run loses its log (here its first lines:
// M: takes the rest), and its summary ends with the road.
TEST_F(WhatIf, ARamDriveThatCannotTakeTheLogIsAWarning) {
  const std::string notebook = R"("disks": [{"sizeMB": 500000, "style": "gpt", "partitions": [
      {"label": "ESP", "type": "GPT: System", "sizeMB": 100},
      {"hidden": true, "type": "GPT: Unknown", "sizeMB": 16, "label": null},
      {"label": "OS", "sizeMB": 400000, "letter": "C:"},
      {"label": "PUSH BUTTON RESET", "sizeMB": 20000}]}])";
  const struct {
    std::string profile;
    const char* why;
  } cases[] = {{"{\"ramDrive\": false, " + notebook + "}", "there is no drive X:"},
               {"{\"faults\": {\"readOnly\": [\"X:\"]}, " + notebook + "}", "X: is read-only"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    Start(c.profile);
    ASSERT_EQ(Run({root_ / "bench-17", {}, {}, false}), kCompleted) << err_.str();
    const std::string warnings = Warnings(ReadJson(root_ / "bench-17" / "summary.json"));
    EXPECT_NE(
        warnings.find("warning no-ram-log: the real run will lose the first lines of its "
                      "log: X:\\Quorvane.log cannot be written (" +
                      std::string(c.why) + "); its log is only what reaches M:\\Quorvane.log"),
        std::string::npos)
        << warnings;
    // The road and why come last: nothing after them but their own wrapped lines.
    const std::string out = out_.str();
    const std::string last = out.substr(out.rfind("\nRoad ") + 1);
    EXPECT_EQ(last.find("\n           because "), last.find('\n')) << out;
    for (size_t at = last.find('\n'); at + 1 < last.size(); at = last.find('\n', at + 1))
      EXPECT_EQ(last[at + 1], ' ') << last;
  }
}

TEST_F(WhatIf, FoldersItMayNotUseAreRefusedAndNamesAreNeverReused) {
  Start(R"({"disks": []})");
  fs::create_directories(root_ / "mine");
  std::ofstream(root_ / "mine" / "notes.txt") << "mine";
  EXPECT_EQ(Run({root_ / "mine", {}, root_ / "temp", false}), kUsage);
  EXPECT_EQ(err_.str().rfind("quorvane: " + (root_ / "mine").string() + ": is not empty", 0), 0u)
      << err_.str();
  EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "mine"), {}), 1);
  // No --out and no folder for temporary files: nowhere to go.
  EXPECT_EQ(Run({{}, {}, {}, false}), kUsage);
  EXPECT_NE(err_.str().find("--out"), std::string::npos) << err_.str();

  // A second what-if in the same second gets a folder of its own.
  const LocalTime start{2026, 12, 7, 14, 5, 3, 42};
  fs::create_directories(NewOutFolder(root_ / "temp", start));
  EXPECT_EQ(NewOutFolder(root_ / "temp", start),
            root_ / "temp" / "quorvane-what-if-20261207-140503-2");
}

}  // namespace
}  // namespace quorvane::whatif
