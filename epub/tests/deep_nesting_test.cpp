// Pages nested tens of thousands of levels deep (hostile or broken saves):
// the book still comes out, with every text of the page in it, and its XHTML
// stays well-formed for parsers that accept no more than 256 levels.
#include <gtest/gtest.h>

#include "app/memory_window.h"
#include "epub/issue_epub.h"
#include "epub/package_documents.h"
#include "epub/page_source.h"
#include "epub/xhtml_writer.h"
#include "epub_test_support.h"
#include "platform/text.h"
#include "support/temp_dir.h"

namespace tavex {
namespace {

using test::ContentModelErrors;
using test::CountOf;
using test::XmlErrors;

std::string Repeated(std::string_view piece, size_t times) {
  std::string text;
  text.reserve(piece.size() * times);
  for (size_t i = 0; i < times; ++i) text += piece;
  return text;
}

// A page with "top" before the nesting, "deepest" (and a picture, a link and
// a script) at its bottom, and "after" once it is closed again.
std::string NestedPage(std::string_view open, std::string_view close, size_t depth) {
  return "<html><body><p>top</p>" + Repeated(open, depth) +
         "deepest <img src=\"..\\Images\\1.gif\" alt=\"pic\"> <a href=\"..\\pub\\3.htm\">link "
         "text</a><script>hidden()</script>" +
         Repeated(close, depth) + "<p>after</p></body></html>";
}

TPageLinks Links() {
  TPageLinks links;
  links.document = [](std::string_view) -> std::optional<std::string> { return "a1.xhtml"; };
  links.picture = [](std::string_view) -> std::optional<std::string> { return "../images/p1.gif"; };
  return links;
}

// The page's body in its document, checked by a strict XML parser with its
// default depth limit and against HTML5's content rules.
std::string CheckedBody(const std::string& page) {
  const TXmlDocPtr doc = ParsePage(page, "deep.htm");
  const std::string body = WriteXhtmlBody(doc.get(), Links());
  const std::string document = ContentDocument("t", body);
  EXPECT_EQ(XmlErrors(document), "");
  EXPECT_EQ(ContentModelErrors(document), "");
  return body;
}

// "after" is a paragraph again when the page closed what it opened.
void ExpectEveryTextInOrder(const std::string& body, bool closed = true) {
  const size_t top = body.find("top");
  const size_t deepest = body.find("deepest");
  const size_t link = body.find("link text");
  const size_t after = body.find(closed ? "<p>after</p>" : "after");
  EXPECT_NE(top, std::string::npos);
  EXPECT_NE(deepest, std::string::npos);
  EXPECT_NE(link, std::string::npos);
  EXPECT_NE(after, std::string::npos);
  EXPECT_LT(top, deepest);
  EXPECT_LT(deepest, link);
  EXPECT_LT(link, after);
  EXPECT_EQ(CountOf(body, "<img src=\"../images/p1.gif\" alt=\"pic\""), 1u);
  EXPECT_EQ(body.find("hidden()"), std::string::npos);
}

TEST(DeepNesting, TwentyThousandNestedTablesAreWrittenFlatBelowTheLimit) {
  for (const char* open : {"<table>", "<table><tr><td>", "<table><form><tr><td>x"}) {
    SCOPED_TRACE(open);
    const std::string body = CheckedBody(NestedPage(open, "</table>", 20'000));
    ExpectEveryTextInOrder(body);
    // The outer tables stay tables; the flat rest holds none.
    EXPECT_GT(CountOf(body, "<table>"), 10u);
    EXPECT_LT(CountOf(body, "<table>"), 60u);
  }
}

TEST(DeepNesting, ThirtyThousandNestedDivsOrBoldsKeepTheirText) {
  for (auto [open, close] : {std::pair{"<div>", "</div>"}, std::pair{"<b>", "</b>"},
                             std::pair{"<div>line<br>", "</div>"}}) {
    SCOPED_TRACE(open);
    const std::string body = CheckedBody(NestedPage(open, close, 30'000));
    ExpectEveryTextInOrder(body);
  }
  // Every line of a deep stack of blocks keeps a line of its own.
  const std::string body = CheckedBody(NestedPage("<div>line", "</div>", 30'000));
  EXPECT_EQ(CountOf(body, "line"), 30'000u);
  EXPECT_GE(CountOf(body, "<br/>"), 29'000u);
}

// The shapes that open the most elements per level of the writer: lists in
// stray list content, and tables in stray table content.
TEST(DeepNesting, ShapesThatNestFastestStayBelowTheLimit) {
  for (const char* open : {"<ul><li>i</li>", "<ul><li>i</li><table><tr><td>c</td></tr>",
                           "<table><tr><td>c</td></tr>", "<ol><li>i<ul>", "<a href=#x><b>"}) {
    SCOPED_TRACE(open);
    ExpectEveryTextInOrder(CheckedBody(NestedPage(open, "", 5'000)), false);
  }
}

TEST(DeepNesting, ShallowPagesAreNotFlattened) {
  // Thirty nested layout tables are three times deeper than any page of the
  // corpus.
  const std::string body = CheckedBody(NestedPage("<table><tr><td>", "</td></tr></table>", 30));
  EXPECT_EQ(CountOf(body, "<table>"), 30u);
  EXPECT_EQ(CountOf(body, "<td>"), 30u);
  EXPECT_NE(body.find("<a href=\"a1.xhtml\">link text</a>"), std::string::npos);
}

// The whole edition, as `build --set MakeEpub=on` makes it.
TEST(DeepNesting, AnIssueOfDeepPagesMakesABook) {
  test::TempDir dir;
  const std::string target = dir.text() + "/issue";
  MemoryWindow window;
  window.SetFieldText(Field::TargetDir, target);
  window.SetFieldText(Field::IssueNumber, "7");
  window.SetRowCount(2);
  window.SetCell(1, 1, "Deep");
  const std::vector<std::pair<std::string, std::string>> pages = {
      {NestedPage("<table>", "</table>", 20'000), "tables"},
      {NestedPage("<div>", "</div>", 30'000), "divs"},
      {NestedPage("<b>", "</b>", 30'000), "bolds"},
  };
  ArticleTable table;
  table.Rubrics.resize(1);
  for (size_t i = 0; i < pages.size(); ++i) {
    const std::string name = std::to_string(i) + ".htm";
    test::WriteFile(dir.path() / "issue/pub" / name, pages[i].first);
    table.Rubrics[0].push_back(
        {pages[i].second, "<a href=\"..\\pub\\" + name + "\">", target + "\\pub\\" + name, true});
  }
  test::WriteFile(dir.path() / "issue/images/1.gif", test::kTinyGif);
  WriteIssueEpub(window, TakeIssueFacts(window), table);

  const auto book = test::ReadZip(target + "/tavex7.epub");
  ASSERT_FALSE(book.empty());
  for (size_t i = 0; i < pages.size(); ++i) {
    const test::TZipEntry* document =
        test::FindEntry(book, "EPUB/text/a" + std::to_string(i + 1) + ".xhtml");
    ASSERT_NE(document, nullptr) << pages[i].second;
    EXPECT_EQ(XmlErrors(document->bytes), "") << pages[i].second;
    EXPECT_NE(document->bytes.find("deepest"), std::string::npos) << pages[i].second;
    EXPECT_NE(document->bytes.find("<p>after</p>"), std::string::npos) << pages[i].second;
  }
  const auto result = test::RunEpubcheck(target + "/tavex7.epub");
  if (!result) GTEST_SKIP() << "epubcheck is not installed";
  EXPECT_TRUE(result->passed) << result->output;
}

}  // namespace
}  // namespace tavex
