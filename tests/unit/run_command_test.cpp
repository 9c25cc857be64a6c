// Child processes and script files through the run context, on a simulated machine.
#include <gtest/gtest.h>

#include <string>

#include "run/layout_job.h"
#include "tests/unit/sim_fixture.h"

namespace quorvane {
namespace {

TEST(RunCommand, AStartFailureCostsOneBoxAndYieldsZero) {
  sim::SimFixture sim(R"({"tools": {"durationMs": 1500}})");
  CLayoutJob job(sim.platform(), CLayoutJob::NoRun{});
  EXPECT_EQ(job.RunCommand(L"nothere.exe /x"), 0u);
  ASSERT_EQ(sim.platform().MessageBoxes().size(), 1u);
  EXPECT_EQ(sim.platform().MessageBoxes()[0].text, L"call err=2, szCommand = nothere.exe /x");
  EXPECT_EQ(sim.platform().MessageBoxes()[0].caption, L"Quorvane");
  EXPECT_EQ(sim.platform().ElapsedMs(), 0u);  // nothing ran
}

TEST(RunCommand, ACommandLineTooLongForTheBufferIsNeverStarted) {
  sim::SimFixture sim(R"({})");
  CLayoutJob job(sim.platform(), CLayoutJob::NoRun{});
  std::wstring longest = L"X:\\a.cmd " + std::wstring(4095 - 9, L'a');
  ASSERT_EQ(longest.size(), 4095u);
  job.RunCommand(longest);
  job.RunCommand(longest + L"a");
  ASSERT_EQ(sim.platform().Commands().size(), 1u);  // only the one that fits reached the system
  ASSERT_EQ(sim.platform().MessageBoxes().size(), 2u);
  EXPECT_EQ(sim.platform().MessageBoxes()[1].text.substr(0, 36),
            L"call err=206, szCommand = X:\\a.cmd a");
}

TEST(RunCommand, ExitCodesOfScriptsAndTheirDuration) {
  sim::SimFixture sim(R"({"tools": {"durationMs": 2500}})");
  CLayoutJob job(sim.platform(), CLayoutJob::NoRun{});
  ASSERT_TRUE(job.WriteScriptFile(L"X:\\seven.cmd", L"MKDIR X:\\t\nexit 7\n"));
  ASSERT_TRUE(job.WriteScriptFile(L"X:\\still.cmd", L"exit 259\n"));
  EXPECT_EQ(job.RunCommand(L"X:\\seven.cmd"), 7u);
  EXPECT_EQ(job.RunCommand(L"X:\\still.cmd"), 259u);  // told apart from a running child
  EXPECT_EQ(sim.platform().ElapsedMs(), 5000u);
  EXPECT_TRUE(job.FileExists(L"X:\\T"));  // folders count, names match in any case
  EXPECT_TRUE(job.FileExists(L"X:\\*.cmd"));
  EXPECT_FALSE(job.FileExists(L"X:\\none"));
}

TEST(ScriptFile, EightBitTextWithCrLf) {
  sim::SimFixture sim(R"({})");
  CLayoutJob job(sim.platform(), CLayoutJob::NoRun{});
  ASSERT_TRUE(job.WriteScriptFile(L"X:\\s.ini", L"select disk 1\nclean\n"));
  EXPECT_EQ(sim.ReadVolumeFile("X", "s.ini"), "select disk 1\r\nclean\r\n");
  ASSERT_TRUE(job.WriteScriptFile(L"X:\\s.ini", L"\u00e9\n"));  // truncates
  EXPECT_EQ(sim.ReadVolumeFile("X", "s.ini"), "\xe9\r\n");
  EXPECT_FALSE(job.WriteScriptFile(L"X:\\no\\such\\folder.ini", L"x\n"));
}

}  // namespace
}  // namespace quorvane
