// Where quorvane-sim may write: only folders it marked as its own are emptied, and then only of
// what a run writes; the page never lands in the run's own parts.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "tests/unit/sim_fixture.h"
#include "whatif/out_folder.h"

namespace quorvane::whatif {
namespace {

using sim::SimFixture;

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& text = "x") {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// Every path below `folder`, relative to it.
std::set<std::string> Tree(const fs::path& folder) {
  std::set<std::string> tree;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    tree.insert(entry.path().lexically_relative(folder).string());
  return tree;
}

TEST(SimOutFolder, RefusesEveryFolderItDidNotMark) {
  SimFixture sim("{}");  // only for its temporary folder
  std::string error;
  const fs::path fresh = sim.root() / "a" / "b";
  ASSERT_TRUE(PrepareOutFolder(fresh, error));
  EXPECT_EQ(Tree(fresh), std::set<std::string>{kOutMarkerName});
  std::ifstream marker(fresh / kOutMarkerName, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(marker), {}), kOutMarkerText);
  fs::create_directories(sim.root() / "empty");
  EXPECT_TRUE(PrepareOutFolder(sim.root() / "empty", error));

  // A user's documents and photos beside a stray summary.json and volumes folder; then the
  // marker's name with other content.
  const fs::path user = sim.root() / "user";
  Write(user / "docs" / "thesis.txt");
  Write(user / "photos" / "cat.jpg");
  Write(user / "summary.json");
  Write(user / "volumes" / "X" / "Quorvane.log");
  const fs::path lookalike = sim.root() / "lookalike";
  Write(lookalike / kOutMarkerName, "quorvane-sim\n");
  Write(lookalike / "summary.json");
  for (const fs::path& folder : {user, lookalike}) {
    SCOPED_TRACE(folder.string());
    const auto before = Tree(folder);
    EXPECT_FALSE(PrepareOutFolder(folder, error));
    EXPECT_EQ(error.rfind(folder.string() + ": is not empty and is not an output folder", 0), 0u)
        << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
    EXPECT_EQ(Tree(folder), before);
  }
  Write(sim.root() / "file");
  EXPECT_FALSE(PrepareOutFolder(sim.root() / "file", error));
}

TEST(SimOutFolder, ReplacesOnlyTheRunOfAMarkedFolder) {
  SimFixture sim("{}");
  std::string error;
  const fs::path out = sim.root() / "out";
  ASSERT_TRUE(PrepareOutFolder(out, error));
  Write(out / "volumes" / "X" / "Quorvane.log");
  Write(out / "summary.json");
  Write(out / "notes.txt");
  Write(out / "pictures" / "run.html");
  ASSERT_TRUE(PrepareOutFolder(out, error)) << error;
  EXPECT_EQ(Tree(out),
            (std::set<std::string>{kOutMarkerName, "notes.txt", "pictures", "pictures/run.html"}));
}

TEST(SimOutFolder, ThePageNeverLandsInTheRunsOwnParts) {
  SimFixture sim("{}");
  std::string error;
  const fs::path out = sim.root() / "out";
  ASSERT_TRUE(PrepareOutFolder(out, error));
  Write(sim.root() / "old.html");
  EXPECT_TRUE(CheckPageFile(sim.root() / "new.html", out, error));
  EXPECT_TRUE(CheckPageFile(sim.root() / "old.html", out, error));  // named, so replaced
  EXPECT_TRUE(CheckPageFile(out / "run.html", out, error));
  for (const fs::path& page :
       {out / "summary.json", out / kOutMarkerName, out / "volumes" / "X" / "a.html",
        out / ".." / "out" / "volumes", fs::path(out) / "sub" / ".." / "summary.json"}) {
    EXPECT_FALSE(CheckPageFile(page, out, error)) << page;
    EXPECT_NE(error.find("the run's own"), std::string::npos) << error;
  }
  // The output folder itself, made or still to be made, an empty name, a missing folder.
  const fs::path later = sim.root() / "later";
  for (const auto& [page, folder] :
       {std::pair{out, out}, std::pair{later, later}, std::pair{out / ".", out}}) {
    EXPECT_FALSE(CheckPageFile(page, folder, error)) << page;
    EXPECT_NE(error.find("is the output folder itself"), std::string::npos) << error;
  }
  EXPECT_FALSE(CheckPageFile("", out, error));
  EXPECT_EQ(error, "--html: expects a file name, found an empty one");
  EXPECT_FALSE(CheckPageFile(sim.root() / "missing" / "a.html", out, error));
  EXPECT_NE(error.find("no such folder"), std::string::npos);
  // Straight in an output folder still to be made: it is made before the page is written.
  EXPECT_TRUE(CheckPageFile(later / "page.html", later, error)) << error;
}

}  // namespace
}  // namespace quorvane::whatif
