// The EPUB edition of a whole issue, read back from the container.
#include "epub/issue_epub.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "app/memory_window.h"
#include "epub_test_support.h"
#include "platform/failure.h"
#include "platform/text.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

using test::CountOf;
using test::FindEntry;
using test::ReadFile;
using test::TZipEntry;
using test::WriteFile;

const std::string& kGif = test::kTinyGif;
// Another picture of the same size (made when first used: kGif lives in another file).
std::string OtherGif() {
  return kGif.substr(0, 13) + std::string("\x00\x00\x00", 3) + kGif.substr(16);
}
const std::string& kPng = test::kTinyPng;

std::string Cp(std::string_view utf8) {
  return Utf8To1251(utf8);
}

TArticleEntry Entry(const std::string& target, std::string_view title_utf8, int page,
                    bool included = true) {
  const std::string name = std::to_string(page) + ".htm";
  return {Cp(title_utf8), "<a href=\"..\\pub\\" + name + "\">", target + "\\pub\\" + name,
          included};
}

// An issue tree as the build leaves it after the review: rubric "Новости"
// with three articles, the middle one dropped (its page deleted); rubric
// "Культура" with one; an empty rubric. Page 0 and page 2 share picture 1.gif.
class IssueEpubTest : public ::testing::Test {
 protected:
  void SetUp() override {
    target_ = dir_.text() + "/tavex5";
    WriteFile(dir_.path() / "tavex5/pub/0.htm",
              Cp("<html><head><title>x</title><script>var a=1;</script></head>\r\n"
                 "<body bgcolor=#ffffff>\r\n<center><h1>Вега</h1></center>\r\n"
                 "<font face=Arial><p>Текст статьи «Вега» <b>жирный<div>блок</div></b>\r\n"
                 "<img src=\"..\\Images\\1.gif\" width=\"1\" border=0 hspace=5>\r\n"
                 "<img src=\"..\\Images\\7.gif\">\r\n"
                 "<a href=\"..\\pub\\2.htm\">к Альфе</a> <a href=\"..\\pub\\1.htm\">к Бете</a>"
                 " <a href=\"..\\pub\\9.htm\">в никуда</a>\r\n"
                 "<form><input type=text><iframe src=x.htm></iframe></form>\r\n"
                 "<table width=600><tr><td>ячейка<td>вторая</table></font></body></html>\r\n"));
    // Page 1 was dropped in the review: its page is gone, its picture stays.
    WriteFile(dir_.path() / "tavex5/images/3.gif", OtherGif());
    WriteFile(dir_.path() / "tavex5/pub/2.htm",
              Cp("<html><body><h1>Альфа</h1><p>DROPPED-CHECK <img src=\"../Images/1.gif\">"
                 "<img src=\"..\\images\\2.gif\" alt=\"png под именем gif\"></p>"
                 "<ul><li>пункт<li>ещё</ul></body></html>"));
    WriteFile(dir_.path() / "tavex5/pub/3.htm",
              Cp("<p>Гамма: культура &amp; жизнь<a name=top></a><a href=\"#top\">вверх</a>"));
    WriteFile(dir_.path() / "tavex5/images/1.gif", kGif);
    WriteFile(dir_.path() / "tavex5/images/2.gif", kPng);  // a PNG under a .gif name
    WriteFile(dir_.path() / "tavex5/images/tvred.gif", kGif);
    WriteFile(dir_.path() / "tavex5/frame/left.htm", "navigation");

    window_.SetFieldText(Field::TargetDir, target_);
    window_.SetFieldText(Field::IssueNumber, "5");
    window_.SetIssueDate({2026, 3, 1});
    window_.SetRowCount(4);
    window_.SetCell(0, 1, "news");
    window_.SetCell(1, 1, Cp("Новости"));
    window_.SetCell(0, 2, "culture");
    window_.SetCell(1, 2, Cp("Культура &amp; жизнь"));
    window_.SetCell(0, 3, "empty");
    window_.SetCell(1, 3, Cp("Пустая"));
    table_.Rubrics = {
        {Entry(target_, "Альфа", 2), Entry(target_, "Бета", 1, false), Entry(target_, "Вега", 0)},
        {Entry(target_, "Гамма &quot;Г&quot;", 3)},
        {},
    };
  }

