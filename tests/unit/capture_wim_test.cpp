// Recovery images as a capture reads them: real files made with wimlib-imagex (several images,
// split parts, damaged copies) and hand-made XML.
#include <gtest/gtest.h>

#include "capture/collect_facts.h"
#include "capture/wim_images.h"
#include "tests/unit/folder_capture_system.h"
#include "tests/unit/wim_files.h"

namespace quorvane::capture {
namespace {

using quorvane::testing::WimFiles;

// One volume "V:\" whose folder holds RecoveryImage\<name> copied from a file or given as bytes.
class ImageVolume : public quorvane::testing::FolderCaptureSystem {
 public:
  explicit ImageVolume(const std::filesystem::path& folder) : folder_(folder) {
    std::filesystem::create_directories(folder_ / "RecoveryImage");
  }
  void Put(const std::string& name, const std::string& bytes) {
    std::ofstream(folder_ / "RecoveryImage" / name, std::ios::binary | std::ios::trunc) << bytes;
  }
  std::optional<std::filesystem::path> VolumeFolder(const std::wstring& path,
                                                    size_t& namesAt) override {
    if (path.rfind(L"V:\\", 0) != 0) return std::nullopt;
    namesAt = 3;
    return folder_;
  }
  // The image found at RecoveryImage\<name>, read as the capture reads it.
  WimImages Read(const std::string& name) {
    for (const auto& f : CollectFiles(*this, L"V:\\")) {
      if (f.path == "RecoveryImage/" + name) {
        EXPECT_TRUE(f.image && f.readError == 0) << name;
        return ReadWimImages(f.imageHeader, f.imageXml);
      }
    }
    ADD_FAILURE() << name << " not found";
    return {};
  }

