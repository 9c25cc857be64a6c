// The checker of a run's invariants, fed runs doctored to break each invariant in turn.
#include "report/run_invariants.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/build_report.h"
#include "run/run_log.h"
#include "tests/unit/sim_fixture.h"

namespace quorvane::report {
namespace {

// A 500 GB hard disk with its recovery partition and a 30 GB cache SSD; the SMBIOS record asks
// for rapid start, so the run carves disk 1.
constexpr char kCacheSsdMachine[] = R"({
  "smbios": {"capabilities": {"revision": [3, 0], "entries": [[1, 1], [2, 0], [3, 0]]}},
  "disks": [
    {"sizeMB": 476940, "partitions": [{"label": "ESP", "type": "GPT: System", "sizeMB": 260},
      {"label": "OS", "sizeMB": 400000, "letter": "C:"},
      {"label": "PUSH BUTTON RESET", "sizeMB": 25000}]},
    {"sizeMB": 30533, "partitions": [{"label": "DATA", "sizeMB": 8192, "letter": "E:"}]},
    {"sizeMB": 30533, "mediaType": "External hard disk media", "partitions": []}],
  "tools": {"durationMs": 2000}})";

// One disk without a recovery partition: the run asks diskpart for the system disk.
constexpr char kProbeMachine[] = R"({"disks": [{"sizeMB": 100000,
    "partitions": [{"label": "ESP", "type": "GPT: System", "sizeMB": 260},
                   {"label": "OS", "sizeMB": 90000, "letter": "C:"}]}]})";

// The engine, then `doctor` on what it left (the machine and the run context).
EngineRun Doctored(std::function<void(sim::SimPlatform&, CLayoutJob&)> doctor) {
  return [doctor](sim::SimPlatform& machine) {
    auto job = RunEngine(machine);
    doctor(machine, *job);
    return job;
  };
}

// The invariants a run of `engine` on the machine breaks; `report` may doctor its report.
std::vector<std::string> Broken(const std::string& profile, const EngineRun& engine,
                                const std::function<void(RunReport&)>& report = {}) {
  sim::SimFixture sim(profile);
  const sim::Profile loaded = sim.platform().profile();
  auto job = engine(sim.platform());
  RunReport built = BuildRunReport(loaded, sim.platform(), *job);
  if (report) report(built);
  return BrokenInvariants(loaded, sim.platform(), built, engine);
}

// Whether one of the texts holds `part`.
bool Says(const std::vector<std::string>& broken, const std::string& part) {
  for (const auto& text : broken)
    if (text.find(part) != std::string::npos) return true;
  return false;
}

TEST(RunInvariants, KeptByWholeRunsOfTheEngine) {
  for (const char* profile : {kCacheSsdMachine, kProbeMachine})
    EXPECT_EQ(Broken(profile, RunEngine), std::vector<std::string>{});
  // Lines lost to a fault are fine when a warning names them.
  EXPECT_EQ(Broken(R"({"faults": {"readOnly": ["X:"]}})", RunEngine), std::vector<std::string>{});
}

TEST(RunInvariants, ARunThatStopsEarlyOrChangesBetweenRuns) {
  auto stopped = [](sim::SimPlatform& machine) {
    auto job = std::make_unique<CLayoutJob>(machine, CLayoutJob::NoRun{});
    job->WriteLog(L"Get Disk info");
    return job;
  };
  EXPECT_TRUE(
      Says(Broken(kProbeMachine, stopped),
           "did not complete: its log ends before \"Get SMBIOS success\" or \"Get SMBIOS fail\""));

  int runs = 0;
  const auto counted = Doctored([&runs](sim::SimPlatform& machine, CLayoutJob&) {
    machine.WriteFile(L"X:\\run" + std::to_wstring(++runs) + L".txt", "", false);
  });
  const auto broken = Broken(kProbeMachine, counted);
  EXPECT_TRUE(Says(broken, "a second run of the same machine did not leave volumes/X/run1.txt"));
  EXPECT_TRUE(Says(broken, "a second run of the same machine also left volumes/X/run2.txt"));
  EXPECT_TRUE(Says(broken, "a second run of the same machine gave another summary.json"));
}