  std::string BookPath() const { return target_ + "/tavex5.epub"; }

  test::TempDir dir_;
  std::string target_;
  MemoryWindow window_;
  ArticleTable table_;
};

TEST_F(IssueEpubTest, BookHoldsTheKeptArticlesInNavigationOrder) {
  WriteIssueEpub(window_, TakeIssueFacts(window_), table_);
  const std::vector<TZipEntry> book = test::ReadZip(BookPath());
  ASSERT_FALSE(book.empty());

  // The container: mimetype first and stored, as readers sniff it.
  EXPECT_EQ(book[0].name, "mimetype");
  EXPECT_TRUE(book[0].stored);
  EXPECT_EQ(book[0].bytes, "application/epub+zip");
  ASSERT_NE(FindEntry(book, "META-INF/container.xml"), nullptr);

  // The contents: rubric, its articles in table order, the next rubric; the
  // dropped article and the empty rubric are absent.
  const TZipEntry* nav = FindEntry(book, "EPUB/nav.xhtml");
  ASSERT_NE(nav, nullptr);
  const std::string& text = nav->bytes;
  std::vector<size_t> order;
  for (const char* label :
       {"<span>Новости</span>", "<a href=\"text/a1.xhtml\">Альфа</a>",
        "<a href=\"text/a2.xhtml\">Вега</a>", "<span>Культура &amp; жизнь</span>",
        "<a href=\"text/a3.xhtml\">Гамма &quot;Г&quot;</a>"}) {
    order.push_back(text.find(label));
    EXPECT_NE(order.back(), std::string::npos) << label << "\n" << text;
  }
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end())) << text;
  EXPECT_EQ(text.find("Бета"), std::string::npos);
  EXPECT_EQ(text.find("Пустая"), std::string::npos);

  // One document per kept article, none for the dropped one.
  const TZipEntry* alpha = FindEntry(book, "EPUB/text/a1.xhtml");
  const TZipEntry* vega = FindEntry(book, "EPUB/text/a2.xhtml");
  ASSERT_NE(alpha, nullptr);
  ASSERT_NE(vega, nullptr);
  ASSERT_NE(FindEntry(book, "EPUB/text/a3.xhtml"), nullptr);
  EXPECT_EQ(FindEntry(book, "EPUB/text/a4.xhtml"), nullptr);
  EXPECT_NE(alpha->bytes.find("DROPPED-CHECK"), std::string::npos);
  EXPECT_NE(vega->bytes.find("<title>Вега</title>"), std::string::npos);

  // Links between pages lead to documents; links to the dropped page and to a
  // missing one keep only their text.
  EXPECT_NE(vega->bytes.find("<a href=\"a1.xhtml\">к Альфе</a>"), std::string::npos);
  EXPECT_NE(vega->bytes.find("к Бете"), std::string::npos);
  EXPECT_EQ(vega->bytes.find("1.htm"), std::string::npos);
  EXPECT_EQ(vega->bytes.find("9.htm"), std::string::npos);

  // The shared picture is stored once and both articles show it; the PNG
  // gets its true type; the dropped article's picture, the missing one and
  // the issue's fixed pictures stay out.
  size_t pictures = 0;
  for (const TZipEntry& entry : book) pictures += entry.name.rfind("EPUB/images/p", 0) == 0;
  EXPECT_EQ(pictures, 2u);
  ASSERT_NE(FindEntry(book, "EPUB/images/p1.gif"), nullptr);
  EXPECT_EQ(FindEntry(book, "EPUB/images/p1.gif")->bytes, kGif);
  ASSERT_NE(FindEntry(book, "EPUB/images/p2.png"), nullptr);
  EXPECT_EQ(CountOf(alpha->bytes, "src=\"../images/p1.gif\""), 1u);
  EXPECT_EQ(CountOf(vega->bytes, "src=\"../images/p1.gif\""), 1u);
  EXPECT_EQ(CountOf(vega->bytes, "<img"), 1u);

  // Metadata.
  const TZipEntry* package = FindEntry(book, "EPUB/package.opf");
  ASSERT_NE(package, nullptr);
  const std::string& opf = package->bytes;
  EXPECT_NE(opf.find("<dc:title>Tavex №5</dc:title>"), std::string::npos);
  EXPECT_NE(opf.find("<dc:date>2026-03-01</dc:date>"), std::string::npos);
  EXPECT_NE(opf.find("<dc:language>ru</dc:language>"), std::string::npos);
  EXPECT_NE(opf.find("href=\"images/p2.png\" media-type=\"image/png\""), std::string::npos);
  EXPECT_TRUE(std::regex_search(
      opf, std::regex("dcterms:modified\">\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ<")));
  EXPECT_TRUE(std::regex_search(opf, std::regex("urn:uuid:[0-9a-f]{8}-[0-9a-f]{4}-8")));

  // Every XML file is well-formed and every document keeps HTML5's rules.
  for (const TZipEntry& entry : book) {
    if (entry.name.ends_with(".xhtml") || entry.name.ends_with(".opf") ||
        entry.name.ends_with(".xml")) {
      EXPECT_EQ(test::XmlErrors(entry.bytes), "") << entry.name;
      EXPECT_EQ(test::ContentModelErrors(entry.bytes), "") << entry.name;
    }
  }
  // The issue tree is as it was.
  EXPECT_EQ(ReadFile(dir_.path() / "tavex5/frame/left.htm"), "navigation");
}

