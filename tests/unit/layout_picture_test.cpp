// The layout picture: escaping, bar widths, empty disks and what a run changed, on real runs.
#include "report/layout_picture.h"

#include <gtest/gtest.h>

#include <numeric>
#include <regex>

#include "report/picture_parts.h"
#include "tests/unit/reported_run.h"

namespace quorvane::report {
namespace {

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t pos = text.find(part); pos != std::string::npos; pos = text.find(part, pos + 1))
    ++count;
  return count;
}

// The text elements of a page whose text ends in an ellipsis.
std::vector<std::string> CutTexts(const std::string& page) {
  std::vector<std::string> cut;
  const std::regex text("<text[^>]*>([^<]*)</text>");
  for (auto it = std::sregex_iterator(page.begin(), page.end(), text); it != std::sregex_iterator();
       ++it) {
    const std::string inner = (*it)[1];
    if (inner.size() >= 3 && inner.compare(inner.size() - 3, 3, "\xE2\x80\xA6") == 0)
      cut.push_back(inner);
  }
  return cut;
}

TEST(LayoutPicture, EscapesMarkupKeepsUnicodeAndReplacesWhatIsNotText) {
  EXPECT_EQ(EscapeHtml(R"(<b>&"'x)"), "&lt;b&gt;&amp;&quot;&#39;x");
  EXPECT_EQ(EscapeHtml("R\xC3\xA9"
                       "cup\xE2\x9C\x93"),
            "R\xC3\xA9"
            "cup\xE2\x9C\x93");
  EXPECT_EQ(EscapeHtml("\xF0\x9F\x92\xBE"), "\xF0\x9F\x92\xBE");  // four bytes
  // A stray continuation byte, a cut sequence, an overlong '<', a surrogate, a control character.
  EXPECT_EQ(EscapeHtml("a\x80z"), "a\xEF\xBF\xBDz");
  EXPECT_EQ(EscapeHtml("a\xE2\x9C"), "a\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(EscapeHtml("\xC0\xBC"), "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(EscapeHtml("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(EscapeHtml(std::string("a\0b\x1b", 4)),
            "a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD");
}

TEST(LayoutPicture, WidthsFollowSizesWithAReadableMinimum) {
  // A 16 MB partition beside 200 GB: pinned at its minimum, the rest shared by size.
  auto widths = SegmentWidths({260, 16, 200000, 20000}, {60, 60, 60, 60}, 1000);
  ASSERT_EQ(widths.size(), 4u);
  EXPECT_NEAR(std::accumulate(widths.begin(), widths.end(), 0.0), 1000, 1e-9);
  EXPECT_DOUBLE_EQ(widths[0], 60);
  EXPECT_DOUBLE_EQ(widths[1], 60);
  EXPECT_NEAR(widths[2] / widths[3], 10.0, 1e-9);

  // Pinning the smallest pushes the next one under its minimum: both end at it.
  widths = SegmentWidths({1, 90, 1000}, {100, 100, 100}, 1000);
  EXPECT_DOUBLE_EQ(widths[0], 100);
  EXPECT_DOUBLE_EQ(widths[1], 100);
  EXPECT_DOUBLE_EQ(widths[2], 800);

  // Minimums that do not fit shrink alike; zero sizes share equally.
  widths = SegmentWidths({5, 5, 5}, {200, 400, 400}, 500);
  EXPECT_DOUBLE_EQ(widths[0], 100);
  EXPECT_DOUBLE_EQ(widths[1], 200);
  widths = SegmentWidths({0, 0}, {10, 10}, 300);
  EXPECT_DOUBLE_EQ(widths[0], 150);
  EXPECT_TRUE(SegmentWidths({}, {}, 300).empty());
}

TEST(LayoutPicture, PageIsSelfContainedAndEveryTextEscaped) {
  RunReport picture;
  picture.machine = "a<b>";
  picture.description = "R\xC3\xA9serve & \"quoted\"";
  DiskReport disk;
  disk.index = 0;
  disk.model = "<script>alert(1)</script>";
  disk.sizeMB = 1000;
  PartitionReport part;
  part.sizeMB = 500;
  part.label = "</text><script>x</script>";
  part.type = "GPT: Basic Data";
  part.letters = {"C:"};
  part.roles = {PartitionRole::Os, PartitionRole::Pbr};
  disk.partitions = {part};
  picture.disksBefore = {disk};
  picture.disksAfter = {disk};
  picture.warnings = {{"letter-role", "M: on \"<DATA>\""}};
  const std::string page = RenderLayoutPicture(picture);

  EXPECT_EQ(Count(page, "<script"), 0u);
  EXPECT_EQ(Count(page, "http"), 0u);
  EXPECT_EQ(Count(page, "src="), 0u);
  EXPECT_NE(page.find("&lt;/text&gt;&lt;script&gt;x&lt;/script&gt;"), std::string::npos);
  EXPECT_NE(page.find("R\xC3\xA9serve &amp; &quot;quoted&quot;"), std::string::npos);
  EXPECT_NE(page.find("M: on &quot;&lt;DATA&gt;&quot;"), std::string::npos);
  EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
  // Two bars; the second role is a band on each; the free half is drawn.
  EXPECT_EQ(Count(page, "<svg class=\"bar\""), 2u);
  EXPECT_EQ(Count(page, ">found: OS + PBR</text>"), 2u);
  EXPECT_EQ(Count(page, "<rect class=\"r-pbr\""), 2u);
  EXPECT_EQ(Count(page, ">free</text>"), 2u);
  // Clip paths are unique across the page.
  EXPECT_EQ(Count(page, "id=\"clip0\""), 1u);
  EXPECT_EQ(Count(page, "id=\"clip3\""), 1u);
}

TEST(LayoutPicture, DiskWithoutPartitionsIsOneEmptyBlock) {
  RunReport picture;
  DiskReport disk;
  disk.sizeMB = 0;  // a reader without a medium
  picture.disksBefore = {disk};
  const std::string page = RenderLayoutPicture(picture);
  EXPECT_EQ(Count(page, ">no partitions</text>"), 1u);
  EXPECT_EQ(Count(page, "<rect class=\"seg r-free\""), 1u);
  EXPECT_NE(page.find("width=\"998.0\""), std::string::npos);  // the whole bar, less its gap
}

TEST(LayoutPicture, CarvingShowsAsACleanedDiskWithANewPartition) {
  ReportedRun run(R"({"firmware": "uefi",
    "smbios": {"capabilities": {"revision": [3, 0], "entries": [[1, 1], [2, 0], [3, 0]]}},
    "disks": [
      {"sizeMB": 476940, "partitions": [
        {"label": "ESP", "type": "GPT: System", "sizeMB": 260},
        {"label": "OS", "sizeMB": 430000, "letter": "C:", "files": {"Windows/": ""}},
        {"label": "PUSH BUTTON RESET", "sizeMB": 25000}]},
      {"sizeMB": 30533, "partitions": [{"label": "Cache & <old>", "sizeMB": 8192}]}]})");
  ASSERT_EQ(run.report.road, Road::RapidStart);
  const RunReport& p = run.report;
  ASSERT_EQ(p.disksBefore.size(), 2u);
  ASSERT_EQ(p.disksAfter.size(), 2u);
  EXPECT_FALSE(p.disksBefore[1].cleaned);
  EXPECT_EQ(p.disksBefore[1].partitions[0].label, "Cache & <old>");
  EXPECT_TRUE(p.disksAfter[1].cleaned);
  ASSERT_EQ(p.disksAfter[1].partitions.size(), 1u);
  EXPECT_TRUE(p.disksAfter[1].partitions[0].created);
  EXPECT_EQ(p.disksAfter[1].partitions[0].sizeMB, 8192);
  EXPECT_FALSE(p.disksAfter[1].partitions[0].label.has_value());
  EXPECT_EQ(p.disksAfter[1].diskRoles, std::vector<std::string>{"SSD"});
  // Roles are the run's findings, drawn after it only. The disk has no hidden partition, so the
  // run's GPT numbering puts OS one partition on and PBR past the end: the picture shows just that.
  for (const auto& part : p.disksBefore[0].partitions) EXPECT_TRUE(part.roles.empty());
  EXPECT_EQ(p.disksAfter[0].partitions[2].roles, std::vector<PartitionRole>{PartitionRole::Os});
  EXPECT_TRUE(p.disksAfter[0].partitions[1].roles.empty());
  EXPECT_EQ(p.unplacedRoles, std::vector<std::string>{"PBR on disk 0, partition 4"});

  const std::string page = RenderLayoutPicture(p);
  EXPECT_EQ(Count(page, "<span class=\"badge warn\">cleaned by the run</span>"), 1u);
  EXPECT_EQ(Count(page, "seg r-new"), 1u);
  EXPECT_NE(page.find("Cache &amp; &lt;old&gt;"), std::string::npos);
  EXPECT_NE(page.find(">rapid-start</span>"), std::string::npos);
}

TEST(LayoutPicture, LettersAtStartAndEndLandOnTheirPartitions) {
  ReportedRun run(R"({"firmware": "uefi",
    "disks": [
      {"sizeMB": 244198, "partitions": [
        {"label": "ESP", "type": "GPT: System", "sizeMB": 260},
        {"hidden": true, "type": "GPT: Unknown", "sizeMB": 16, "label": null},
        {"label": "OS", "sizeMB": 200000, "letter": "C:", "files": {"Windows/": ""}},
        {"label": "PQSERVICE", "sizeMB": 20000, "letter": "Q:"}]}],
    "drives": [{"letter": "X:", "label": "Boot"}, {"letter": "R:", "label": null}]})");
  const RunReport& p = run.report;
  ASSERT_EQ(p.disksBefore.size(), 1u);
  EXPECT_EQ(p.disksBefore[0].partitions[2].letters, std::vector<std::string>{"C:"});
  EXPECT_EQ(p.disksBefore[0].partitions[3].letters, std::vector<std::string>{"Q:"});
  EXPECT_TRUE(p.disksBefore[0].partitions[0].letters.empty());
  ASSERT_EQ(p.otherLettersBefore.size(), 2u);
  EXPECT_EQ(p.otherLettersBefore[0].volume.label, "Boot");
  EXPECT_EQ(p.otherLettersBefore[1].volume.kind, VolumeNote::Kind::NoFileSystem);
  // Every letter the run left defined is pictured exactly once, on a partition or apart.
  size_t pictured = p.otherLettersAfter.size();
  for (const auto& part : p.disksAfter[0].partitions) pictured += part.letters.size();
  EXPECT_EQ(pictured, p.letters.size());
  for (const auto& [letter, t, volume] : p.letters) {
    if (t.rfind("\\Device\\Harddisk0\\Partition", 0) != 0) continue;
    const size_t number =
        std::stoul(t.substr(std::string("\\Device\\Harddisk0\\Partition").size()));
    const auto& letters = p.disksAfter[0].partitions.at(number - 1).letters;
    EXPECT_NE(std::find(letters.begin(), letters.end(), letter), letters.end()) << letter;
  }
  // The PBR role is numbered past the hidden partition the way the run counts: on the OS.
  EXPECT_TRUE(p.disksBefore[0].partitions[2].roles.empty());
  EXPECT_EQ(p.roles[0].name, "pbr");
  EXPECT_EQ(p.roles[0].partition, 3);
  EXPECT_NE(std::find(p.disksAfter[0].partitions[2].roles.begin(),
                      p.disksAfter[0].partitions[2].roles.end(), PartitionRole::Pbr),
            p.disksAfter[0].partitions[2].roles.end());
}

TEST(LayoutPicture, LettersTheRunChangedStandOut) {
  // C: moves from System Reserved to Windows; H:, I:, M: and W: are new.
  ReportedRun run(MachineProfile("legacy-ssd-hdd"));
  const std::string page = RenderLayoutPicture(run.report);
  EXPECT_EQ(Count(page, "<rect class=\"letter-new\""), 5u);
  EXPECT_EQ(Count(page, "<text class=\"t let gone\""), 1u);
  EXPECT_NE(page.find("C: moved from \\Device\\Harddisk0\\Partition1 (&quot;System "
                      "Reserved&quot;) to \\Device\\Harddisk0\\Partition3 (&quot;OS&quot;)"),
            std::string::npos);
  // Unchanged letters (D: on disk 0, E: and F: on disk 1, before and after) are drawn plain.
  EXPECT_EQ(Count(page, "<text class=\"t let\""), 6u);
  // The page says why the road was taken, in the words of the summary.
  EXPECT_NE(page.find("because " + EscapeHtml(run.report.roadWhy)), std::string::npos);
}

TEST(LayoutPicture, WhatTheRunNeverSawIsMarked) {
  ReportedRun external(MachineProfile("external-usb-disk"));
  std::string page = RenderLayoutPicture(external.report);
  EXPECT_EQ(Count(page, "<section class=\"disk unseen\">"), 1u);
  EXPECT_EQ(Count(page, "not in the run's inventory: External hard disk media"), 1u);
  // Only the hidden MSR of the internal disk: the USB disk's lettered partitions are listed.
  EXPECT_EQ(Count(page, "unseen-mark"), 1u + 1u);  // the style rule and the MSR

  ReportedRun pqservice2(MachineProfile("unseen-pqservice2"));
  page = RenderLayoutPicture(pqservice2.report);
  EXPECT_EQ(Count(page, "<rect class=\"unseen-mark\""), 2u);  // the MSR and PQSERVICE2
  EXPECT_NE(page.find("Partition 1: PQSERVICE2, 29.3 GB, Installable File System, never listed"),
            std::string::npos);
  EXPECT_EQ(Count(page, "<section class=\"disk unseen\">"), 0u);
}

TEST(LayoutPicture, ALabelTooLongForItsSegmentEndsInAnEllipsis) {
  // Fits whole, or is cut inside its room and never inside a character.
  using picture::FitText;
  using picture::TextWidth;
  EXPECT_EQ(FitText("ESP", 100, 12), "ESP");
  const std::string label = "PUSH BUTTON RESET \xC3\x89\xC3\x89\xC3\x89";
  for (double room : {20.0, 60.0, 120.0}) {
    const std::string cut = FitText(label, room, 12);
    EXPECT_LE(TextWidth(cut, 12), room) << cut;
    EXPECT_EQ(EscapeHtml(cut), cut);  // still well-formed UTF-8
    EXPECT_EQ(cut.substr(cut.size() - 3), "\xE2\x80\xA6");
  }

  // On a page: the long labels the bars cannot hold, before and after, end in an ellipsis and
  // stay whole in the tooltip; the short ones are not touched.
  ReportedRun run(R"({"firmware": "uefi", "disks": [{"sizeMB": 244198, "partitions": [
      {"label": "ESP", "type": "GPT: System", "sizeMB": 260},
      {"label": "OS", "sizeMB": 200000, "letter": "C:"},
      {"label": "PUSH BUTTON RESET AND A LABEL FAR TOO LONG", "sizeMB": 100},
      {"label": "Recovery tools with a long name", "sizeMB": 100}]}]})");
  const std::string page = RenderLayoutPicture(run.report);
  std::vector<std::string> cutLabels;
  for (const auto& text : CutTexts(page))
    if (text.rfind("found:", 0) != 0) cutLabels.push_back(text.substr(0, 4));
  EXPECT_EQ(cutLabels, (std::vector<std::string>{"PUSH", "Reco", "PUSH", "Reco"}));
  EXPECT_NE(page.find("PUSH BUTTON RESET AND A LABEL FAR TOO LONG, 100 MB"), std::string::npos);
}

