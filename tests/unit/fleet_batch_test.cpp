// A batch of profiles as rows: every scenario predicts its own reviewed logs, the rows keep
// summary.json's words, stand in input order whatever the threads, and a profile that cannot be
// run is a row that says why.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <nlohmann/json.hpp>
#include <regex>

#include "fleet/fleet_summary.h"
#include "fleet/log_file.h"
#include "fleet/log_folders.h"
#include "fleet/log_reader.h"
#include "fleet/profile_inputs.h"
#include "fleet/run_comparison.h"
#include "fleet/simulated_fleet.h"
#include "fleet/table_writers.h"
#include "tests/unit/small_fleet.h"

namespace quorvane::fleet {
namespace {

using Json = nlohmann::ordered_json;

// The profile a scenario's expected tree was made from.
fs::path ScenarioProfile(const std::string& name) {
  const fs::path example = kSource / "machines" / (name + ".json");
  return fs::exists(example) ? example : kSource / "tests/scenarios" / (name + ".json");
}

std::vector<LogFile> TreeLogs(const fs::path& tree) {
  std::vector<fs::path> paths;
  if (!fs::exists(tree / "volumes")) return {};  // a run that wrote nothing
  for (const auto& entry : fs::recursive_directory_iterator(tree / "volumes")) {
    if (entry.path().filename() == "Quorvane.log") paths.push_back(entry.path());
  }
  std::sort(paths.begin(), paths.end());
  std::vector<LogFile> files;
  for (const auto& path : paths) files.push_back(ReadLogFile(path));
  return files;
}

TEST(FleetBatch, EveryScenarioPredictsItsOwnLogs) {
  std::vector<std::string> names, profiles;
  for (const auto& entry : fs::directory_iterator(kExpected)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  for (const auto& name : names) profiles.push_back(ScenarioProfile(name).string());
  const std::vector<FleetRow> predicted = SimulateFleet(profiles, 2);
  ASSERT_EQ(predicted.size(), names.size());

  std::vector<FleetRow> actual;
  std::vector<bool> noWholeLog;  // the RAM drive could not take the log
  for (size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(names[i]);
    const FleetRow& row = predicted[i];
    actual.push_back(ReadMachineRow(names[i], TreeLogs(kExpected / names[i])));
    ASSERT_EQ(row.status, RowStatus::Simulated) << row.problem;
    EXPECT_EQ(row.machine, names[i]);

    // Where a row and summary.json share a name, they say the same.
    std::ifstream in(kExpected / names[i] / "summary.json");
    const Json summary = Json::parse(in);
    noWholeLog.push_back(std::any_of(summary["warnings"].begin(), summary["warnings"].end(),
                                     [](const Json& w) { return w["kind"] == "no-ram-log"; }));
    Json json = RowJson(row);
    for (auto& command : json["commands"]) command.erase("lastError");  // the row tells more
    for (const char* field : {"road", "flags", "letters", "commands", "messageBoxes"}) {
      EXPECT_EQ(json[field], summary[field]) << field;
    }
    for (const auto& [role, slot] : summary["roles"].items()) {
      for (const char* field : {"found", "disk", "partition"})
        EXPECT_EQ(json["roles"][role][field], slot[field]) << role << " " << field;
    }
    // No tree is written: each log is named by the path the run wrote it through.
    ASSERT_EQ(json["logFiles"].size(), summary["logFiles"].size());
    for (size_t f = 0; f < json["logFiles"].size(); ++f) {
      const bool ramDrive = summary["logFiles"][f].get<std::string>().starts_with("volumes/X/");
      EXPECT_EQ(json["logFiles"][f], ramDrive ? "X:\\Quorvane.log" : "M:\\Quorvane.log");
    }
    EXPECT_EQ(json["simulatedMs"], summary["simulatedMs"]);
    ASSERT_EQ(json["warnings"].size(), summary["warnings"].size());
    for (size_t w = 0; w < json["warnings"].size(); ++w) {
      EXPECT_EQ(json["warnings"][w]["kind"], summary["warnings"][w]["kind"]);
      EXPECT_EQ(json["warnings"][w]["text"], summary["warnings"][w]["text"]);
    }
    // The wiped disk is the one the changes show cleaned, with what it held before.
    std::optional<int32_t> cleaned;
    size_t held = 0;
    for (const auto& disk : summary["changes"]["disks"]) {
      if (disk["cleaned"] == true) {
        cleaned = disk["index"].get<int32_t>();
        held = disk["before"].size();
      }
    }
    EXPECT_EQ(row.wipedDisk, cleaned);
    EXPECT_EQ(row.wipedDiskHeld.size(), held);
    // The disks the run decided by are the ones its log lists, where it has them.
    if (noWholeLog.back()) continue;
    ASSERT_EQ(row.disks.size(), actual.back().disks.size());
    for (size_t d = 0; d < row.disks.size(); ++d) {
      const DiskCell& disk = row.disks[d];
      const DiskCell& logged = actual.back().disks[d];
      EXPECT_EQ(
          std::tie(disk.index, disk.model, disk.sizeMB, disk.partitions, disk.style),
          std::tie(logged.index, logged.model, logged.sizeMB, logged.partitions, logged.style));
    }
  }

  // Set against its own logs, every machine comes out the same, in the batch's order.
  const std::vector<FleetRow> joined = JoinRuns(predicted, actual);
  ASSERT_EQ(joined.size(), 2 * names.size());
  for (size_t i = 0; i < joined.size(); ++i) {
    SCOPED_TRACE(joined[i].machine);
    EXPECT_EQ(joined[i].machine, names[i / 2]);
    EXPECT_EQ(joined[i].source, i % 2 == 0 ? RowSource::Simulation : RowSource::Log);
    // Without the RAM drive's log, a run's logs show less of it, but nothing else.
    if (noWholeLog[i / 2]) {
      EXPECT_NE(joined[i].comparison, Comparison::Differs);
      continue;
    }
    EXPECT_EQ(joined[i].comparison, Comparison::Same);
    EXPECT_TRUE(joined[i].differences.empty()) << joined[i].differences.front().what;
  }
  EXPECT_GE(names.size(), 40u);
}

TEST(FleetBatch, BadProfilesAreRowsAndRowsKeepTheirOrderWhateverTheJobs) {
  TempFolder folder;
  const std::vector<std::string> bad = {"comment.json", "partition-zero.json", "x-twice.json"};
  for (const auto& name : bad) {
    folder.Put("fleet/" + name, Slurp(kSource / "tests/unit/sim_cli/bad" / name));
  }
  for (const char* machine : {"uefi-ssd-hdd", "legacy-rapid-start", "m-mount-failed"}) {
    folder.Put(std::string("fleet/") + machine + ".JSON", Slurp(ScenarioProfile(machine)));
  }
  folder.Put("fleet/notes.txt", "not a profile");
  folder.Put("fleet/sub/deeper.json", "{}");
  fs::create_directories(folder.root() / "fleet/folder.json");
  fs::create_directories(folder.root() / "empty");
  ASSERT_EQ(mkfifo((folder.root() / "fleet/pipe.json").c_str(), 0600), 0);

  const std::string root = (folder.root() / "fleet").string();
  std::vector<std::string> errors;
  const auto profiles = FindProfiles(
      {root, root + "/uefi-ssd-hdd.JSON", root + "/notes.txt", (folder.root() / "missing").string(),
       (folder.root() / "fleet/sub").string(), "/dev/null", (folder.root() / "empty").string()},
      errors);
  EXPECT_EQ(errors, (std::vector<std::string>{
                        (folder.root() / "missing").string() + ": no such file or folder",
                        "/dev/null: neither a file nor a folder",
                        (folder.root() / "empty").string() + ": no *.json in it"}));
  // In name order, the folder's entries not passed over, the file named twice taken once, a
  // file named outright taken whatever its name; nothing of a subfolder but when named.
  std::vector<std::string> names;
  for (const auto& path : profiles) names.push_back(fs::path(path).filename().string());
  EXPECT_EQ(names, (std::vector<std::string>{
                       "comment.json", "folder.json", "legacy-rapid-start.JSON",
                       "m-mount-failed.JSON", "partition-zero.json", "pipe.json",
                       "uefi-ssd-hdd.JSON", "x-twice.json", "notes.txt", "deeper.json"}));

  size_t lastDone = 0;
  const auto one = SimulateFleet(profiles, 1, [&](size_t done) { lastDone = done; });
  EXPECT_EQ(lastDone, profiles.size());
  const auto four = SimulateFleet(profiles, 4);
  std::ostringstream a, b;
  WriteJson(one, a);
  WriteJson(four, b);
  EXPECT_EQ(a.str(), b.str());

  auto row = [&](const std::string& name) {
    for (const FleetRow& r : one)
      if (fs::path(r.profileFile).filename() == name) return r;
    throw std::runtime_error("no row of " + name);
  };
  EXPECT_EQ(row("uefi-ssd-hdd.JSON").status, RowStatus::Simulated);
  EXPECT_EQ(row("uefi-ssd-hdd.JSON").machine, "uefi-ssd-hdd");
  // The loader's own line: the file as given, the JSON path, what was expected.
  const FleetRow zero = row("partition-zero.json");
  EXPECT_EQ(zero.status, RowStatus::BadProfile);
  EXPECT_EQ(zero.machine, "partition-zero");
  EXPECT_TRUE(zero.problem.starts_with(root + "/partition-zero.json: disks[0].partitions[0]."
                                              "sizeMB: expected a positive whole number of MiB"))
      << zero.problem;
  EXPECT_EQ(
      row("pipe.json").problem,
      root + "/pipe.json: (file): expected a profile file, found neither a file nor a folder");
  EXPECT_EQ(row("folder.json").problem,
            root + "/folder.json: (file): expected a profile file, found a folder");
  EXPECT_EQ(row("notes.txt").status, RowStatus::BadProfile);
  for (const FleetRow& r : one) {
    EXPECT_EQ(RowFailed(r), r.status == RowStatus::BadProfile) << r.machine;
    EXPECT_EQ(r.problem.find('\n'), std::string::npos) << r.problem;
  }
}

FleetRow Row(const std::string& machine, RowSource source, std::string road) {
  FleetRow row;
  row.machine = machine;
  row.source = source;
  row.status = source == RowSource::Log ? RowStatus::Read : RowStatus::Simulated;
  row.road = std::move(road);
  return row;
}

TEST(FleetBatch, PredictedAndActualJoinedByMachineName) {
  using enum RowSource;
  FleetRow bad = Row("NB-3", Simulation, "");
  bad.status = RowStatus::BadProfile;
  FleetRow cut = Row("NB-4", Log, "none");
  cut.status = RowStatus::CutShort;
  const std::vector<FleetRow> predicted = {Row("NB-1", Simulation, "register"),
                                           Row("nb-2", Simulation, "none"),
                                           bad,
                                           Row("NB-4", Simulation, "none"),
                                           Row("NB-5", Simulation, "none"),
                                           Row("NB-5", Simulation, "register")};
  const std::vector<FleetRow> actual = {
      Row("NB-9", Log, "none"), Row("NB-5", Log, "none"),        cut,
      Row("NB-2", Log, "none"), Row("NB-1", Log, "rapid-start"), Row("NB-3", Log, "none")};
  const auto rows = JoinRuns(predicted, actual);

  std::vector<std::string> order;
  for (const FleetRow& r : rows) {
    order.push_back(r.machine + (r.source == Log ? " log " : " sim ") +
                    ComparisonName(*r.comparison));
  }
  EXPECT_EQ(order,
            (std::vector<std::string>{"NB-1 sim differs", "NB-1 log differs", "nb-2 sim same",
                                      "NB-2 log same", "NB-3 sim incomplete", "NB-3 log incomplete",
                                      "NB-4 sim incomplete", "NB-4 log incomplete", "NB-5 sim same",
                                      "NB-5 log same", "NB-5 sim no-log", "NB-9 log no-profile"}));
  EXPECT_EQ(rows[0].differences, rows[1].differences);
  ASSERT_EQ(rows[0].differences.size(), 1u);
  EXPECT_EQ(rows[0].differences[0], (RunDifference{"road", "register", "rapid-start"}));
  // Two profiles that claim one machine: each says so.
  EXPECT_EQ(rows[8].notes.size(), 1u);
  EXPECT_EQ(rows[10].notes.size(), 1u);
  EXPECT_TRUE(rows[11].notes.empty());

  // The terminal: each side counted apart, then each machine not the same, with how.
  std::ostringstream out;
  PrintFleetSummary(rows, out);
  const std::string text = out.str();
  EXPECT_NE(text.find("Predicted\nWipes      no disk\nMachines   6 (6 profiles)\nStatus     "
                      "simulated 5, bad-profile 1\n"),
            std::string::npos)
      << text;
  EXPECT_NE(
      text.find("\nActual\nWiped      no disk\nMachines   6 (0 log files)\nStatus     read 5, "
                "cut-short 1\n"),
      std::string::npos)
      << text;
  EXPECT_NE(text.find("\nCompared   same 2, differs 1, incomplete 2, no-log 1, no-profile 1\n"
                      "Differences\n"
                      "NB-1       road: predicted register, actual rapid-start\n"
                      "NB-3       predicted bad-profile\n"
                      "NB-4       actual cut-short\n"
                      "No log     NB-5\n"
                      "No profile NB-9\n"),
            std::string::npos)
      << text;

  // The JSON lists the same machines once each, with both sides' statuses.
  std::ostringstream json;
  WriteJson(rows, json);
  const auto table = nlohmann::json::parse(json.str());
  ASSERT_EQ(table["differences"].size(), 5u);
  EXPECT_EQ(table["differences"][1]["predictedStatus"], "bad-profile");
  EXPECT_EQ(table["differences"][4]["actualStatus"], "read");
  EXPECT_TRUE(table["differences"][4]["predictedStatus"].is_null());
  EXPECT_EQ(table["rows"][0]["comparison"], "differs");

  // A profile whose name is not its machine folder's pairs by its file name.
  FleetRow byFile = Row("Notebook seven", Simulation, "none");
  byFile.profileFile = "profiles/NB-7.json";
  const auto paired = JoinRuns({byFile}, {Row("nb-7", Log, "none")});
  ASSERT_EQ(paired.size(), 2u);
  EXPECT_EQ(paired[0].comparison, Comparison::Same);
}

TEST(FleetBatch, SummaryColoursWarningsBySeverityAndFailuresButNoRoad) {
  FleetRow sim = Row("NB-1", RowSource::Simulation, "rapid-start");
  for (const char* kind : {"disk-cleaned", "letter-role", "implausible-size"})
    sim.warnings.push_back(WarningCell{kind, "text"});
  FleetRow cut = Row("NB-2", RowSource::Log, "none");
  cut.status = RowStatus::CutShort;
  cut.problem = "the end is missing";
  std::ostringstream plain, painted;
  PrintFleetSummary({sim, cut}, plain, false);
  PrintFleetSummary({sim, cut}, painted, true);
  const std::string text = painted.str();
  for (const char* shown :
       {"\x1b[31mdisk-cleaned 1\x1b[0m", "\x1b[33mletter-role 1\x1b[0m",
        "\x1b[36mimplausible-size 1\x1b[0m", "\nRoads      rapid-start 1\n",
        "\x1b[31mcut-short 1\x1b[0m", "NB-2  \x1b[31mcut-short: the end is missing"})
    EXPECT_NE(text.find(shown), std::string::npos) << shown << "\n" << text;
  EXPECT_EQ(std::regex_replace(text, std::regex("\x1b\\[[0-9;]*m"), ""), plain.str());
}

// The small fleet of the README set against a batch of profiles named after its machines: one
// profile per way a prediction can meet (or miss) its machine's real run.
TEST(FleetBatch, SmallFleetAgainstItsPredictionsAsReviewed) {
  TempFolder fleet;
  PutSmallFleet(fleet);
  auto profile = [&](const std::string& machine, const std::string& from, bool dropFaults) {
    Json json = Json::parse(Slurp(ScenarioProfile(from)));
    json.erase("name");  // named after the file, as a capture names it
    if (dropFaults) json.erase("faults");
    fleet.Put("profiles/" + machine + ".json", json.dump(2));
  };
  profile("NB-0001", "uefi-ssd-hdd", false);          // same
  profile("NB-0002", "m-mount-failed", true);         // differs: M: failed on the day
  profile("NB-0004", "single-disk-notebook", false);  // a foreign log: incomplete
  profile("NB-0005", "uefi-rapid-start", false);      // cut short
  profile("NB-0006", "wmi-slow-start", false);        // damaged
  fleet.Put("profiles/NB-0007.json", "{\"disks\": [{\"sizeMB\": 0}]}");  // bad, and no log
  // NB-0003 has no profile.

  std::vector<std::string> errors;
  const auto profiles = FindProfiles({(fleet.root() / "profiles").string()}, errors);
  const auto machines = FindMachineLogs({fleet.root().string()}, errors);
  ASSERT_TRUE(errors.empty()) << errors.front();
  const auto rows = JoinRuns(SimulateFleet(profiles, 2), ReadFleetLogs(machines));

  ExpectReviewedCsv(rows, fleet, "small-batch.csv");
}

}  // namespace
}  // namespace quorvane::fleet
