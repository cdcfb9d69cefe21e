// The book's cover and the names a reader's library shows for it.
#include "epub/book_cover.h"

#include <gtest/gtest.h>

#include "app/memory_window.h"
#include "epub/issue_epub.h"
#include "epub/project_title.h"
#include "epub_test_support.h"
#include "platform/text.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

using test::FindEntry;
using test::TZipEntry;
using test::WriteFile;

const std::string kJpegHead("\xff\xd8\xff\xe0\x00\x10JFIF", 10);

bool Holds(const std::string& text, std::string_view part) {
  return text.find(part) != std::string::npos;
}

// A working folder (current while the test runs) with a help project, and
// an issue of one article built in it.
class BookCoverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    target_ = dir_.text() + "/out/tavex5";
    WriteFile(dir_.path() / "out/tavex5/pub/0.htm", "<p>text</p>");
    WriteFile(dir_.path() / "help/tavex.hhp",
              Utf8To1251("[OPTIONS]\r\nCompiled file=tavex.chm\r\nTitle=Журнал Tavex\r\n"
                         "\r\n[FILES]\r\nmain.htm\r\n"));
    window_.SetFieldText(Field::TargetDir, target_);
    window_.SetFieldText(Field::IssueNumber, "5");
    window_.SetFieldText(Field::ProjectPath, dir_.text() + "\\help\\tavex.hhp");
    window_.SetIssueDate({2026, 3, 1});
    window_.SetRowCount(2);
    window_.SetCell(1, 1, "News");
    table_.Rubrics = {{{"Article", "<a href=\"..\\pub\\0.htm\">", target_ + "\\pub\\0.htm", true}}};
  }

  std::vector<TZipEntry> Build() {
    WriteIssueEpub(window_, TakeIssueFacts(window_), table_);
    return test::ReadZip(target_ + "/tavex5.epub");
  }

  void ExpectEpubcheckPasses() {
    const auto result = test::RunEpubcheck(target_ + "/tavex5.epub");
    if (!result) GTEST_SKIP() << "epubcheck is not installed";
    EXPECT_TRUE(result->passed) << result->output;
  }

  test::TempDir dir_;
  test::ScopedCurrentDir current_{dir_.path()};
  std::string target_;
  MemoryWindow window_;
  ArticleTable table_;
};

TEST_F(BookCoverTest, MadeFromTheLogoTheNameTheNumberAndTheDate) {
  WriteFile(dir_.path() / "Logo.gif", test::kTinyGif);
  const auto book = Build();
  ASSERT_FALSE(book.empty());
  const std::string& opf = FindEntry(book, "EPUB/package.opf")->bytes;

  // The drawing is the cover image; the cover page opens the reading order.
  EXPECT_TRUE(Holds(opf,
                    "<item id=\"cover-image\" href=\"images/cover-image.svg\" "
                    "media-type=\"image/svg+xml\" properties=\"cover-image\"/>"))
      << opf;
  EXPECT_TRUE(Holds(opf, "<meta name=\"cover\" content=\"cover-image\"/>"));
  EXPECT_TRUE(Holds(opf, "<spine>\n<itemref idref=\"cover\"/>\n<itemref idref=\"nav\"/>"));
  EXPECT_EQ(test::CountOf(opf, "properties=\"cover-image\""), 1u);

  const TZipEntry* page = FindEntry(book, "EPUB/text/cover.xhtml");
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(test::XmlErrors(page->bytes), "");
  EXPECT_EQ(test::ContentModelErrors(page->bytes), "");
  EXPECT_TRUE(
      Holds(page->bytes,
            "<img src=\"../images/cover-image.svg\" alt=\"Tavex \xe2\x84\x96 5, 01.03.2026\"/>"))
      << page->bytes;

  const TZipEntry* drawing = FindEntry(book, "EPUB/images/cover-image.svg");
  ASSERT_NE(drawing, nullptr);
  EXPECT_FALSE(drawing->stored);  // a text, so deflated
  EXPECT_EQ(test::XmlErrors(drawing->bytes), "");
  // The logo inside the drawing: the bytes of Logo.gif, base64.
  const std::string logo =
      "data:image/gif;base64,R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAAAAABAAEAAAICRAEAOw==";
  for (const std::string& part :
       {"xlink:href=\"" + logo + "\"", std::string(">Tavex</text>"),
        std::string(">\xe2\x84\x96 5</text>"), std::string(">01.03.2026</text>")})
    EXPECT_TRUE(Holds(drawing->bytes, part)) << part << "\n" << drawing->bytes;
  size_t pictures = 0;
  for (const TZipEntry& entry : book) pictures += entry.name.starts_with("EPUB/images/");
  EXPECT_EQ(pictures, 1u);
  ExpectEpubcheckPasses();
}

