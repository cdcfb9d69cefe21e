#include "clean/clean_article.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/memory_window.h"
#include "clean/article_title.h"
#include "clean/head_repair.h"
#include "clean/line_list.h"
#include "clean/widen_tables.h"
#include "platform/failure.h"
#include "support/article_workspace.h"
#include "support/shown_place.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

using test::ReadFile;
using test::WriteFile;

TEST(RepairHead, PageWithHtmlHeadOnFirstLinesGetsOneMoreClosingHtml) {
  LineList page = {"<html>", "<head>", "<title>", "t", "</title>", "</head>", "<body>", "</html>"};
  LineList expected = page;
  expected.push_back("</html>");
  RepairHead(page);
  EXPECT_EQ(page, expected);
}

TEST(RepairHead, BarePageGetsHeadFirstAndClosingHtmlLast) {
  LineList page = {"<p>", "text"};
  RepairHead(page);
  EXPECT_EQ(page, (LineList{"<head>", "</head>", "<p>", "text", "</html>"}));
}

TEST(RepairHead, InsertedLinesGoBeforeTheHtmlLine) {
  // Text before "<html>" (a stray script, "123") is common in saved pages.
  LineList page = {"123", "<html>", "<body>", "</html>"};
  RepairHead(page);
  EXPECT_EQ(page, (LineList{"123", "<head>", "</head>", "<html>", "<body>", "</html>"}));
}

TEST(RepairHead, HeadOnLineZeroReadsAsAbsent) {
  LineList page = {"<head>", "</head>", "<p>"};
  RepairHead(page);
  EXPECT_EQ(page, (LineList{"<head>", "<head>", "</head>", "<p>", "</html>"}));
}

TEST(RepairHead, EmptyPageGetsAHead) {
  LineList page;
  RepairHead(page);
  EXPECT_EQ(page, (LineList{"<head>", "</head>", "</html>"}));
}

TEST(CutScriptsAndLinks, RemovesLinkLinesInARowAndWholeScripts) {
  LineList page = {"<head>",    "<link rel=a>", "<link rel=b>", "</head>", "<script>", "var x=1;",
                   "</script>", "<script>",     "</script>",    "<p>",     "text",     "</html>"};
  CutScriptsAndLinks(page);
  EXPECT_EQ(page, (LineList{"<head>", "</head>", "<p>", "text", "</html>"}));
}

TEST(CutScriptsAndLinks, UnclosedScriptRemovesAllButTheLastLine) {
  LineList page = {"<p>", "<script>", "a", "<b>", "</html>"};
  CutScriptsAndLinks(page);
  EXPECT_EQ(page, (LineList{"<p>", "</html>"}));
}

TEST(CutScriptsAndLinks, TheLastLineIsNeverRemoved) {
  LineList links = {"<p>", "<link rel=a>"};
  CutScriptsAndLinks(links);
  EXPECT_EQ(links, (LineList{"<p>", "<link rel=a>"}));

  LineList script = {"<p>", "<script>"};
  CutScriptsAndLinks(script);
  EXPECT_EQ(script, (LineList{"<p>", "<script>"}));
}

TEST(CutScriptsAndLinks, ComparesExactlyFromTheFirstCharacter) {
  LineList page = {"<LINK rel=a>", " <script>", "<scripts>", "x", "</script>", "</html>"};
  CutScriptsAndLinks(page);
  // "<scripts>" begins with "<script", so it opens a script up to "</script>".
  EXPECT_EQ(page, (LineList{"<LINK rel=a>", " <script>", "</html>"}));
}

TEST(WidenTableTags, WidthValueBecomesHundredPercentInQuotes) {
  LineList page = {"<table width=600 height=600>",
                   "<td class=text width=300>",
                   "<div class=\"text\" width=\"50%\">",
                   "<table border=0>",
                   "<td width=300>",
                   "<table width=>",
                   "text <table width=5>",
                   "<table width=7"};
  WidenTableTags(page);
  EXPECT_EQ(page,
            (LineList{"<table width=\"100%\" height=600>", "<td class=text width=\"100%\">",
                      "<div class=\"text\" width=\"100%\">", "<table border=0>", "<td width=300>",
                      "<table width=\"100%\">", "text <table width=5>", "<table width=\"100%\""}));
}

// The pipeline over real files (see ArticleWorkspace for the switches).
class CleanArticleTest : public test::ArticleWorkspace {
 protected:
  std::string Page(std::string_view relative, std::string_view bytes) {
    return WriteSource(relative, bytes);
  }

  // Cleans a page into out/pub/0.htm; the page's lines come back in `lines`.
  std::string Clean(const std::string& source, LineList& lines) {
    const std::string target = work_ / "out/pub/0.htm";
    std::string title = CleanArticle(source, target, window_, work_ / "src");
    lines = SplitIntoLines(ReadFile(target));
    return title;
  }
};