TEST(RunInvariants, DiskpartOnAnyDiskButAFreeListedCacheSsd) {
  // A script of the run's own making run once more, naming `disk`.
  auto carve = [](int disk, const std::wstring& extraLog = L"") {
    return Doctored([=](sim::SimPlatform& machine, CLayoutJob& job) {
      if (!extraLog.empty()) job.WriteLog(extraLog);
      job.WriteScriptFile(L"X:\\again.ini", L"select disk " + std::to_wstring(disk) + L"\nclean\n");
      machine.RunProcess(L"diskpart /s X:\\again.ini");
    });
  };
  auto other = Broken(kCacheSsdMachine, carve(0));
  EXPECT_TRUE(Says(other,
                   "disk 0 was selected by a diskpart script (\"select disk 0\"), but the "
                   "cache SSD the run named is disk 1"));
  EXPECT_TRUE(Says(Broken(kProbeMachine, carve(0)),
                   "disk 0 was selected by a diskpart script (\"select disk 0\"), but the run "
                   "named no cache SSD"));

  // The run's own line names the disk; what the checker sees of it decides.
  auto named = [&](int disk) {
    return carve(disk, L"miniSSD Info: miniSSD Disk is " + std::to_wstring(disk));
  };
  EXPECT_TRUE(
      Says(Broken(kCacheSsdMachine, named(0)), "476940 MB, larger than a cache SSD (59392 MB)"));
  EXPECT_TRUE(Says(Broken(kCacheSsdMachine, named(2)), "it is no disk the inventory lists"));
  // The cache SSD carrying a role partition, or the log.
  const std::string inUse = R"({
    "smbios": {"capabilities": {"revision": [3, 0], "entries": [[1, 1], [2, 0], [3, 0]]}},
    "disks": [{"sizeMB": 476940, "partitions": [{"label": "DATA", "sizeMB": 4000, "letter": "D:"}]},
      {"sizeMB": 30533, "partitions": [{"label": "OS", "sizeMB": 8192, "letter": "C:"},
                                       {"label": "PQSERVICE", "sizeMB": 8192}]}]})";
  const auto roles = Broken(inUse, carve(1));
  EXPECT_TRUE(Says(roles,
                   "disk 1 was selected by a diskpart script (\"select disk 1\") as the "
                   "cache SSD, but the run found a partition of it in a role "
                   "(\"OS existence=true on 1 2 "));
  // Two small disks: the first stands in for the missing recovery partition and takes the log.
  const auto log = Broken(
      R"({"disks": [{"sizeMB": 40000, "partitions": [{"sizeMB": 8192}]}, {"sizeMB": 30000}]})",
      carve(0));
  EXPECT_TRUE(Says(log, "but the run wrote its log there (volumes/disk0-part1/Quorvane.log)"));
}

TEST(RunInvariants, ToolTextInAScriptButDigits) {
  const auto report = [](sim::SimPlatform& machine) {
    return *machine.FileBytes(L"X:\\GetSystemPart.txt");
  };
  const auto copied = Doctored([&](sim::SimPlatform& machine, CLayoutJob& job) {
    job.WriteScriptFile(L"X:\\copied.cmd", FromUtf8(report(machine)));
  });
  EXPECT_TRUE(Says(Broken(kProbeMachine, copied),
                   "script X:\\copied.cmd holds text from a tool's output: it reads "
                   "\"Partitioning tool version"));
  // The disk number out of the same report is a number, which a script may hold.
  const auto number = Doctored([&](sim::SimPlatform& machine, CLayoutJob& job) {
    std::wstring digits;
    for (char c : report(machine))
      if (c >= '0' && c <= '9') digits += static_cast<wchar_t>(c);
    job.WriteScriptFile(L"X:\\number.cmd", L"select disk " + digits + L"\n");
  });
  EXPECT_EQ(Broken(kProbeMachine, number), std::vector<std::string>{});
}

TEST(RunInvariants, LogLinesLostGoneOrUnwarned) {
  const auto deleted = Doctored(
      [](sim::SimPlatform& machine, CLayoutJob&) { machine.DeleteFile(L"X:\\Quorvane.log"); });
  EXPECT_TRUE(Says(Broken(kProbeMachine, deleted),
                   "went into volumes/X/Quorvane.log but is in no Quorvane.log at the end"));

  const auto elsewhere = Doctored([](sim::SimPlatform&, CLayoutJob& job) {
    *job.m_pLogDir = L"Q:";
    job.WriteLog(L"Done");
  });
  const auto lost = Broken(kProbeMachine, elsewhere);
  EXPECT_TRUE(Says(lost,
                   "log line \"Done=\" was lost to Q:\\Quorvane.log, which no injected "
                   "fault made unwritable"));
  EXPECT_FALSE(Says(lost, "no lost-log-line warning names it"));

  const auto faulty = R"({"faults": {"readOnly": ["X:"]}})";
  const auto unwarned = Broken(faulty, RunEngine, [](RunReport& report) {
    std::erase_if(report.warnings, [](const Warning& w) { return w.kind == "lost-log-line"; });
  });
  EXPECT_TRUE(Says(unwarned,
                   "log line \"Get SMBIOS fail=\" was lost to X:\\Quorvane.log and no "
                   "lost-log-line warning names it"));
}

TEST(RunInvariants, WaitsTheClockNeverSaw) {
  const auto unpaced = Doctored([](sim::SimPlatform& machine, CLayoutJob& job) {
    job.WriteLog(L"[7]0 1 D: DATA 1.00GB GPT: Basic Data");
    machine.DefineDosDevice(win::kDddRawTargetPath, L"Q:", L"\\Device\\Harddisk0\\Partition1");
  });
  const auto broken = Broken(
      R"({"disks": [{"sizeMB": 100000}], "faults": {"mountFailures": {"Q:": "always"}}})", unpaced);
  ASSERT_EQ(broken.size(), 1u);
  EXPECT_NE(broken[0].find("ms of waits the run made (0 failed inventory attempts, 1 partition "
                           "lines, 1 failed mappings"),
            std::string::npos)
      << broken[0];
}

}  // namespace
}  // namespace quorvane::report
