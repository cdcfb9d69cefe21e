#include "clean/article_title.h"

#include <gtest/gtest.h>

#include "clean/line_helpers.h"

namespace tavex {
namespace {

// A page in normalised form, as the pipeline hands it over.
LineList Normalised(std::string_view html) {
  LineList lines = SplitIntoLines(html);
  SplitTagsToLines(lines);
  return lines;
}

TEST(FindArticleTitle, CentredHeadingSkipsTagsAndStopsAtAnInlineTag) {
  EXPECT_EQ(
      FindArticleTitle(Normalised(
          "<head><title>Other</title></head><H2 ALIGN=CENTER><FONT SIZE=4>Week news</FONT></H2>")),
      "Week news");
  EXPECT_EQ(FindArticleTitle(Normalised("<h2 align=\"center\">Big <b>news</b></h2>")), "Big");
}

TEST(FindArticleTitle, OnlyTheFirstCentredHeadingCounts) {
  EXPECT_EQ(FindArticleTitle(Normalised("<h2 align=center>One</h2><h2 align=center>Two</h2>")),
            "One");
  // Line 0 counts here, unlike FindLine's answer.
  EXPECT_EQ(FindArticleTitle({"<h2 align=center>", "First", "</h2>"}), "First");
}

TEST(FindArticleTitle, TitleElementJoinsItsBrokenLines) {
  EXPECT_EQ(FindArticleTitle(Normalised("<html><head><title>My page</title></head></html>")),
            "My page");
  EXPECT_EQ(FindArticleTitle(Normalised("<title>Weekly\nnews</title>")), "Weekly news");
}

TEST(FindArticleTitle, OtherHeadingSpellingsAreNotCentredHeadings) {
  EXPECT_EQ(FindArticleTitle(Normalised("<title>T</title><h2 align='center'>H</h2>")), "T");
  EXPECT_EQ(FindArticleTitle(Normalised("<title>T</title><h2 align=center class=x>H</h2>")), "T");
}

TEST(FindArticleTitle, NoTextGivesTheMarkerAndNeverReadsPastTheEnd) {
  EXPECT_EQ(FindArticleTitle(Normalised("<html><body>text</body></html>")), kUnknownTitle);
  EXPECT_EQ(FindArticleTitle(Normalised("<title></title><p>text")), kUnknownTitle);
  EXPECT_EQ(FindArticleTitle({"<title>"}), kUnknownTitle);
  EXPECT_EQ(FindArticleTitle({"<h2 align=center>"}), kUnknownTitle);
  EXPECT_EQ(FindArticleTitle({}), kUnknownTitle);
  // A heading with only tags after it falls back to the title element.
  EXPECT_EQ(FindArticleTitle({"<title>", "T", "</title>", "<h2 align=center>", "<b>"}), "T");
}

TEST(FindArticleTitle, TitleRunOfAnUnnormalisedListIsCutAtItsFirstTag) {
  // A list that normalisation left alone can carry tags inside text lines.
  EXPECT_EQ(FindArticleTitle({"<title>", "Weekly", "news</title><p>x", "<p>"}), "Weekly news");
}

TEST(AddTitleHeading, InsertsAfterTheHeadUnlessAHeadingIsThere) {
  LineList page = {"<html>", "<head>", "</head>", "<p>"};
  AddTitleHeading(page, "My page");
  EXPECT_EQ(page,
            (LineList{"<html>", "<head>", "</head>", "<h2 align=\"center\">My page</h2>", "<p>"}));

  LineList centred = {"<head>", "</head>", "<H2 ALIGN=CENTER>", "x", "</h2>"};
  LineList unchanged = centred;
  AddTitleHeading(centred, "x");
  EXPECT_EQ(centred, unchanged);
}

TEST(AddTitleHeading, NothingForTheMarkerOrWithoutAHeadAfterLineZero) {
  LineList page = {"<head>", "</head>", "<p>"};
  LineList unchanged = page;
  AddTitleHeading(page, kUnknownTitle);
  EXPECT_EQ(page, unchanged);

  LineList head_first = {"</head>", "<p>"};
  AddTitleHeading(head_first, "T");
  EXPECT_EQ(head_first, (LineList{"</head>", "<p>"}));
}

TEST(AddTitleHeading, SingleQuotedHeadingGetsACentredOneAdded) {
  LineList page = Normalised("<head><title>T</title></head><h2 align='center'>H</h2>");
  const std::string title = FindArticleTitle(page);
  AddTitleHeading(page, title);
  EXPECT_EQ(page[5], "<h2 align=\"center\">T</h2>");
}

}  // namespace
}  // namespace tavex