TEST_F(CleanArticleTest, StepsRunInOrderOnAWholePage) {
  const std::string source = Page("news/a.htm",
                                  "<HTML><HEAD><TITLE>Week\r\nnews</TITLE>\r\n"
                                  "<LINK rel=stylesheet href=s.css>\n"
                                  "<SCRIPT>var a = '<b>';</SCRIPT></HEAD>\n"
                                  "<BODY><TABLE WIDTH=600><TR><TD>Text  here</TD></TR></TABLE>\n"
                                  "</BODY></HTML>");
  LineList lines;
  EXPECT_EQ(Clean(source, lines), "Week news");
  // The page is finished with a standards-mode start.
  EXPECT_EQ(lines, (LineList{"<!DOCTYPE html>",
                             "<html>",
                             "<head>",
                             "<title>",
                             "Week",
                             "news",
                             "</title>",
                             "</head>",
                             "<h2 align=\"center\">Week news</h2>",
                             "<body>",
                             "<table width=\"100%\">",
                             "<tr>",
                             "<td>",
                             "Text here",
                             "</td>",
                             "</tr>",
                             "</table>",
                             "</body>",
                             "</html>",
                             "</html>"}));
}

TEST_F(CleanArticleTest, SwitchedOffStepsLeaveTheirLines) {
  window_.SetChecked(Switch::CutScripts, false);
  window_.SetChecked(Switch::WidenTables, false);
  const std::string source = Page("a.htm",
                                  "<html>\n<head>\n<link rel=a>\n<link rel=b>\n</head>\n"
                                  "<table width=600>\n</table>\n</html>\n");
  LineList lines;
  EXPECT_EQ(Clean(source, lines), kUnknownTitle);
  // A page without a body gets one at the end: the help file's search reads
  // only what stands in it.
  EXPECT_EQ(lines, (LineList{"<!DOCTYPE html>", "<html>", "<head>", "<link rel=a>", "<link rel=b>",
                             "</head>", "<body>", "<table width=600>", "</table>", "</body>",
                             "</html>", "</html>"}));
}

TEST_F(CleanArticleTest, TitleIsTakenBeforeTheCutsAndScriptsAreGoneFirst) {
  // A script holding a centred heading is cut at step 4, before the title is
  // looked for at step 7, so the title element gives the title.
  const std::string source = Page("a.htm",
                                  "<html><head><title>Real</title></head>"
                                  "<script><h2 align=center>Fake</h2></script>"
                                  "<p>x</p></html>");
  LineList lines;
  EXPECT_EQ(Clean(source, lines), "Real");
  EXPECT_EQ(lines[8], "<h2 align=\"center\">Real</h2>");
}

TEST_F(CleanArticleTest, RulePassesRunAtTheirSteps) {
  // Replace before the title is taken, cut and delete after it, insert last:
  // after the heading and after the picture pass, which leaves its tag alone.
  const fs::path rules = work_.path() / "HtmClear";
  WriteFile(rules / "title.cha", "Old\r\n<<*>>\r\nNew\r\n");
  WriteFile(rules / "menu.bet", "<div class=menu>\r\n<<*>>\r\n</div>\r\n");
  WriteFile(rules / "banner.txt", "<p>Buy now</p>\r\n");
  WriteFile(rules / "logo.ins", "</head>\r\n<>*\r\n<img src=logo.gif>\r\n");
  window_.SetChecked(Switch::ReplaceFragments, true);
  window_.SetChecked(Switch::RemoveAds, true);
  window_.SetChecked(Switch::PickRichestTable, false);
  window_.SetChecked(Switch::InsertExtraInfo, true);
  const std::string source = Page("a.htm",
                                  "<html><head><title>Old</title></head><body>"
                                  "<div class=menu><a href=x>Menu</a></div>"
                                  "<p>Buy now</p><p>Text</p></body></html>");
  LineList lines;
  EXPECT_EQ(Clean(source, lines), "New");
  EXPECT_EQ(lines, (LineList{"<!DOCTYPE html>", "<html>", "<head>", "<title>", "New", "</title>",
                             "</head>", "<img src=logo.gif>", "<h2 align=\"center\">New</h2>",
                             "<body>", "<p>", "Text", "</p>", "</body>", "</html>", "</html>"}));
}

TEST_F(CleanArticleTest, RemoveAdsOffRunsNoCutsWhateverPickRichestTableSays) {
  WriteFile(work_.path() / "HtmClear" / "banner.txt", "<p>Buy now</p>\r\n");
  window_.SetChecked(Switch::PickRichestTable, true);
  const std::string source =
      Page("a.htm", "<html><head></head><table><tr><td><p>Buy now</p></td></tr></table></html>");
  LineList lines;
  Clean(source, lines);
  EXPECT_EQ(lines, (LineList{"<!DOCTYPE html>", "<html>", "<head>", "</head>", "<body>", "<table>",
                             "<tr>", "<td>", "<p>", "Buy now", "</p>", "</td>", "</tr>", "</table>",
                             "</body>", "</html>", "</html>"}));
}

