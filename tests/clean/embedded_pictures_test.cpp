#include "clean/embedded_pictures.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "clean/page_archive.h"
#include "platform/files.h"
#include "platform/temp_folder.h"
#include "support/temp_dir.h"
#include "support/temp_root.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

// "abc" and "Hello?" in base64.
constexpr const char* kAbc = "data:image/png;base64,YWJj";
constexpr const char* kHello = "data:image/gif;base64,SGVsbG8/";

class TakeOut : public ::testing::Test {
 protected:
  TakeOut() : root_(dir_.path()) {}

  std::string Run(std::string_view page, const TPageArchive* archive = nullptr,
                  bool every = false) {
    return TakeOutEmbeddedPictures(std::string(page), scratch_, archive, every);
  }
  // The path text the n-th written file gets, as the page refers to it.
  std::string File(int n, std::string_view extension) {
    return scratch_.Path() + "\\" + std::to_string(n) + std::string(extension);
  }
  std::string Bytes(int n, std::string_view extension) {
    return ReadFileBytes(File(n, extension)).value_or("(none)");
  }
  size_t FileCount() {
    if (!scratch_.Made()) return 0;
    return static_cast<size_t>(
        std::distance(fs::directory_iterator(fs::path(scratch_.Path())), fs::directory_iterator()));
  }

  test::TempDir dir_;
  test::ScopedTempRoot root_;
  TempFolder scratch_;
};

TEST_F(TakeOut, PageWithoutEmbeddedPicturesStaysByteForByteAndMakesNoFolder) {
  const std::string page =
      "<HTML><IMG SRC='a.gif'><img src=\"http://x.ru/b.png\"><a "
      "href=\"data:image/png;base64,YWJj\">"
      "<iframe src=\"data:image/png;base64,YWJj\"></iframe><img src=x.png></HTML>";
  EXPECT_EQ(Run(page), page);
  EXPECT_FALSE(scratch_.Made());
}

TEST_F(TakeOut, DataPictureInSrcBecomesAFileWhateverTheQuotingAndCase) {
  const std::string page = std::string("<p>a</p><IMG Width=5 SRC=\"") + kAbc +
                           "\" alt=x><img src='" + kHello + "'><img src=" + kAbc + " border=0>";
  const std::string out = Run(page);
  EXPECT_EQ(out, "<p>a</p><IMG Width=5 SRC=\"" + File(1, ".png") + "\" alt=x><img src=\"" +
                     File(2, ".gif") + "\"><img src=\"" + File(1, ".png") + "\" border=0>");
  EXPECT_EQ(Bytes(1, ".png"), "abc");
  EXPECT_EQ(Bytes(2, ".gif"), "Hello?");
  EXPECT_EQ(FileCount(), 2u);  // the repeated address shares its file
}

TEST_F(TakeOut, UndecodablePictureLeavesAnEmptySrcForThePicturePassToDrop) {
  EXPECT_EQ(Run("<img src=\"data:image/png;base64,Y\" alt=\"a\">"), "<img src=\"\" alt=\"a\">");
  EXPECT_EQ(Run("<img src=\"data:text/html,<b>\">"), "<img src=\"\">");
  EXPECT_EQ(FileCount(), 0u);
}

TEST_F(TakeOut, EntitiesInTheValueAreUndoneFirst) {
  // "&#43;" is "+", "&amp;" would be "&": the address a browser reads.
  EXPECT_EQ(Run("<img src=\"data:image/png;base64,&#43;&#x2B;++\">"),
            "<img src=\"" + File(1, ".png") + "\">");
  EXPECT_EQ(Bytes(1, ".png"), "\xfb\xef\xbe");
}

TEST_F(TakeOut, CommentsScriptsAndStylesAreNotLookedInto) {
  const std::string page = std::string("<!-- <img src=\"") + kAbc + "\"> --><script>if (a<b) x='" +
                           "<img src=\"" + kAbc + "\">';</SCRIPT><style>p{}</style><img src=\"" +
                           kHello + "\">";
  const std::string out = Run(page);
  EXPECT_EQ(out.substr(0, out.find("<img src=\"" + File(1, ".gif"))),
            page.substr(0, page.rfind("<img")));
  EXPECT_EQ(FileCount(), 1u);
}

TEST_F(TakeOut, LazyAndSrcsetAttributesOnlyWhenAsked) {
  const std::string page = std::string("<img src=\"p.gif\" data-src=\"") + kAbc + "\" srcset=\"" +
                           kAbc + " 1x, big.png 2x\"><picture><source srcset=\"" + kHello +
                           "\"></picture>";
  EXPECT_EQ(Run(page, nullptr, false), page);
  EXPECT_EQ(Run(page, nullptr, true),
            "<img src=\"p.gif\" data-src=\"" + File(1, ".png") + "\" srcset=\"" + File(1, ".png") +
                " 1x, big.png 2x\"><picture><source srcset=\"" + File(2, ".gif") + "\"></picture>");
}