TEST_F(IssueEpubTest, EpubcheckFindsNothingToReport) {
  WriteIssueEpub(window_, TakeIssueFacts(window_), table_);
  const auto result = test::RunEpubcheck(BookPath());
  if (!result) GTEST_SKIP() << "epubcheck is not installed";
  EXPECT_TRUE(result->passed) << result->output;
}

TEST_F(IssueEpubTest, AnIssueWithEveryArticleDroppedIsStillAValidBook) {
  for (auto& rubric : table_.Rubrics)
    for (auto& entry : rubric) entry.Included = false;
  WriteIssueEpub(window_, TakeIssueFacts(window_), table_);
  const std::vector<TZipEntry> book = test::ReadZip(BookPath());
  ASSERT_FALSE(book.empty());
  EXPECT_EQ(FindEntry(book, "EPUB/text/a1.xhtml"), nullptr);
  const auto result = test::RunEpubcheck(BookPath());
  if (!result) GTEST_SKIP() << "epubcheck is not installed";
  EXPECT_TRUE(result->passed) << result->output;
}

TEST_F(IssueEpubTest, ARebuiltIssueReplacesTheOldBookAndKeepsItsIdentifier) {
  WriteFile(fs::path(BookPath()), "an old, broken book");
  WriteIssueEpub(window_, TakeIssueFacts(window_), table_);
  const auto first = test::ReadZip(BookPath());
  ASSERT_FALSE(first.empty());
  WriteIssueEpub(window_, TakeIssueFacts(window_), table_);
  const auto second = test::ReadZip(BookPath());
  ASSERT_FALSE(second.empty());
  auto identifier = [](const std::vector<TZipEntry>& book) {
    const std::string& opf = FindEntry(book, "EPUB/package.opf")->bytes;
    const size_t begin = opf.find("urn:uuid:");
    return opf.substr(begin, opf.find('<', begin) - begin);
  };
  EXPECT_EQ(identifier(first), identifier(second));
  window_.SetFieldText(Field::IssueNumber, "6");
  WriteIssueEpub(window_, TakeIssueFacts(window_), table_);
  EXPECT_NE(identifier(test::ReadZip(target_ + "/tavex6.epub")), identifier(first));
}