TEST_F(BookCoverTest, WithoutALogoTheCoverIsTheTextsAlone) {
  // A Logo.gif that is no picture counts as none.
  WriteFile(dir_.path() / "Logo.gif", "not a picture");
  window_.SetFieldText(Field::IssueNumber, "12<b>");
  WriteIssueEpub(window_, TakeIssueFacts(window_), table_);
  const auto book = test::ReadZip(target_ + "/tavex12<b>.epub");
  ASSERT_FALSE(book.empty());
  const std::string& page = FindEntry(book, "EPUB/text/cover.xhtml")->bytes;
  const std::string& drawing = FindEntry(book, "EPUB/images/cover-image.svg")->bytes;
  EXPECT_FALSE(Holds(drawing, "<image"));
  // The number as typed, escaped.
  EXPECT_TRUE(Holds(page, "\xe2\x84\x96 12&lt;b&gt;, 01.03.2026")) << page;
  EXPECT_TRUE(Holds(drawing, "\xe2\x84\x96 12&lt;b&gt;"));
  EXPECT_EQ(test::XmlErrors(page), "");
  EXPECT_EQ(test::XmlErrors(drawing), "");
}

// Logos of every length modulo 3, so each padding of the base64 text shows.
TEST_F(BookCoverTest, TheLogoIsHeldWholeWhateverItsLength) {
  const std::pair<std::string, const char*> logos[] = {
      {test::kTinyGif + std::string(1, '\0'),
       "R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAAAAABAAEAAAICRAEAOwA="},
      {test::kTinyGif + std::string("\0\xff", 2),
       "R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAAAAABAAEAAAICRAEAOwD/"},
  };
  for (const auto& [bytes, base64] : logos) {
    WriteFile(dir_.path() / "Logo.gif", bytes);
    const auto book = Build();
    ASSERT_NE(FindEntry(book, "EPUB/images/cover-image.svg"), nullptr);
    EXPECT_TRUE(Holds(FindEntry(book, "EPUB/images/cover-image.svg")->bytes,
                      std::string("base64,") + base64 + "\""))
        << base64;
  }
}

TEST_F(BookCoverTest, TheEditorsOwnPictureIsTheCover) {
  WriteFile(dir_.path() / "Logo.gif", test::kTinyGif);
  WriteFile(dir_.path() / "COVER.PNG", test::kTinyPng);  // letter case does not matter
  const auto book = Build();
  ASSERT_FALSE(book.empty());
  const std::string& opf = FindEntry(book, "EPUB/package.opf")->bytes;
  EXPECT_TRUE(Holds(opf,
                    "<item id=\"cover-image\" href=\"images/cover-image.png\" "
                    "media-type=\"image/png\" properties=\"cover-image\"/>"))
      << opf;
  EXPECT_EQ(FindEntry(book, "EPUB/images/cover-image.svg"), nullptr);
  ASSERT_NE(FindEntry(book, "EPUB/images/cover-image.png"), nullptr);
  EXPECT_EQ(FindEntry(book, "EPUB/images/cover-image.png")->bytes, test::kTinyPng);
  const std::string& page = FindEntry(book, "EPUB/text/cover.xhtml")->bytes;
  EXPECT_TRUE(Holds(
      page, "<img src=\"../images/cover-image.png\" alt=\"Tavex \xe2\x84\x96 5, 01.03.2026\"/>"))
      << page;
  EXPECT_EQ(test::ContentModelErrors(page), "");
  ExpectEpubcheckPasses();
}

