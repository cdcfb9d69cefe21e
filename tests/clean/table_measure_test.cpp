#include "clean/table_measure.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "app/memory_window.h"

namespace tavex {
namespace {

TTableSpan Span(int first, int last) {
  TTableSpan span;
  span.FirstLine = first;
  span.LastLine = last;
  return span;
}

TEST(AttributeNumber, ValueEndsAtSpaceOrTagEnd) {
  EXPECT_EQ(AttributeNumber("width=", "<img src=a.gif width=120 height=60>"), 120);
  EXPECT_EQ(AttributeNumber("height=", "<img src=a.gif width=120 height=60>"), 60);
  EXPECT_EQ(AttributeNumber("width=", "<img width=\"120\" height=60>"), 120);
  EXPECT_EQ(AttributeNumber("width=", "<img width=-5>"), -5);
  // The first occurrence anywhere counts, even inside another value.
  EXPECT_EQ(AttributeNumber("width=", "<img alt=\"width=7\" width=100>"), 7);
}

TEST(AttributeNumber, UnreadableValuesGiveZero) {
  EXPECT_EQ(AttributeNumber("width=", "<img width=100%>"), 0);
  EXPECT_EQ(AttributeNumber("width=", "<img width='100'>"), 0);
  EXPECT_EQ(AttributeNumber("width=", "<img height=100>"), 0);
  EXPECT_EQ(AttributeNumber("width=", "<img width=>"), 0);
  EXPECT_EQ(AttributeNumber("width=", "<img width=100"), 0);   // neither space nor ">"
  EXPECT_EQ(AttributeNumber("width=", "<img width=$64>"), 0);  // decimal only
  EXPECT_EQ(AttributeNumber("width=", "<img width=99999999999>"), 0);
}

TEST(MeasureTable, CountsOwnTextLinksAndPictures) {
  MemoryWindow window;
  LineList lines = {"<table>",
                    "<td>",
                    "Hello",                        // 5
                    "an input box",                 // 12, and a link line too
                    "<a href=x.htm>",               // link
                    "<input type=text>",            // form field: link
                    "<a href=a.gif>",               // picture link: no link
                    "<a href=x.htm#top>",           // anchor: no link
                    "<input style=color:#ff0000>",  // "#" anywhere: no link
                    "<img src=a.gif width=120 height=60>",
                    "<img src=b.gif width=120>",  // no height: adds 0
                    "</table>"};
  TTableSpan span = Span(0, 11);
  EXPECT_EQ(MeasureTable(lines, span, window), 17);
  EXPECT_EQ(span.Links, 4);
  EXPECT_EQ(span.PictureArea, 7201);
}

TEST(MeasureTable, UnclosedOrEmptyTableMeasuresNothing) {
  MemoryWindow window;
  LineList lines = {"<table>", "text", "<a href=x.htm>", "<img width=9 height=9>"};
  TTableSpan span = Span(0, 0);
  span.Links = 7;
  span.PictureArea = 7;
  EXPECT_EQ(MeasureTable(lines, span, window), 0);
  EXPECT_EQ(span.Links, 1);
  EXPECT_EQ(span.PictureArea, 1);
}

TEST(MeasureTable, NestedTablesDoNotCount) {
  MemoryWindow window;
  window.SetChecked(Switch::PreferFewerLinks, false);
  LineList lines = {"<table>",
                    "<table href=n.htm>",  // the nested opening line is still examined
                    "inner text",
                    "<a href=y.htm>",
                    "<img width=500 height=500>",
                    "</table>",
                    "outer",
                    "</table>"};
  TTableSpan outer = Span(0, 7);
  EXPECT_EQ(MeasureTable(lines, outer, window), 5);
  EXPECT_EQ(outer.Links, 2);
  EXPECT_EQ(outer.PictureArea, 1);
  TTableSpan inner = Span(1, 5);
  EXPECT_EQ(MeasureTable(lines, inner, window), 10);
  EXPECT_EQ(inner.Links, 2);
  EXPECT_EQ(inner.PictureArea, 250001);
}

TEST(MeasureTable, PreferFewerLinksDropsLinkText) {
  MemoryWindow window;
  // Home is a link's text through the <font> line; News is not, the look-back
  // meets Home first; Top's look-back leaves the table and finds a link.
  LineList lines = {"<a href=top.htm>", "<table>", "Top",  "<a href=x.htm>",
                    "<font>",           "Home",    "</a>", "News",
                    "</table>"};
  TTableSpan span = Span(1, 8);
  EXPECT_EQ(MeasureTable(lines, span, window), 4);
  window.SetChecked(Switch::PreferFewerLinks, false);
  EXPECT_EQ(MeasureTable(lines, span, window), 11);
}

TEST(MeasureTable, MeasuringAgainSeesEmptiedLines) {
  MemoryWindow window;
  LineList lines = {"<table>", "some text", "<a href=x.htm>", "<img width=10 height=10>",
                    "</table>"};
  TTableSpan span = Span(0, 4);
  EXPECT_EQ(MeasureTable(lines, span, window), 9);
  lines[1].clear();
  lines[2].clear();
  lines[3].clear();
  EXPECT_EQ(MeasureTable(lines, span, window), 0);
  EXPECT_EQ(span.Links, 1);
  EXPECT_EQ(span.PictureArea, 1);
}

TEST(MeasureTable, AbsurdPictureSizesDoNotWrapAround) {
  MemoryWindow window;
  const std::string huge = "<img width=2147483647 height=2147483647>";
  LineList lines = {"<table>", huge, huge, huge, huge, "</table>"};
  TTableSpan span = Span(0, 5);
  MeasureTable(lines, span, window);
  EXPECT_EQ(span.PictureArea, std::numeric_limits<int64_t>::max());
}

TEST(MeasureTable, NestingIndexGivesTheSameFiguresAsWalking) {
  // Random lists with unbalanced, doubled and crossing table lines.
  const LineList vocabulary = {"<table>",   "</table>",       "<table></table>",        "x",
                               "long text", "<a href=x.htm>", "<img width=3 height=4>", "<td>"};
  std::mt19937 random(7);
  MemoryWindow window;
  for (int round = 0; round < 300; ++round) {
    LineList lines(1 + random() % 40);
    for (auto& line : lines) line = vocabulary[random() % vocabulary.size()];
    const TNestingIndex nesting(lines);
    for (int first = 0; first < LineCount(lines); ++first) {
      TTableSpan walked = Span(first, first + static_cast<int>(random() % 30));
      TTableSpan indexed = walked;
      ASSERT_EQ(MeasureTable(lines, walked, window), MeasureTable(lines, indexed, window, nesting));
      ASSERT_EQ(walked.Links, indexed.Links);
      ASSERT_EQ(walked.PictureArea, indexed.PictureArea);
    }
  }
}

TEST(IsLeafTable, NeedsClosingLineAndNoNestedTable) {
  LineList lines = {"<table>", "<td>", "</table>", "<table>", "<table>", "</table>", "</table>"};
  EXPECT_TRUE(IsLeafTable(lines, Span(0, 2)));
  EXPECT_FALSE(IsLeafTable(lines, Span(3, 6)));
  EXPECT_TRUE(IsLeafTable(lines, Span(4, 5)));
  EXPECT_FALSE(IsLeafTable(lines, Span(0, 0)));  // never closed
}

}  // namespace
}  // namespace tavex
