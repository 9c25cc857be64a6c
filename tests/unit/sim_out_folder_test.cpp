// Where quorvane-sim may write: only folders it marked as its own are emptied, and then only of
// what a run writes, never through a link; the page never lands in the run's own parts.
#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "tests/unit/sim_fixture.h"
#include "whatif/out_folder.h"
#include "whatif/profile_run.h"

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

// A previous run's parts that are links, or hold links, to the user's files: each link goes as
// the link, the files and folders it leads to stay byte for byte, and the rerun says what it
// replaced.
TEST(SimOutFolder, RemovalNeverFollowsALink) {
  SimFixture sim("{}");
  std::string error;
  const fs::path precious = sim.root() / "precious";
  Write(precious / "thesis.txt", "keep");
  Write(precious / "sub" / "cat.jpg", "keep");
  const fs::path out = sim.root() / "out";
  const std::pair<const char*, std::vector<std::pair<std::string, fs::path>>> layouts[] = {
      {"volumes a link to a folder", {{"volumes", precious}}},
      {"summary.json a link to a file", {{"summary.json", precious / "thesis.txt"}}},
      {"links inside volumes",
       {{"volumes/X/Quorvane.log", precious / "thesis.txt"},
        {"volumes/X/sub", precious / "sub"},
        {"volumes/dangling", sim.root() / "nowhere"}}},
  };
  for (const auto& [what, links] : layouts) {
    SCOPED_TRACE(what);
    ASSERT_TRUE(PrepareOutFolder(out, error)) << error;
    for (const auto& [name, target] : links) {
      fs::create_directories((out / name).parent_path());
      fs::create_symlink(target, out / name);
    }
    std::vector<std::string> replaced;
    ASSERT_TRUE(PrepareOutFolder(out, error, &replaced)) << error;
    EXPECT_EQ(Tree(out), std::set<std::string>{kOutMarkerName});
    EXPECT_EQ(replaced.size(), 1u);
    EXPECT_EQ(Tree(precious), (std::set<std::string>{"thesis.txt", "sub", "sub/cat.jpg"}));
    std::ifstream kept(precious / "thesis.txt", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "keep");
  }
}

TEST(SimOutFolder, ThePageNeverLandsInTheRunsOwnParts) {
  SimFixture sim("{}");
  std::string error;
  const fs::path out = sim.root() / "out";
  ASSERT_TRUE(PrepareOutFolder(out, error));
  auto check = [](const fs::path& page, const fs::path& folder) {
    return CheckRunOutputs({folder, page});
  };
  Write(sim.root() / "old.html", "");
  EXPECT_EQ(check(sim.root() / "new.html", out), "");
  EXPECT_EQ(check(sim.root() / "old.html", out), "");  // empty: nothing to lose
  EXPECT_EQ(check(out / "run.html", out), "");
  for (const fs::path& page :
       {out / "summary.json", out / kOutMarkerName, out / "volumes" / "X" / "a.html",
        out / ".." / "out" / "volumes", fs::path(out) / "sub" / ".." / "summary.json"}) {
    EXPECT_NE(check(page, out).find("the run's own"), std::string::npos) << page;
  }
  // The output folder itself, made or still to be made, a missing folder.
  const fs::path later = sim.root() / "later";
  for (const auto& [page, folder] :
       {std::pair{out, out}, std::pair{later, later}, std::pair{out / ".", out}}) {
    EXPECT_NE(check(page, folder).find("is the output folder itself"), std::string::npos) << page;
  }
  EXPECT_NE(check(sim.root() / "missing" / "a.html", out).find("no such folder"),
            std::string::npos);
  // Straight in an output folder still to be made: it is made before the page is written.
  EXPECT_EQ(check(later / "page.html", later), "");
}

}  // namespace
}  // namespace quorvane::whatif
