// Links between the articles of a built issue, with UnlinkMissingPages on.
#include "build/issue_links.h"

#include <gtest/gtest.h>

#include "build/start_run.h"
#include "clean/line_list.h"
#include "workspace.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

using test::ReadFile;
using test::WriteFile;

std::string Page(std::string_view head, std::string_view body) {
  return "<html><head>" + std::string(head) + "<title>T</title></head><body>" + std::string(body) +
         "</body></html>\r\n";
}

// Rubric "news" holds a.htm and deep/b.htm, rubric "culture" c.htm; a second
// row names "news" again, so its articles are cleaned twice.
class LinkedIssue : public ::testing::Test {
 protected:
  void SetUp() override {
    Write("news/a.htm",
          Page("<!-- saved from url=(0030)https://example.com/news/a.htm -->",
               "<p>See <a href=\"../culture/c.htm\">the culture page</a>, "
               "<a href=\"https://www.example.com/culture/c/\">its address</a>, "
               "<a href=\"deep/b.htm#end\">B</a>, <a href=\"/culture/c\">by this page's address</a>"
               " and <a href=\"https://elsewhere.example/\">another site</a>.</p>"));
    Write("news/deep/b.htm",
          Page("", "<p>Back to <a href=\"../a.htm\">A</a>.<a name=end></a></p>"));
    Write("culture/c.htm",
          Page("<meta property=\"og:url\" content=\"https://example.com/culture/c\">",
               "<p>Culture, see <a href=\"../news/missing.htm\">nothing</a>.</p>"));
    ws.SetRubrics(
        {{"news", "News"}, {"gone", "No folder"}, {"culture", "Culture"}, {"news", "Again"}});
    ws.window.SetChecked(Switch::UnlinkMissingPages, true);
  }

  void Write(std::string_view relative, std::string_view bytes) {
    WriteFile(ws.dir().path() / "source" / relative, bytes);
  }

  std::string Built(int page) const {
    return ReadFile(fs::path(ws.target()) / "pub" / (std::to_string(page) + ".htm"));
  }

  test::Workspace ws;
  ArticleTable table;
};

TEST_F(LinkedIssue, TheMapNumbersArticlesAsTheBuildDoes) {
  std::vector<std::optional<TRubricFiles>> rubrics;
  for (int row = 1; row < ws.window.RowCount(); ++row) {
    TRubricFiles files;
    rubrics.push_back(FindRubricArticles(ws.window, row, files) ? std::optional(files)
                                                                : std::nullopt);
  }
  const TIssueArticles issue = MapIssueArticles(rubrics);
  const std::string news = ws.source() + "\\news\\";
  EXPECT_EQ(issue.PageOfFile(news + "a.htm"), 0);
  EXPECT_EQ(issue.PageOfFile(news + "deep\\b.htm"), 1);
  EXPECT_EQ(issue.PageOfFile(ws.source() + "\\culture\\c.htm"), 2);
  EXPECT_EQ(issue.PageOfAddress("https://example.com/news/a.htm"), 0);
  EXPECT_EQ(issue.PageOfAddress("https://example.com/culture/c"), 2);
  EXPECT_EQ(issue.AddressOfFile(news + "a.htm"), "https://example.com/news/a.htm");

  // The build gives the same files the same pages: 3.htm and 4.htm are the
  // second row's copies of a.htm and b.htm.
  ASSERT_EQ(StartRun(ws.window, table), StartResult::Finished);
  for (int page : {0, 3}) EXPECT_NE(Built(page).find("the culture page"), std::string::npos);
  for (int page : {1, 4}) EXPECT_NE(Built(page).find("Back to"), std::string::npos);
  EXPECT_NE(Built(2).find("Culture, see"), std::string::npos);
}

TEST_F(LinkedIssue, LinksLeadToTheArticlesPagesAndOutsideLinksKeepOnlyTheirText) {
  ASSERT_EQ(StartRun(ws.window, table), StartResult::Finished);
  const LineList a = SplitIntoLines(Built(0));
  auto has = [](const LineList& lines, std::string_view line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
  };
  EXPECT_EQ(std::count(a.begin(), a.end(), "<a href=\"..\\pub\\2.htm\">"), 3) << Built(0);
  EXPECT_TRUE(has(a, "<a href=\"..\\pub\\1.htm#end\">"));
  EXPECT_EQ(Built(0).find("elsewhere.example"), std::string::npos);
  EXPECT_TRUE(has(a, "another site"));
  // Every link left opened is closed: the unwrapped one lost its "</a>" too.
  EXPECT_EQ(std::count(a.begin(), a.end(), "</a>"), 4);

  const LineList b = SplitIntoLines(Built(1));
  EXPECT_TRUE(has(b, "<a href=\"..\\pub\\0.htm\">"));
  EXPECT_TRUE(has(b, "<a name=end>"));
  const LineList c = SplitIntoLines(Built(2));
  EXPECT_EQ(Built(2).find("missing.htm"), std::string::npos);
  EXPECT_TRUE(has(c, "nothing"));
}

TEST_F(LinkedIssue, SwitchedOffEveryLinkStaysAsTheSavedPageWroteIt) {
  ws.window.SetChecked(Switch::UnlinkMissingPages, false);
  ASSERT_EQ(StartRun(ws.window, table), StartResult::Finished);
  const std::string a = Built(0);
  EXPECT_NE(a.find("<a href=\"../culture/c.htm\">"), std::string::npos) << a;
  EXPECT_NE(a.find("<a href=\"https://elsewhere.example/\">"), std::string::npos);
  EXPECT_EQ(a.find("..\\pub\\"), std::string::npos);
}

}  // namespace
}  // namespace tavex
