// Machine profiles: defaults, the SMBIOS table built from capabilities, and every kind of bad
// profile named by its JSON path.
#include <gtest/gtest.h>

#include "platform/sim/profile_loader.h"
#include "tools/sim/builtin_machines.h"

namespace quorvane::sim {
namespace {

TEST(SimProfile, DefaultsFillEveryOmittedField) {
  Profile p = LoadProfile(
      R"({"disks": [{"sizeMB": 1000, "partitions": [{"sizeMB": 100}, {"sizeMB": 50, "label": null}]},
                    {"sizeMB": 500, "style": "mbr", "partitions": [{"sizeMB": 10, "letter": "E:"}]}]})",
      "machines/two.json");
  EXPECT_EQ(p.name, "two");
  EXPECT_EQ(p.start.year, 2026);
  EXPECT_EQ(p.start.hour, 0);
  EXPECT_EQ(p.firmware.lastError, 998u);
  EXPECT_FALSE(p.smbios.has_value());
  ASSERT_EQ(p.disks.size(), 2u);
  EXPECT_EQ(p.disks[1].index, 1);
  EXPECT_EQ(p.disks[1].model, L"Sim Disk 1");
  EXPECT_EQ(p.disks[1].deviceId, L"\\\\.\\PHYSICALDRIVE1");
  EXPECT_EQ(p.disks[1].mediaType, L"Fixed hard disk media");
  EXPECT_NE(p.disks[1].signature, 0u);
  EXPECT_EQ(p.disks[0].partitions[0].type, L"GPT: Basic Data");
  EXPECT_EQ(p.disks[0].partitions[0].label, std::optional<std::wstring>(L""));
  EXPECT_FALSE(p.disks[0].partitions[1].label.has_value());
  EXPECT_EQ(p.disks[1].partitions[0].type, L"Installable File System");
  ASSERT_EQ(p.drives.size(), 1u);
  EXPECT_EQ(p.drives[0].letter, L"X:");
  EXPECT_EQ(p.drives[0].label, std::optional<std::wstring>(L"Boot"));
  EXPECT_EQ(p.tools.systemDisk, std::optional<int>(0));
}

TEST(SimProfile, CapabilitiesBuildBiosSystemCapabilityAndEndStructures) {
  Profile p = LoadProfile(
      R"({"start": "2026-12-07T14:05:03.042", "firmware": {"lastError": 87},
          "smbios": {"capabilities": {"revision": [2, 16], "entries": [[1, 1], [3, 0]]}}})",
      "t.json");
  EXPECT_EQ(p.start.millisecond, 42);
  EXPECT_EQ(p.firmware.lastError, 87u);
  ASSERT_TRUE(p.smbios.has_value());
  const auto& t = p.smbios->table;
  ASSERT_GT(t.size(), 20u);
  EXPECT_EQ(t[0], 0);  // BIOS first, then the system structure after its strings
  const std::vector<uint8_t> record = {0xAC, 0x0C, 0x34, 0x12, 0x02, 0x10, 0x01,
                                       0x01, 0x00, 0x03, 0x00, 0x00, 0x00, 0x00};
  auto at = std::search(t.begin(), t.end(), record.begin(), record.end());
  ASSERT_NE(at, t.end());
  EXPECT_EQ(std::vector<uint8_t>(at + 14, t.end()),
            (std::vector<uint8_t>{0x7F, 0x04, 0xFF, 0xFE, 0x00, 0x00}));

  Profile hex = LoadProfile(
      R"({"smbios": {"table": "AC 06 00 00\n02 08 00 00", "version": [3, 4]}})", "t.json");
  EXPECT_EQ(hex.smbios->table, (std::vector<uint8_t>{0xAC, 6, 0, 0, 2, 8, 0, 0}));
  EXPECT_EQ(hex.smbios->majorVersion, 3);
}

TEST(SimProfile, EveryBuiltinMachineLoads) {
  ASSERT_FALSE(BuiltinMachineFiles().empty());
  bool hasDefault = false;
  for (const auto& [name, text] : BuiltinMachineFiles()) {
    EXPECT_NO_THROW(LoadProfile(text, std::string(name) + ".json")) << name;
    hasDefault = hasDefault || name == kDefaultMachine;
  }
  EXPECT_TRUE(hasDefault);
}