TEST_F(TakeOut, SrcsetKeepsItsDescriptorsAndLosesUndecodableCandidates) {
  // The comma inside a data: address does not split the candidate.
  const std::string page = std::string("<img srcset=\"  ") + kAbc +
                           "  480w ,data:image/png;base64,Y 800w, b.png 2x,c.png,\">";
  EXPECT_EQ(Run(page, nullptr, true),
            "<img srcset=\"" + File(1, ".png") + " 480w, b.png 2x, c.png\">");
}

TEST_F(TakeOut, SpacesInTheScratchPathAreWrittenAsPercent20) {
  test::TempDir spaced;
  test::ScopedTempRoot root(spaced.path() / "with space");
  TempFolder scratch;
  const std::string out =
      TakeOutEmbeddedPictures(std::string("<img src=\"") + kAbc + "\">", scratch, nullptr, false);
  EXPECT_EQ(out.find(' ', 5), std::string::npos) << out;
  EXPECT_NE(out.find("with%20space"), std::string::npos) << out;
}

// An archive saved from https://x.ru/news/1.html.
TPageArchive Archive() {
  TPageArchive archive;
  archive.location = "https://x.ru/news/1.html";
  archive.parts = {
      {"https://x.ru/img/Abs.PNG", "", "image/png", "absolute"},
      {"pics/Rel.gif", "", "image/gif", "relative"},
      {"", "Pic@Blink", "image/webp", "by id"},
      {"https://x.ru/news/%D1%84%D0%BE%D1%82%D0%BE%201.jpg", "", "application/octet-stream",
       "cyrillic"},
      {"https://x.ru/style.css", "", "text/css", "p{}"},
      {"https://x.ru/empty.png", "", "image/png", ""},
  };
  return archive;
}

TEST_F(TakeOut, ArchivePartsByAbsoluteRelativeAndContentId) {
  const TPageArchive archive = Archive();
  const std::string out =
      Run("<img src=\"https://x.ru/img/Abs.PNG\"><img src=\"../img/Abs.PNG#top\">"
          "<img src=\"pics/Rel.gif\"><img src=\"/news/pics/Rel.gif\"><img src=\"cid:Pic@Blink\">"
          "<img src=\"\xF4\xEE\xF2\xEE 1.jpg\">",
          &archive);
  EXPECT_EQ(out, "<img src=\"" + File(1, ".png") + "\"><img src=\"" + File(1, ".png") +
                     "\"><img src=\"" + File(2, ".gif") + "\"><img src=\"" + File(2, ".gif") +
                     "\"><img src=\"" + File(3, ".webp") + "\"><img src=\"" + File(4, ".jpg") +
                     "\">");
  EXPECT_EQ(Bytes(1, ".png"), "absolute");
  EXPECT_EQ(Bytes(2, ".gif"), "relative");
  EXPECT_EQ(Bytes(3, ".webp"), "by id");
  EXPECT_EQ(Bytes(4, ".jpg"), "cyrillic");
}

TEST_F(TakeOut, ArchiveReferencesTellLetterCaseApartAndLeaveTheRestAlone) {
  const TPageArchive archive = Archive();
  // Another case of the path, a style sheet, an empty part, a missing part.
  const std::string page =
      "<img src=\"https://x.ru/img/abs.png\"><img src=\"https://x.ru/style.css\">"
      "<img src=\"https://x.ru/empty.png\"><img src=\"https://x.ru/gone.png\">"
      "<a href=\"pics/Rel.gif\">";
  EXPECT_EQ(Run(page, &archive), page);
  EXPECT_FALSE(scratch_.Made());
  // The host and the scheme are not case-sensitive.
  EXPECT_EQ(Run("<img src=\"HTTPS://X.RU/img/Abs.PNG\">", &archive),
            "<img src=\"" + File(1, ".png") + "\">");
}

TEST_F(TakeOut, BaseHrefChangesWhatRelativeReferencesMean) {
  const TPageArchive archive = Archive();
  EXPECT_EQ(Run("<base href=\"https://x.ru/img/\"><img src=\"Abs.PNG\"><img src=\"pics/Rel.gif\">",
                &archive),
            "<base href=\"https://x.ru/img/\"><img src=\"" + File(1, ".png") +
                "\"><img src=\"pics/Rel.gif\">");
}

}  // namespace
}  // namespace tavex