// What a failed edition leaves: no book, no temporary file, the tree intact.
void ExpectNothingLeft(const std::string& target) {
  for (const auto& entry : fs::directory_iterator(target))
    EXPECT_EQ(entry.path().filename().string().find("tavex5.epub"), std::string::npos)
        << entry.path();
  EXPECT_TRUE(fs::exists(fs::path(target) / "pub/0.htm"));
  EXPECT_TRUE(fs::exists(fs::path(target) / "images/1.gif"));
}

std::string FailureText(MainWindow& window, const ArticleTable& table) {
  try {
    WriteIssueEpub(window, TakeIssueFacts(window), table);
  } catch (const Failure& failure) {
    return failure.what();
  }
  return "no failure";
}

TEST_F(IssueEpubTest, FailuresNameTheFileAndLeaveNoBook) {
  // A page the parser cannot make anything of.
  WriteFile(dir_.path() / "tavex5/pub/3.htm", "");
  EXPECT_EQ(FailureText(window_, table_),
            "Cannot convert file " + target_ + "\\pub\\3.htm into XHTML");
  ExpectNothingLeft(target_);

  // A kept article whose page is missing.
  fs::remove(dir_.path() / "tavex5/pub/3.htm");
  EXPECT_EQ(FailureText(window_, table_), "Cannot open file " + target_ + "\\pub\\3.htm\n" +
                                              target_ + "/pub/3.htm: No such file or directory");
  ExpectNothingLeft(target_);

  // A book that cannot be written (its name is taken by a folder).
  table_.Rubrics[1].clear();
  fs::create_directory(dir_.path() / "tavex5/tavex5.epub");
  EXPECT_EQ(FailureText(window_, table_), "Cannot create file " + target_ + "\\tavex5.epub\n" +
                                              target_ + "/tavex5.epub: Is a directory");
  fs::remove(dir_.path() / "tavex5/tavex5.epub");
  ExpectNothingLeft(target_);
}

TEST_F(IssueEpubTest, TheBookTakesTheIssueAsTheRunBuiltItNotAsTheWindowShowsItLater) {
  const TIssueFacts issue = TakeIssueFacts(window_);
  // The window's activation after the review puts the saved settings back.
  window_.SetFieldText(Field::TargetDir, dir_.text() + "/tavex#x1\\");
  window_.SetFieldText(Field::IssueNumber, "9");
  window_.SetIssueDate({2030, 1, 2});
  window_.SetCell(1, 1, "Saved rubric");
  WriteIssueEpub(window_, issue, table_);
  const std::vector<TZipEntry> book = test::ReadZip(BookPath());
  ASSERT_FALSE(book.empty());
  const TZipEntry* package = FindEntry(book, "EPUB/package.opf");
  const TZipEntry* nav = FindEntry(book, "EPUB/nav.xhtml");
  ASSERT_NE(package, nullptr);
  ASSERT_NE(nav, nullptr);
  EXPECT_NE(package->bytes.find("<dc:date>2026-03-01</dc:date>"), std::string::npos);
  EXPECT_NE(package->bytes.find("Tavex \xe2\x84\x96"
                                "5"),
            std::string::npos);  // Tavex №5
  EXPECT_EQ(nav->bytes.find("Saved rubric"), std::string::npos);
}

TEST_F(IssueEpubTest, AWindowClosedDuringTheEditionLeavesNoBook) {
  int pages = 0;
  window_.on_pump = [&] {
    if (++pages == 2) throw Cancelled();
  };
  EXPECT_THROW(WriteIssueEpub(window_, TakeIssueFacts(window_), table_), Cancelled);
  EXPECT_EQ(pages, 2);
  ExpectNothingLeft(target_);
}

}  // namespace
}  // namespace tavex
