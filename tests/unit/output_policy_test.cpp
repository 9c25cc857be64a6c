// The output policy of both programs: an earlier file is replaced only by an output of its own
// kind, a device never, and a write that fails anywhere leaves the earlier file as it was (faults
// from the kernel's file size limit, on the real file system). Inputs named as outputs, in every
// mode: SimCli.outputs-named-as-inputs.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <map>
#include <sstream>

#include "capture/capture_files.h"
#include "fleet/row_of_report.h"
#include "fleet/run_comparison.h"
#include "platform/host_files.h"
#include "platform/sim/profile_writer.h"
#include "report/layout_picture.h"
#include "report/summary_json.h"
#include "tests/unit/reported_run.h"
#include "tests/unit/small_fleet.h"
#include "tools/sim/table_files.h"
#include "whatif/profile_run.h"
#include "whatif/what_if.h"

namespace quorvane::whatif {
namespace {

namespace fs = std::filesystem;
using fleet::Slurp;
using fleet::TempFolder;

// Files larger than `bytes` cannot be written while it lives: write() fails with EFBIG (the
// signal that would end the process is ignored), as on a disk that fills up at that size.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

 private:
  rlimit saved_;
};

std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

// One file of each kind this program writes, and files it did not write.
std::map<std::string, std::string> Samples() {
  report::ReportedRun run(report::MachineProfile("uefi-ssd-hdd"));
  std::vector<fleet::FleetRow> rows = {fleet::RowOfReport(run.report, "uefi-ssd-hdd.json")};
  std::map<std::string, std::string> samples;
  for (const auto& [name, rowsOf] :
       {std::pair{"", rows}, std::pair{" compared", fleet::JoinRuns(rows, {})}}) {
    std::ostringstream csv, json, html;
    fleet::WriteCsv(rowsOf, csv);
    fleet::WriteJson(rowsOf, json);
    fleet::WriteHtml(rowsOf, html);
    samples["CSV table" + std::string(name)] = csv.str();
    samples["JSON table" + std::string(name)] = json.str();
    samples["fleet page" + std::string(name)] = html.str();
  }
  samples["layout page"] = report::RenderLayoutPicture(run.report);
  sim::Profile captured = run.sim.platform().profile();
  captured.description = std::string(capture::kCapturedBy) + "2026-12-07 14:05:03: 2 disks";
  samples["captured profile"] = sim::WriteProfile(captured);
  samples["foreign: a profile written by hand"] = report::MachineProfile("uefi-ssd-hdd");
  samples["foreign: summary.json"] = report::SummaryJson(run.report);
  samples["foreign: notes"] = "machine,status,problem,\nmy notes\n";
  return samples;
}

TEST(OutputPolicy, AnEarlierFileIsReplacedOnlyByAnOutputOfItsOwnKind) {
  TempFolder folder;
  const fs::path file = folder.root() / "earlier";
  // Each output as its program names it, with the kind it writes.
  const std::pair<std::string, std::function<std::string()>> outputs[] = {
      {"layout page",
       [&] {
         return CheckRunOutputs({folder.root() / "out", file});
       }},
      {"captured profile", [&] { return CheckCaptureFile(file, {}); }},
      {"CSV table",
       [&] {
         return sim::CheckTableFiles({file, "", ""}, {});
       }},
      {"JSON table",
       [&] {
         return sim::CheckTableFiles({"", file, ""}, {});
       }},
      {"fleet page",
       [&] {
         return sim::CheckTableFiles({"", "", file}, {});
       }},
  };
  auto samples = Samples();
  samples["empty"] = "";
  for (const auto& [sample, bytes] : samples) {
    for (const auto& [kind, check] : outputs) {
      SCOPED_TRACE(kind + " over " + sample);
      folder.Put("earlier", bytes);
      const std::string refused = check();
      if (sample == "empty" || sample.rfind(kind, 0) == 0) {
        EXPECT_EQ(refused, "");
      } else {
        EXPECT_EQ(refused.rfind(file.string() + ": exists and is not a " + kind +
                                    " this program wrote; choose another name for --",
                                0),
                  0u)
            << refused;
        EXPECT_TRUE(refused.ends_with(" or remove the file first")) << refused;
      }
      EXPECT_EQ(Slurp(file), bytes);
    }
  }
}

TEST(OutputPolicy, StreamsAreWrittenAsTheyAreAndDisksNever) {
  EXPECT_EQ(host::LookUp("/dev/null").kind, host::Kind::Stream);
  EXPECT_EQ(sim::CheckTableFiles({"/dev/null", "", ""}, {}), "");
  EXPECT_EQ(host::WriteWhole("/dev/null", "a table"), "");
  for (const auto& entry : fs::directory_iterator("/dev")) {
    if (!fs::is_block_file(entry.status())) continue;
    EXPECT_EQ(sim::CheckTableFiles({entry.path(), "", ""}, {}),
              entry.path().string() + ": is a device, not a file; choose another --csv");
    break;
  }
}

TEST(OutputPolicy, AWriteThatFailsAnywhereLeavesTheEarlierFileAndNothingElse) {
  TempFolder folder;
  const fs::path file = folder.root() / "table.csv";
  const std::string earlier = "machine,status,problem,road\r\nNB-1,read,,none\r\n";
  const std::string bytes(100000, 'x');
  for (rlim_t cut : {rlim_t{0}, rlim_t{1}, rlim_t{4095}, rlim_t{4096}, rlim_t{65536},
                     rlim_t{bytes.size() - 1}}) {
    SCOPED_TRACE(cut);
    folder.Put("table.csv", earlier);
    std::string why;
    {
      FileSizeLimit limit(cut);
      why = host::WriteWhole(file, bytes);
    }
    EXPECT_EQ(why, "file too large");
    EXPECT_EQ(Slurp(file), earlier);
    EXPECT_EQ(Names(folder.root()), std::set<std::string>{"table.csv"});
  }
  EXPECT_EQ(host::WriteWhole(file, bytes), "");
  EXPECT_EQ(Slurp(file), bytes);
  EXPECT_EQ(Names(folder.root()), std::set<std::string>{"table.csv"});
}

}  // namespace
}  // namespace quorvane::whatif
