// The output folder rule: made when missing, reused when empty or a previous run, otherwise
// refused and left as it was.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/unit/sim_fixture.h"
#include "tools/sim/out_folder.h"

namespace quorvane::sim {
namespace {

void Touch(const std::filesystem::path& path) { std::ofstream(path) << "x"; }

TEST(SimOutFolder, NeverDeletesAFolderThatIsNotAPreviousRun) {
  SimFixture sim("{}");  // only for its temporary folder
  std::string error;
  auto fresh = sim.root() / "a" / "b";
  EXPECT_TRUE(PrepareOutFolder(fresh, error));
  EXPECT_TRUE(std::filesystem::is_directory(fresh));
  EXPECT_TRUE(PrepareOutFolder(fresh, error));  // empty

  auto user = sim.root() / "user";
  std::filesystem::create_directories(user / "docs");
  Touch(user / "docs" / "thesis.txt");
  Touch(user / "summary.txt");
  EXPECT_FALSE(PrepareOutFolder(user, error));
  EXPECT_NE(error.find("summary.json"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(user / "docs" / "thesis.txt"));

  Touch(sim.root() / "file");
  EXPECT_FALSE(PrepareOutFolder(sim.root() / "file", error));

  auto previous = sim.root() / "previous";
  std::filesystem::create_directories(previous / "volumes" / "X");
  Touch(previous / "volumes" / "X" / "Quorvane.log");
  Touch(previous / "summary.json");
  EXPECT_TRUE(PrepareOutFolder(previous, error));
  EXPECT_TRUE(std::filesystem::is_empty(previous));
}

}  // namespace
}  // namespace quorvane::sim
