// The capability report lines and the rapid-start decision, fetched from a simulated machine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classify/capability_decision.h"
#include "inventory/smbios.h"
#include "run/layout_job.h"
#include "tests/unit/sim_fixture.h"

namespace quorvane {
namespace {

using Lines = std::vector<std::string>;

struct Decision {
  const char* table;     // the raw structure table
  bool before;           // m_biRST before the decision
  const char* revision;  // the revision line
  const char* ffsLine;
  bool srt;              // the table holds an iSRT entry (with parameter 0)
  const char* decision;  // "" when no decision line follows
  bool after;
};

TEST(SmbiosReport, RevisionRulesDecideRapidStart) {
  const std::vector<Decision> cases = {
      {"AC 0C 34 12 02 10 01 01 00 03 00 00 00 00", false,
       "Talvo WMI/SMBIOS Revision 2.16 , byMajor= 2, byMinor= 16=", "biFFS= 1, wiFFSParameter= 1=",
       true, "set m_biRST = true=", true},
      {"AC 0C 34 12 02 10 01 FF 00 03 00 00 00 00", true,
       "Talvo WMI/SMBIOS Revision 2.16 , byMajor= 2, byMinor= 16=",
       "biFFS= 1, wiFFSParameter= 255=", true, "set m_biRST = false=", false},
      {"AC 09 00 00 02 08 01 FF 00 00 00", false,
       "Talvo WMI/SMBIOS Revision 2.8 , byMajor= 2, byMinor= 8=", "biFFS= 1, wiFFSParameter= 255=",
       false, "set m_biRST = true=", true},
      {"AC 09 00 00 03 00 01 FF 00 00 00", true,
       "Talvo WMI/SMBIOS Revision 3.0 , byMajor= 3, byMinor= 0=", "biFFS= 1, wiFFSParameter= 255=",
       false, "set m_biRST = false=", false},
      {"AC 09 00 00 02 05 01 01 00 00 00", true,
       "Talvo WMI/SMBIOS Revision 2.5 , byMajor= 2, byMinor= 5=", "biFFS= 1, wiFFSParameter= 1=",
       false, "", true},
      {"AC 09 00 00 01 20 01 01 00 00 00", false,
       "Talvo WMI/SMBIOS Revision 1.32 , byMajor= 1, byMinor= 32=", "biFFS= 1, wiFFSParameter= 1=",
       false, "", false},
      {"AC 06 00 00 02 0A 00 00", true, "Talvo WMI/SMBIOS Revision 2.10 , byMajor= 2, byMinor= 10=",
       "biFFS= 0, wiFFSParameter= 0=", false, "set m_biRST = false=", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.table);
    sim::SimFixture sim(std::string(R"({"smbios": {"table": ")") + c.table + "\"}}");
    CLayoutJob job(sim.platform(), CLayoutJob::NoRun{});
    job.m_biRST = c.before;
    ASSERT_TRUE(win::Succeeded(sim.platform().CoInitializeMultithreaded()));
    RawSmbiosData raw;
    ASSERT_TRUE(ReadSmbiosTable(sim.platform(), raw));
    SmbiosCapabilities caps;
    ASSERT_TRUE(ParseSmbiosCapabilities(raw, caps));
    ReportSmbiosCapabilities(job, caps);
    Lines expected = {"Get SMBIOS success=",
                      c.revision,
                      c.ffsLine,
                      "bWiConnection= 0, wWiConnectionParameter= 0=",
                      c.srt ? "biSRT= 3, wiSRTParameter= 0=" : "biSRT= 0, wiSRTParameter= 0=",
                      "bRAID= 0, wRAIDParameter= 0="};
    if (*c.decision) expected.push_back(c.decision);
    EXPECT_EQ(sim.LoggedLines(), expected);
    EXPECT_EQ(job.m_biRST, c.after);
  }
}

TEST(SmbiosReport, AMissingTableOrAFailedFetchFindsNothing) {
  for (const char* profile : {R"({})", R"({"smbios": {"table": "AC 06 00 00 02 10 00 00"},
                                           "faults": {"smbiosFetch": "fail"}})"}) {
    SCOPED_TRACE(profile);
    sim::SimFixture sim(profile);
    ASSERT_TRUE(win::Succeeded(sim.platform().CoInitializeMultithreaded()));
    RawSmbiosData raw;
    EXPECT_FALSE(ReadSmbiosTable(sim.platform(), raw));
    EXPECT_EQ(raw.DataSize, 0u);
    SmbiosCapabilities caps;
    EXPECT_FALSE(ParseSmbiosCapabilities(raw, caps));
  }
}

TEST(Smbios, RevisionRules) {
  EXPECT_EQ(RuleForRevision(2, 16), RapidStartRule::B);
  EXPECT_EQ(RuleForRevision(3, 0), RapidStartRule::B);
  EXPECT_EQ(RuleForRevision(2, 15), RapidStartRule::A);
  EXPECT_EQ(RuleForRevision(2, 6), RapidStartRule::A);
  EXPECT_EQ(RuleForRevision(2, 5), RapidStartRule::None);
  EXPECT_EQ(RuleForRevision(1, 200), RapidStartRule::None);
  EXPECT_EQ(RuleForRevision(0, 0), RapidStartRule::None);
}

}  // namespace
}  // namespace quorvane
