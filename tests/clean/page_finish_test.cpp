#include "clean/page_finish.h"

#include <gtest/gtest.h>

namespace tavex {
namespace {

LineList Finished(LineList page, const std::string& title = "Title") {
  FinishArticlePage(page, title);
  return page;
}

TEST(FinishArticlePage, APageWithoutBodyGetsOneAndAStandardsModeStart) {
  EXPECT_EQ(Finished({"<html>", "<head>", "</head>", "<p>", "Text", "</p>", "</html>", "</html>"}),
            (LineList{"<!DOCTYPE html>", "<html>", "<head>", "</head>", "<body>", "<p>", "Text",
                      "</p>", "</body>", "</html>", "</html>"}));
  // No closing line at all: the body closes at the end.
  EXPECT_EQ(Finished({"<head>", "</head>", "Text"}),
            (LineList{"<!DOCTYPE html>", "<head>", "</head>", "<body>", "Text", "</body>"}));
}

TEST(FinishArticlePage, ABodyOrFramesetAndTheirOwnDoctypeStayAsTheyAre) {
  const LineList page = {"<!doctype html public \"-//W3C//DTD HTML 4.01//EN\">",
                         "<html>",
                         "<head>",
                         "</head>",
                         "<body bgcolor=white>",
                         "Text",
                         "</body>",
                         "</html>"};
  EXPECT_EQ(Finished(page), page);
  const LineList frames = {"<!DOCTYPE html>", "<head>", "</head>", "<frameset>", "</frameset>"};
  EXPECT_EQ(Finished(frames), frames);
  // A doctype that the head repair pushed down moves back to the top.
  EXPECT_EQ(Finished({"<head>", "</head>", "<!DOCTYPE html>", "<body>", "x", "</body>"}),
            (LineList{"<!DOCTYPE html>", "<head>", "</head>", "<body>", "x", "</body>"}));
}

TEST(FinishArticlePage, ThePagesOwnHeadingRepeatingTheTitleGoes) {
  const LineList page = {"<html>",   "<head>", "</head>", "<h2 align=\"center\">Big  news</h2>",
                         "<body>",   "<div>",  "<h1>",    "<a href=\"x.htm\">",
                         "big news", "</a>",   "</h1>",   "<p>",
                         "Text",     "</p>",   "</body>", "</html>"};
  EXPECT_EQ(Finished(page, "Big  news"),
            (LineList{"<!DOCTYPE html>", "<html>", "<head>", "</head>",
                      "<h2 align=\"center\">Big  news</h2>", "<body>", "<div>", "<p>", "Text",
                      "</p>", "</body>", "</html>"}));
}

// The sample's pages: an insert rule's line above the heading, and the title
// again in bold as the first paragraph.
TEST(FinishArticlePage, ABoldParagraphRepeatingTheTitleGoesToo) {
  const LineList page = {"<html>",
                         "<head>",
                         "</head>",
                         "<p align=\"right\">",
                         "Issue 1",
                         "</p>",
                         "<h2 align=\"center\">News</h2>",
                         "<table>",
                         "<tr>",
                         "<td>",
                         "<p>",
                         "<b>",
                         "News",
                         "</b>",
                         "</p>",
                         "<p>",
                         "Text",
                         "</p>",
                         "</td>",
                         "</tr>",
                         "</table>"};
  EXPECT_EQ(
      Finished(page, "News"),
      (LineList{"<!DOCTYPE html>", "<html>", "<head>", "</head>", "<body>", "<p align=\"right\">",
                "Issue 1", "</p>", "<h2 align=\"center\">News</h2>", "<table>", "<tr>", "<td>",
                "<p>", "Text", "</p>", "</td>", "</tr>", "</table>", "</body>"}));
}

TEST(FinishArticlePage, AHeadingAfterOtherTextOrNotOfTheTitleStays) {
  // Text before the page's heading: the heading is not right below the title.
  const LineList after_text = {"<html>", "<head>", "</head>", "<h2 align=\"center\">News</h2>",
                               "<body>", "<p>",    "Lead",    "</p>",
                               "<h1>",   "News",   "</h1>",   "</body>"};
  EXPECT_EQ(
      Finished(after_text, "News"),
      (LineList{"<!DOCTYPE html>", "<html>", "<head>", "</head>", "<h2 align=\"center\">News</h2>",
                "<body>", "<p>", "Lead", "</p>", "<h1>", "News", "</h1>", "</body>"}));
  // The title's words at the start of a longer paragraph, or in a list item.
  const LineList paragraph = {"<head>", "</head>", "<h2 align=\"center\">News</h2>",
                              "<body>", "<p>",     "News",
                              "<a>",    "more",    "</a>",
                              "</p>",   "<li>",    "News",
                              "</li>",  "</body>"};
  LineList expected = paragraph;
  expected.insert(expected.begin(), "<!DOCTYPE html>");
  EXPECT_EQ(Finished(paragraph, "News"), expected);
  // No heading of ours (the page had its own centred one): nothing goes.
  const LineList own = {"<!DOCTYPE html>",   "<head>", "</head>", "<body>", "<h1>", "News", "</h1>",
                        "<h2 align=center>", "News",   "</h2>",   "</body>"};
  EXPECT_EQ(Finished(own, "News"), own);
}

}  // namespace
}  // namespace tavex
