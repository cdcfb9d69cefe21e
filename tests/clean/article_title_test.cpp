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

TEST(FindArticleTitle, TitleRunCutsAtATagInAnyJoinedLineAndAtTheFirstOnlyWhenJoined) {
  // The first line alone is taken as it stands; joining a line cuts the whole
  // title at its first "<", the first line's included.
  EXPECT_EQ(FindArticleTitle({"<title>", "a<b", "<p>"}), "a<b");
  EXPECT_EQ(FindArticleTitle({"<title>", "a<b", "c", "<p>"}), "a");
  // A cut early on holds for every line joined after it, and a later line's
  // "<" cuts there.
  EXPECT_EQ(FindArticleTitle({"<title>", "a", "b<x", "c", "d<y", "<p>"}), "a b c d");
  // A long title of short lines comes back whole, one space between lines.
  LineList page = {"<title>"};
  std::string expected;
  for (int i = 0; i < 100000; ++i) {
    page.push_back(std::to_string(i % 10));
    expected += (i ? " " : "") + std::to_string(i % 10);
  }
  page.push_back("</title>");
  EXPECT_EQ(FindArticleTitle(page), expected);
}

TEST(FindArticleTitle, HeadingThatReadsTheMarkerFallsBackToTheTitleElement) {
  const std::string marker = kUnknownTitle;
  EXPECT_EQ(FindArticleTitle({"<title>", "Real", "</title>", "<h2 align=center>", marker, "</h2>"}),
            "Real");
  // Without a title element the marker stays the answer.
  EXPECT_EQ(FindArticleTitle({"<h2 align=center>", marker, "</h2>"}), kUnknownTitle);
  // A heading that only begins with the marker's words is a title of its own.
  EXPECT_EQ(
      FindArticleTitle({"<title>", "Real", "</title>", "<h2 align=center>", marker, "2", "</h2>"}),
      marker + " 2");
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