TEST_F(CleanArticleTest, HeadingCutAwayIsPutBackWithTheTitleFoundBefore) {
  WriteFile(work_.path() / "HtmClear" / "heading.txt", "<h2 align=center>Week news</h2>\r\n");
  window_.SetChecked(Switch::RemoveAds, true);
  window_.SetChecked(Switch::PickRichestTable, false);
  const std::string source =
      Page("a.htm", "<html><head></head><h2 align=center>Week news</h2><p>Text</p></html>");
  LineList lines;
  EXPECT_EQ(Clean(source, lines), "Week news");
  EXPECT_EQ(lines, (LineList{"<!DOCTYPE html>", "<html>", "<head>", "</head>", "<body>",
                             "<h2 align=\"center\">Week news</h2>", "<p>", "Text", "</p>",
                             "</body>", "</html>", "</html>"}));
}

// Remembers the order in which the pipeline's own switches are read.
class RecordingWindow : public MemoryWindow {
 public:
  bool IsChecked(Switch sw) const override {
    for (Switch own : {Switch::CutScripts, Switch::ReplaceFragments, Switch::WidenTables,
                       Switch::RemoveAds, Switch::PickRichestTable, Switch::InsertExtraInfo})
      if (sw == own) reads.push_back(FindSwitchName(sw));
    return MemoryWindow::IsChecked(sw);
  }
  static std::string FindSwitchName(Switch sw) {
    for (const auto& info : kSwitches)
      if (info.sw == sw) return info.name;
    return "?";
  }
  mutable std::vector<std::string> reads;
};

TEST_F(CleanArticleTest, EachSwitchIsReadWhenItsStepIsReached) {
  const std::string source = Page("a.htm", "<p>x</p>");
  RecordingWindow window;
  window.SetFieldText(Field::TargetDir, work_ / "out");
  window.SetChecked(Switch::RemoveAds, false);
  CleanArticle(source, work_ / "out/pub/0.htm", window);
  EXPECT_EQ(window.reads, (std::vector<std::string>{"CutScripts", "ReplaceFragments", "WidenTables",
                                                    "RemoveAds", "InsertExtraInfo"}));
  window.reads.clear();
  window.SetChecked(Switch::RemoveAds, true);
  CleanArticle(source, work_ / "out/pub/0.htm", window);
  EXPECT_EQ(window.reads,
            (std::vector<std::string>{"CutScripts", "ReplaceFragments", "WidenTables", "RemoveAds",
                                      "PickRichestTable", "InsertExtraInfo"}));
}

TEST_F(CleanArticleTest, MissingSourceFailsAndWritesNothing) {
  const std::string target = work_ / "out/pub/0.htm";
  try {
    CleanArticle(work_ / "src/none.htm", target, window_);
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_EQ(std::string(failure.what()),
              test::ShownPlace("Cannot open file " + (work_ / "src/none.htm") + "\n" +
                               (work_ / "src/none.htm") + ": No such file or directory"));
  }
  EXPECT_FALSE(fs::exists(target));
}

TEST_F(CleanArticleTest, FailuresNameThePageOrTheirOwnFileInTheSystemsSeparators) {
  // A target written the way the build writes it, "\\pub\\" appended to a
  // POSIX folder: the second line shows one kind of separator.
  const std::string source =
      Page("a.htm", "<html><head></head><body><table><tr><td>x</td></tr></table></body></html>");
  const std::string target = work_.text() + "\\none\\pub\\16.htm";
  try {
    CleanArticle(source, target, window_);
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_EQ(std::string(failure.what()),
              test::ShownPlace("Cannot create file " + target + "\n" + work_.text() +
                               "/none/pub/16.htm: No such file or directory"));
  }
  // A failure of no file of its own names the page being cleaned.
  window_.SetChecked(Switch::RemoveAds, true);
  window_.SetChecked(Switch::PickRichestTable, true);
  window_.SetChecked(Switch::CutCellsBelowRatio, true);
  window_.SetFieldText(Field::CutCellsThreshold, "abc");
  try {
    CleanArticle(source, work_ / "out/pub/0.htm", window_);
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_EQ(std::string(failure.what()),
              test::ShownPlace("'abc' is not a valid integer value\n" + source));
  }
  EXPECT_FALSE(fs::exists(work_ / "out/pub/0.htm"));
}

TEST_F(CleanArticleTest, UnwritableTargetFailsWithItsPath) {
  const std::string source = Page("a.htm", "<p>x</p>");
  const std::string target = work_ / "out/missing/0.htm";
  try {
    CleanArticle(source, target, window_);
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_EQ(std::string(failure.what()),
              test::ShownPlace("Cannot create file " + target + "\n" + target +
                               ": No such file or directory"));
  }
}

TEST_F(CleanArticleTest, UnclosedTagLeavesTheLinesAsLoaded) {
  // Normalisation gives up on a tag that never closes; the passes still run
  // on the lines as loaded and finish.
  const std::string source = Page("a.htm", "<HTML>\n<title>\nT\n<p>Text\n<img src=a.gif");
  LineList lines;
  EXPECT_EQ(Clean(source, lines), "T");
  EXPECT_EQ(lines, (LineList{"<!DOCTYPE html>", "<head>", "</head>", "<body>",
                             "<h2 align=\"center\">T</h2>", "<HTML>", "<title>", "T", "<p>Text", "",
                             "</body>", "</html>"}));
}

}  // namespace
}  // namespace tavex
