// The fleet table's writers and the comparison of a predicted run with the real one.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "fleet/run_comparison.h"
#include "fleet/table_cells.h"
#include "fleet/table_writers.h"

namespace quorvane::fleet {
namespace {

FleetRow Registered() {
  FleetRow row;
  row.machine = "NB-0001";
  row.road = kRoadRegister;
  row.ssdHddMode = true;
  row.miniSsd = false;
  row.rapidStart = true;
  row.commandsWhole = true;
  row.commands = {{"X:\\ParseinstallCmd.cmd", true, 0u, std::nullopt},
                  {"M:\\RyTools\\RegisterInstall.cmd", true, 0u, std::nullopt},
                  {"M:\\RebuildEnd_CopyFile.cmd", true, 0u, std::nullopt}};
  return row;
}

std::vector<std::string> Texts(const std::vector<RunDifference>& differences) {
  std::vector<std::string> texts;
  for (const auto& d : differences) texts.push_back(DifferenceText(d));
  return texts;
}

TEST(FleetComparison, WhatBothKnowIsCompared) {
  const FleetRow predicted = Registered();
  EXPECT_TRUE(CompareRuns(predicted, predicted).empty());

  FleetRow actual = Registered();
  actual.road = kRoadRapidStart;
  actual.ssdHddMode = false;
  actual.miniSsd = true;
  actual.wipedDisk = 1;
  actual.commands = {{"Diskpart.exe /s X:\\NAPP2P_SSDHDD.ini", true, 0u, std::nullopt},
                     {"M:\\RebuildEnd_CopyFile.cmd", false, std::nullopt, 2}};
  EXPECT_EQ(Texts(CompareRuns(predicted, actual)),
            (std::vector<std::string>{
                "road: predicted register, actual rapid-start",
                "ssdHddMode: predicted true, actual false", "miniSsd: predicted false, actual true",
                "wipedDisk: predicted none, actual disk 1",
                // Aligned on the command lines: the copy is compared with the copy.
                "command: predicted X:\\ParseinstallCmd.cmd: 0, actual nothing",
                "command: predicted M:\\RyTools\\RegisterInstall.cmd: 0, actual nothing",
                "command: predicted nothing, actual Diskpart.exe /s X:\\NAPP2P_SSDHDD.ini: 0",
                "command: predicted M:\\RebuildEnd_CopyFile.cmd: 0, actual "
                "M:\\RebuildEnd_CopyFile.cmd: call err=2"}));

  // A log cut short before its flag summary knows no road, flags or wiped disk: nothing to
  // compare there; its commands are not the whole run, so only shared ones are compared.
  FleetRow partial;
  partial.commands = {{"M:\\RyTools\\RegisterInstall.cmd", true, 2u, std::nullopt},
                      {"M:\\RebuildEnd_CopyFile.cmd", true, std::nullopt, std::nullopt}};
  EXPECT_EQ(Texts(CompareRuns(predicted, partial)),
            (std::vector<std::string>{"command: predicted M:\\RyTools\\RegisterInstall.cmd: 0, "
                                      "actual M:\\RyTools\\RegisterInstall.cmd: 2"}));

  // A start failure whose error one side does not know is still a start failure alike.
  FleetRow failedStart = Registered();
  failedStart.commands[2] = {"M:\\RebuildEnd_CopyFile.cmd", false, std::nullopt, std::nullopt};
  FleetRow failedWithError = failedStart;
  failedWithError.commands[2].lastError = 2;
  EXPECT_TRUE(CompareRuns(failedStart, failedWithError).empty());
  failedWithError.commands[2].lastError = 5;
  failedStart.commands[2].lastError = 2;
  EXPECT_EQ(CompareRuns(failedStart, failedWithError).size(), 1u);
}

FleetRow Awkward() {
  FleetRow row = Registered();
  row.machine = "NB \"7\", <b>bay</b>";
  row.status = RowStatus::Damaged;
  row.problem = "line 3: no time stamp\r\nand more";
  row.partitions = {{0, 1, "E:", "A,B \"C\" <script>alert(1)</script>", "0.98", "GPT: BASIC DATA"}};
  row.inventoryErrors = {10, 10, 10, 3, 4, 4};
  return row;
}

TEST(FleetTable, CsvQuotesAsRfc4180) {
  std::ostringstream out;
  WriteCsv({Awkward(), FleetRow{}}, out);
  const std::string csv = out.str();
  const std::string header = csv.substr(0, csv.find("\r\n"));
  EXPECT_TRUE(header.starts_with("machine,status,problem,road,ssdHddMode,")) << header;
  const std::string first = csv.substr(header.size() + 2);
  EXPECT_EQ(first.substr(0, first.find(",register")),
            "\"NB \"\"7\"\", <b>bay</b>\",damaged,\"line 3: no time stamp\r\nand more\"");
  EXPECT_NE(csv.find(",\"E: \"\"A,B \"\"C\"\" <script>"), std::string::npos) << csv;
  EXPECT_NE(csv.find(",10 x3 3 4 x2,"), std::string::npos);
  // A row that knows nothing: empty cells but the status.
  const size_t columns = TableColumns({FleetRow{}}).size();
  EXPECT_TRUE(csv.ends_with(",read" + std::string(columns - 2, ',') + "\r\n")) << csv;
}

TEST(FleetTable, JsonKeepsTheSummaryNames) {
  std::ostringstream out;
  WriteJson({Awkward(), FleetRow{}}, out);
  const auto json = nlohmann::json::parse(out.str());
  const auto& row = json["rows"][0];
  EXPECT_EQ(row["machine"], "NB \"7\", <b>bay</b>");
  EXPECT_EQ(row["road"], "register");
  EXPECT_EQ(row["flags"],
            (nlohmann::json{{"ssdHddMode", true}, {"miniSsd", false}, {"rapidStart", true}}));
  EXPECT_EQ(row["commands"][0],
            (nlohmann::json{
                {"commandLine", "X:\\ParseinstallCmd.cmd"}, {"started", true}, {"exitCode", 0}}));
  const auto& unknown = json["rows"][1];
  for (const char* field :
       {"road", "roles", "start", "durationMs", "wipedDisk", "bootMode", "problem"}) {
    EXPECT_TRUE(unknown[field].is_null()) << field;
  }
  EXPECT_TRUE(unknown["flags"]["miniSsd"].is_null());
}

TEST(FleetTable, HtmlIsOnePageWithEveryTextEscaped) {
  std::ostringstream out;
  WriteHtml({Awkward(), Registered()}, out);
  const std::string html = out.str();
  for (const char* outside : {"<script", "http:", "https:", "src=", "@import", "url("}) {
    EXPECT_EQ(html.find(outside), std::string::npos) << outside;
  }
  EXPECT_NE(html.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
  EXPECT_NE(html.find("NB &quot;7&quot;, &lt;b&gt;bay&lt;/b&gt;"), std::string::npos);
  EXPECT_NE(html.find("<tr class=\"failed\">"), std::string::npos);
  EXPECT_NE(html.find("2 machines, 1 not read whole"), std::string::npos);
}

}  // namespace
}  // namespace quorvane::fleet