TEST(SimProfile, BadProfilesNameTheFileAndTheField) {
  struct Case {
    const char* json;
    const char* path;
  };
  const Case cases[] = {
      {R"({"disks": [)", "(top level): expected valid JSON"},
      {R"({"disks": [{"sizeMB": 1E400}]})", "(top level): expected valid JSON"},
      {R"([1, 2])", "(top level): expected an object"},
      {R"({"nmae": "x"})", "nmae: expected one of the fields"},
      {R"({"disks": [{"sizeMB": 10, "partitions": [{"sizeMB": 1, "lable": "A"}]}]})",
       "disks[0].partitions[0].lable: expected one of"},
      {R"({"name": 5})", "name: expected a string, found 5"},
      {R"({"disks": [{"sizeMB": 10}, {"sizeMB": 10, "partitions": [{"sizeMB": 1.5}]}]})",
       "disks[1].partitions[0].sizeMB: expected a positive whole number of MiB, found 1.5"},
      {R"({"disks": [{"sizeMB": 0}]})", "disks[0].sizeMB: expected a positive whole number"},
      {R"({"disks": [{"sizeMB": "10"}]})", "disks[0].sizeMB: expected a positive whole number"},
      {R"({"disks": [{"partitions": []}]})", "disks[0].sizeMB: expected a size in MiB"},
      // Partitions larger than their disk run with a note; bytes past 63 bits make no machine.
      {R"({"disks": [{"sizeMB": 100, "partitions": [{"sizeMB": 4398046511104},
           {"sizeMB": 4398046511104}]}]})",
       "disks[0].partitions: expected partitions of at most 4398046511104 MiB in total"},
      {R"({"disks": [{"sizeMB": 100, "partitions": [{"sizeMB": 5, "letter": "C:"}]}],
           "drives": [{"letter": "C:"}]})",
       "drives[0].letter: expected a letter no other volume carries, found \"C:\", also at "
       "disks[0].partitions[0].letter"},
      {R"({"disks": [{"sizeMB": 100, "partitions": [{"sizeMB": 5, "letter": "C"}]}]})",
       "disks[0].partitions[0].letter: expected a drive letter"},
      {R"({"drives": [{"letter": "AB:"}]})", "drives[0].letter: expected a drive letter"},
      {R"({"disks": [{"sizeMB": 100, "style": "apm"}]})", "disks[0].style: expected \"gpt\" or"},
      {R"({"disks": [{"sizeMB": 100}, {"sizeMB": 100, "index": 0}]})",
       "disks[1].index: expected an index no other disk has"},
      {R"({"smbios": {"table": "AC 0G"}})",
       "smbios.table: expected hex bytes (pairs of 0-9 A-F, blanks ignored), found \"G\""},
      {R"({"smbios": {"table": "AC 0"}})", "smbios.table: expected hex bytes"},
      {R"({"smbios": {"capabilities": {"revision": [2, 300]}}})",
       "smbios.capabilities.revision[1]: expected a byte"},
      {R"({"smbios": {"capabilities": {"revision": [2, 16], "entries": [[1]]}}})",
       "smbios.capabilities.entries[0]: expected [identifier, parameter]"},
      {R"({"firmware": "bios"})", "firmware: expected \"uefi\", \"legacy\""},
      {R"({"firmware": {"lastError": -1}})", "firmware.lastError: expected a 32-bit error number"},
      {R"({"start": "2026-02-30T00:00:00.000"})", "start: expected a valid date"},
      {R"({"faults": {"inventory": [4, 7]}})", "faults.inventory[1]: expected a result code"},
      {R"({"faults": {"comInit": "sometimes"}})", "faults.comInit: expected \"fail\""},
      {R"({"faults": {"mountFailures": {"M:": "often"}}})",
       "faults.mountFailures.\"M:\": expected a count of failures or \"always\""},
      {R"({"faults": {"readOnly": ["M"]}})", "faults.readOnly[0]: expected a drive letter"},
      {R"({"faults": {"cannotStart": [""]}})", "faults.cannotStart[0]: expected a non-empty"},
      {R"({"faults": {"timeTravel": true}})", "faults.timeTravel: expected one of the fields"},
      {R"({"tools": {"systemDisk": "zero"}})", "tools.systemDisk: expected a disk number or null"},
      {R"({"disks": [{"sizeMB": 9, "partitions": [{"sizeMB": 1, "files": {"../x": "a"}}]}]})",
       "disks[0].partitions[0].files.\"../x\": expected a relative path"},
      {R"({"disks": [{"sizeMB": 9, "partitions": [{"sizeMB": 1, "label": null,
           "files": {"a.txt": "a"}}]}]})",
       "disks[0].partitions[0].files: expected no files on a volume without a file system"},
      // A field given twice would silently keep its last value; the path counts items of
      // nested arrays and quotes keys that are not plain names.
      {R"({"name": "a", "name": "b"})", "name: expected each field once in its object"},
      {R"({"smbios": {"capabilities": {"revision": [2, 16], "entries": [[1, 1]], "entries": []}}})",
       "smbios.capabilities.entries: expected each field once"},
      {R"({"disks": [{"sizeMB": 9, "partitions": [[], {"x": [1, {}]}]},
                     {"sizeMB": 9, "partitions": [{"sizeMB": 1, "label": "A", "label": "B"}]}]})",
       "disks[1].partitions[0].label: expected each field once"},
      {R"({"disks": [{"sizeMB": 9, "partitions": [{"sizeMB": 1, "files": {"a.txt": "1", "a.txt": "2"}}]}]})",
       "disks[0].partitions[0].files.\"a.txt\": expected each field once"},
      // A revision in another numbering habit gets what is expected spelt out.
      {R"({"smbios": {"capabilities": {"revision": [2, 16, 0]}}})",
       "smbios.capabilities.revision: expected [major, minor], two numbers such as [2, 16], found "
       "[2,16,0] (3 items)"},
      {R"({"smbios": {"capabilities": {"revision": "2.16"}}})",
       "smbios.capabilities.revision: expected [major, minor], two numbers such as [2, 16], found "
       "\"2.16\""},
      // A letter in either case is one letter.
      {R"({"disks": [{"sizeMB": 9, "partitions": [{"sizeMB": 1, "letter": "C:"}, {"sizeMB": 1, "letter": "c:"}]}]})",
       "disks[0].partitions[1].letter: expected a letter no other volume carries, found \"c:\""},
      {R"({"faults": {"mountFailures": {"M:": 1, "m:": 2}}})",
       "faults.mountFailures.\"m:\": expected each letter once"},
  };
  for (const auto& c : cases) {
    try {
      LoadProfile(c.json, "bad.json");
      ADD_FAILURE() << "accepted: " << c.json;
    } catch (const ProfileError& e) {
      std::string message = e.what();
      EXPECT_EQ(message.rfind("bad.json: ", 0), 0u) << message;
      EXPECT_NE(message.find(c.path), std::string::npos) << message;
      EXPECT_EQ(message.find('\n'), std::string::npos) << message;
    }
  }
}