 private:
  std::filesystem::path folder_;
};

std::string Joined(const std::vector<std::string>& notes) {
  std::string all;
  for (const auto& n : notes) all += n + "\n";
  return all;
}

TEST(CaptureWim, RealImagesGiveTheirNamesInIndexOrder) {
  WimFiles wims;
  const auto wim = wims.Make("three.wim", {"Home", "Pro N & <Education>",
                                           "\xC3\x89"
                                           "dition \xE4\xB8\xAD"});
  ImageVolume volume(wim.parent_path() / "volume");
  volume.Put("install.wim", WimFiles::Bytes(wim));
  WimImages images = volume.Read("install.wim");
  EXPECT_TRUE(images.isImage);
  EXPECT_EQ(images.names,
            (std::vector<std::wstring>{L"Home", L"Pro N & <Education>", L"\u00C9dition \u4E2D"}));
  EXPECT_TRUE(images.notes.empty()) << Joined(images.notes);
}

TEST(CaptureWim, SplitPartsNameTheImagesAndSayTheyArePartsOnly) {
  WimFiles wims;
  const auto wim = wims.Make("big.wim", {"Home", "Pro"}, 3u << 20);
  const auto first = wims.Split(wim, "install.swm", 1);
  ImageVolume volume(wim.parent_path() / "volume");
  volume.Put("install.swm", WimFiles::Bytes(first));
  volume.Put("install.wim", WimFiles::Bytes(first.parent_path() / "install2.swm"));

  WimImages part1 = volume.Read("install.swm");
  EXPECT_EQ(part1.names, (std::vector<std::wstring>{L"Home", L"Pro"}));
  ASSERT_EQ(part1.notes.size(), 1u) << Joined(part1.notes);
  EXPECT_NE(part1.notes[0].find("part 1 of "), std::string::npos) << part1.notes[0];

  // A later part holds the image list too; that it is not the first is said.
  WimImages part2 = volume.Read("install.wim");
  EXPECT_EQ(part2.names, (std::vector<std::wstring>{L"Home", L"Pro"}));
  EXPECT_NE(Joined(part2.notes).find("read from part 1"), std::string::npos) << Joined(part2.notes);
}

TEST(CaptureWim, DamagedImagesAndOtherFilesGiveNotes) {
  WimFiles wims;
  const auto wim = wims.Make("two.wim", {"Home", "Pro"});
  const std::string good = WimFiles::Bytes(wim);
  std::string problem;
  const auto header = ReadWimHeader(good, problem);
  ASSERT_TRUE(header.has_value()) << problem;
  ASSERT_EQ(header->imageCount, 2u);
  ImageVolume volume(wim.parent_path() / "volume");

  struct Case {
    const char* what;
    std::string bytes;
    bool isImage;
    std::vector<std::wstring> names;
    const char* note;
  };
  std::string compressed = good;
  compressed[79] = static_cast<char>(compressed[79] | 0x04);
  std::string badXml = good;
  // The first '>' of the XML becomes a letter: the root element never ends.
  const size_t close = badXml.find(std::string("<\0W\0I\0M\0>", 10), header->xmlOffset);
  ASSERT_NE(close, std::string::npos);
  badXml[close + 8] = 'x';
  const Case cases[] = {
      {"cut inside the XML",
       good.substr(0, header->xmlOffset + 20),
       true,
       {L"Image 1", L"Image 2"},
       "ends inside its XML resource"},
      {"compressed XML", compressed, true, {L"Image 1", L"Image 2"}, "compressed"},
      {"malformed XML", badXml, true, {L"Image 1", L"Image 2"}, "XML"},
      {"header cut short", good.substr(0, 100), false, {}, "cut short"},
      {"text", "[Quorvane]\r\n", false, {}, "does not start as an image file"},
      {"empty", "", false, {}, "does not start as an image file"},
  };
  for (const auto& c : cases) {
    volume.Put("install.wim", c.bytes);
    WimImages images = volume.Read("install.wim");
    EXPECT_EQ(images.isImage, c.isImage) << c.what;
    EXPECT_EQ(images.names, c.names) << c.what;
    EXPECT_NE(Joined(images.notes).find(c.note), std::string::npos)
        << c.what << ": " << Joined(images.notes);
  }
}

// Image file bytes: a header naming `count` images, the XML (UTF-16 with its mark) right after it.
std::string HandMadeImage(std::wstring_view xml, uint32_t count) {
  std::string bytes(kWimHeaderBytes, '\0');
  bytes.replace(0, 8, std::string("MSWIM\0\0\0", 8));
  auto put = [&bytes](size_t at, uint64_t value, size_t width) {
    for (size_t i = 0; i < width; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
  };
  put(8, kWimHeaderBytes, 4);
  put(40, 1, 2);
  put(42, 1, 2);
  put(44, count, 4);
  const std::wstring text = L"\uFEFF" + std::wstring(xml);
  put(72, text.size() * 2, 7);
  put(80, kWimHeaderBytes, 8);
  for (wchar_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>((c >> 8) & 0xFF);
  }
  return bytes;
}

TEST(CaptureWim, XmlEntitiesOrderAndMissingNames) {
  const std::string image = HandMadeImage(
      L"<WIM><TOTALBYTES>9</TOTALBYTES>"
      L"<IMAGE INDEX=\"2\"><WINDOWS><NAME>not this one</NAME></WINDOWS><NAME>Pro &#x4E2D;&#233;"
      L"</NAME></IMAGE>"
      L"<IMAGE INDEX='1'><DESCRIPTION>no name</DESCRIPTION></IMAGE>"
      L"<IMAGE INDEX=\"3\"><NAME>A &amp;&lt;&gt;&quot;&apos; Z</NAME></IMAGE></WIM>",
      4);
  WimImages images = ReadWimImages(std::string_view(image).substr(0, kWimHeaderBytes),
                                   std::string_view(image).substr(kWimHeaderBytes));
  EXPECT_EQ(images.names, (std::vector<std::wstring>{L"", L"Pro \u4E2D\u00E9", L"A &<>\"' Z"}));
  const std::string notes = Joined(images.notes);
  EXPECT_NE(notes.find("has no name"), std::string::npos) << notes;
  EXPECT_NE(notes.find("counts 4 images, its XML names 3"), std::string::npos) << notes;
  EXPECT_EQ(notes.find("not numbered"), std::string::npos) << notes;

  const std::string gaps =
      HandMadeImage(L"<WIM><IMAGE INDEX=\"5\"><NAME>Five</NAME></IMAGE></WIM>", 1);
  WimImages five = ReadWimImages(std::string_view(gaps).substr(0, kWimHeaderBytes),
                                 std::string_view(gaps).substr(kWimHeaderBytes));
  EXPECT_EQ(five.names, (std::vector<std::wstring>{L"Five"}));
  EXPECT_NE(Joined(five.notes).find("not numbered"), std::string::npos);
}

}  // namespace
}  // namespace quorvane::capture