TEST_F(BookCoverTest, AJpegCoverWinsAndAFalseOneIsPassedOver) {
  WriteFile(dir_.path() / "cover.png", test::kTinyPng);
  WriteFile(dir_.path() / "cover.jpg", kJpegHead);
  auto book = Build();
  ASSERT_NE(FindEntry(book, "EPUB/images/cover-image.jpg"), nullptr);
  EXPECT_EQ(FindEntry(book, "EPUB/images/cover-image.png"), nullptr);
  EXPECT_TRUE(Holds(FindEntry(book, "EPUB/package.opf")->bytes,
                    "href=\"images/cover-image.jpg\" media-type=\"image/jpeg\" "
                    "properties=\"cover-image\""));
  // A cover.jpg that holds a PNG is a PNG; one that holds no picture is none.
  WriteFile(dir_.path() / "cover.jpg", test::kTinyPng);
  book = Build();
  EXPECT_NE(FindEntry(book, "EPUB/images/cover-image.png"), nullptr);
  WriteFile(dir_.path() / "cover.jpg", "<html>");
  fs::remove(dir_.path() / "cover.png");
  book = Build();
  EXPECT_NE(FindEntry(book, "EPUB/images/cover-image.svg"), nullptr);
}

TEST_F(BookCoverTest, CreatorAndPublisherAreTheHelpProjectsTitle) {
  auto metadata = [&] {
    const auto book = Build();
    const TZipEntry* package = FindEntry(book, "EPUB/package.opf");
    return package ? package->bytes : std::string();
  };
  std::string opf = metadata();
  EXPECT_TRUE(Holds(opf, "<dc:creator>Журнал Tavex</dc:creator>")) << opf;
  EXPECT_TRUE(Holds(opf, "<dc:publisher>Журнал Tavex</dc:publisher>"));
  EXPECT_TRUE(Holds(opf, "<dc:date>2026-03-01</dc:date>"));
  EXPECT_TRUE(Holds(opf,
                    "<dc:title>Tavex \xe2\x84\x96"
                    "5</dc:title>"));

  window_.SetFieldText(Field::ProjectPath, dir_.text() + "\\help\\missing.hhp");
  opf = metadata();
  EXPECT_TRUE(Holds(opf, "<dc:creator>Tavex</dc:creator>"));
  EXPECT_TRUE(Holds(opf, "<dc:publisher>Tavex</dc:publisher>"));
}

TEST(ProjectTitle, TheTitleLineOfTheOptionsSection) {
  test::TempDir dir;
  auto title_of = [&](std::string_view project) {
    WriteFile(dir.path() / "p.hhp", Utf8To1251(project));
    return ProjectTitle(dir / "p.hhp");
  };
  EXPECT_EQ(title_of("[OPTIONS]\r\nTitle=Журнал Tavex\r\n"), "Журнал Tavex");
  EXPECT_EQ(title_of("[options]\nLanguage=0x419\n  TITLE = Tavex & Co \t\n"), "Tavex & Co");
  EXPECT_EQ(title_of("[OPTIONS]\nTitle=\n"), "Tavex");
  EXPECT_EQ(title_of("[OPTIONS]\nCompiled file=a.chm\n"), "Tavex");
  // Only the project's options count, not a file or window of that name.
  EXPECT_EQ(title_of("[FILES]\nTitle=x.htm\n[OPTIONS]\nLanguage=0x419\n"), "Tavex");
  EXPECT_EQ(title_of("Title=before any section\n"), "Tavex");
  EXPECT_EQ(title_of("[OPTIONS]\nTitle=first\nTitle=second\n"), "first");
  EXPECT_EQ(ProjectTitle(dir / "none.hhp"), "Tavex");
  EXPECT_EQ(ProjectTitle(dir.text()), "Tavex");  // a folder, not a file
}

TEST(BookCover, DatesAsARussianReaderWritesThem) {
  EXPECT_EQ(CoverDate({2026, 3, 1}), "01.03.2026");
  EXPECT_EQ(CoverDate({1999, 12, 31}), "31.12.1999");
}

}  // namespace
}  // namespace tavex