TEST(SimProfile, EveryWordAndLetterInAnyCase) {
  Profile p = LoadProfile(
      R"({"firmware": "UEFI",
          "disks": [{"sizeMB": 100, "style": "GPT", "partitions": [{"sizeMB": 10, "letter": "c:"}]},
                    {"sizeMB": 100, "style": "Mbr"}],
          "drives": [{"letter": "x:", "label": "Boot"}, {"letter": "q:"}],
          "faults": {"comInit": "FAIL", "smbiosFetch": "Fail", "readOnly": ["m:"],
                     "mountFailures": {"w:": 2, "M:": "Always"}}})",
      "case.json");
  EXPECT_EQ(p.firmware.kind, FirmwareSpec::Kind::Uefi);
  for (const char* word : {"Legacy", "READABLE"})
    EXPECT_NO_THROW(LoadProfile(std::string(R"({"firmware": ")") + word + R"("})", "case.json"));
  EXPECT_TRUE(p.faults.comInitFails && p.faults.smbiosFetchFails);
  EXPECT_EQ(p.faults.mountFailures.at(L"M:"), -1);
  EXPECT_TRUE(p.disks[0].gpt);
  EXPECT_FALSE(p.disks[1].gpt);
  EXPECT_EQ(p.disks[0].partitions[0].letter, std::optional<std::wstring>(L"C:"));
  // "x:" is the RAM drive: no second X: is added beside it.
  ASSERT_EQ(p.drives.size(), 2u);
  EXPECT_EQ(p.drives[0].letter, L"X:");
  EXPECT_EQ(p.drives[1].letter, L"Q:");
  EXPECT_EQ(p.faults.readOnly, std::vector<std::wstring>{L"M:"});
  EXPECT_EQ(p.faults.mountFailures.count(L"W:"), 1u);
}

}  // namespace
}  // namespace quorvane::sim