TEST(LayoutPicture, WarningsAndChangesInTheirOrder) {
  ReportedRun run(R"({"smbios": {"capabilities": {"revision": [2, 16], "entries": [[1, 1]]}},
      "disks": [{"sizeMB": 476940, "style": "mbr", "partitions": [
                   {"label": "OS", "sizeMB": 90000}, {"label": "PQSERVICE", "sizeMB": 9000}]},
                {"sizeMB": 30533, "partitions": [{"label": "Photos", "sizeMB": 9000}]},
                {"sizeMB": 953869, "mediaType": "External hard disk media"}]})");
  const std::string page = RenderLayoutPicture(run.report);
  const size_t danger = page.find("<li class=\"danger\">");
  const size_t warning = page.find("<li class=\"warning\">");
  const size_t note = page.find("<li class=\"note\">");
  ASSERT_NE(note, std::string::npos);
  EXPECT_LT(danger, warning);
  EXPECT_LT(warning, note);
  // The script inline, as written; the disk before and after in words.
  EXPECT_NE(page.find("<pre>select disk 1\nclean\nconvert gpt\n"), std::string::npos);
  EXPECT_NE(page.find("held partition 1 &quot;Photos&quot;, 9000 MB, GPT: Basic Data"),
            std::string::npos);
  EXPECT_LT(page.find("<section class=\"warnings\">"), page.find("<h2>Changes</h2>"));
}

}  // namespace
}  // namespace quorvane::report
