#include "clean/content_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>

#include "app/memory_window.h"
#include "clean/line_helpers.h"
#include "clean/table_measure.h"
#include "platform/failure.h"
#include "platform/text.h"
#include "support/shared_corpus.h"

namespace tavex {
namespace {

LineList Cat(std::initializer_list<LineList> parts) {
  LineList all;
  for (const LineList& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

const LineList kHead = {"<html>", "<head>", "<title>", "News", "</title>", "</head>"};

LineList Page(const LineList& body) {
  return Cat({kHead, {"<body>"}, body, {"</body>", "</html>"}});
}

// A table of one row with one cell per part.
LineList Table(std::initializer_list<LineList> cells) {
  LineList table = {"<table>", "<tr>"};
  for (const LineList& cell : cells) table = Cat({table, {"<td>"}, cell, {"</td>"}});
  return Cat({table, {"</tr>", "</table>"}});
}

std::string Text(int length, char c = 'a') {
  return std::string(length, c);
}

LineList Selected(LineList page, MainWindow& window) {
  SelectContentTable(page, window);
  return page;
}
LineList Selected(LineList page) {
  MemoryWindow window;
  return Selected(std::move(page), window);
}

bool Holds(const LineList& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST(SelectContentTable, KeepsTheArticleTableOfTheMenuPage) {
  const LineList menu = Table({{"<a href=a.htm>", "Home", "</a>"}});
  const LineList article = Table({{Text(3000)}});
  const LineList page = Page(Cat({menu, article}));
  ASSERT_EQ(page.size(), 25u);
  const LineList result = Selected(page);
  EXPECT_EQ(result, Cat({kHead, article, {"</html>"}}));
  EXPECT_EQ(result.size(), 14u);
}

TEST(SelectContentTable, PageWithoutTablesKeepsItsWholeBody) {
  // A closing cell tag that nothing opened is dropped on the way.
  EXPECT_EQ(
      Selected(Page({"</td>", "Hello", "World"})),
      Cat({kHead, {"<table>", "<body>", "Hello", "World", "</body>", "</table>", "</html>"}}));
}
TEST(SelectContentTable, DropsMenuAndFooterAroundTheArticle) {
  const LineList links =
      Table({{"<a href=a.htm>", "Home", "</a>", "<a href=b.htm>", "Back", "</a>"}});
  const LineList article = Table({{Text(500)}});
  EXPECT_EQ(Selected(Page(Cat({links, {"between"}, article, links}))),
            Cat({kHead, article, {"</html>"}}));
}

TEST(SelectContentTable, FirstOfEqualTablesWins) {
  const LineList first = Table({{Text(100, 'a')}});
  const LineList second = Table({{Text(100, 'b')}});
  EXPECT_EQ(Selected(Page(Cat({first, second}))), Cat({kHead, first, {"</html>"}}));
}

TEST(SelectContentTable, WrapperWinsWhenTheBodyHoldsMostText) {
  // No body table is cut as a table then, but cells still are.
  const LineList page = Page(Cat({{Text(3000)}, Table({{"<a href=a.htm>", "Home", "</a>"}})}));
  EXPECT_EQ(Selected(page), Cat({kHead,
                                 {"<table>", "<body>", Text(3000), "<table>", "", "", "</table>",
                                  "</body>", "</table>", "</html>"}}));
}

// Whether a table that follows a 5000-character content table is kept.
bool FollowerKept(const LineList& follower, MemoryWindow& window) {
  return Selected(Page(Cat({Table({{Text(5000)}}), follower})), window).size() > 14;
}

TEST(SelectContentTable, KeepsTablesAboveTheTextRatio) {
  MemoryWindow window;
  EXPECT_TRUE(FollowerKept(Table({{Text(2001, 'b')}}), window));
  EXPECT_FALSE(FollowerKept(Table({{Text(2000, 'b')}}), window));
  // A link line doubles the divisor.
  EXPECT_TRUE(FollowerKept(Table({{Text(4002, 'b'), "<a href=b.htm>", "</a>"}}), window));
  EXPECT_FALSE(FollowerKept(Table({{Text(4001, 'b'), "<a href=b.htm>", "</a>"}}), window));
  window.SetChecked(Switch::KeepTablesAboveRatio, false);
  EXPECT_FALSE(FollowerKept(Table({{Text(2001, 'b')}}), window));
}

TEST(SelectContentTable, KeepsTablesWithLargePicturesAndNoLinks) {
  MemoryWindow window;
  EXPECT_TRUE(FollowerKept(Table({{"<img src=p.png width=400 height=250>"}}), window));
  EXPECT_FALSE(FollowerKept(Table({{"<img src=p.png width=400 height=249>"}}), window));
  window.SetChecked(Switch::CutTablesBelowRatio, false);
  window.SetChecked(Switch::CutCellsBelowRatio, false);
  EXPECT_FALSE(
      FollowerKept(Table({{"<img src=p.png width=400 height=250>", "<a href=x.htm>"}}), window));
}

TEST(SelectContentTable, PictureRuleReadsTheMostRecentMeasurement) {
  // The link cell is cut in the cell step; only a fresh measurement sees that.
  const LineList follower =
      Table({{"<img src=p.png width=400 height=250>"}, {"<a href=x.htm>", "Home", "</a>"}});
  MemoryWindow window;
  window.SetChecked(Switch::CutTablesBelowRatio, false);
  EXPECT_TRUE(FollowerKept(follower, window));
  window.SetChecked(Switch::KeepTablesAboveRatio, false);
  EXPECT_FALSE(FollowerKept(follower, window));
}

// A leaf table nested in a table that the text ratio keeps, so that whether
// the leaf was emptied shows in the result.
bool LeafSurvives(const LineList& leaf_cell, MemoryWindow& window) {
  window.SetChecked(Switch::CutCellsBelowRatio, false);
  const LineList outer = {"<table>", "<tr>", "<td>", Text(5000, 'o')};
  const LineList page =
      Page(Cat({Table({{Text(6000)}}), outer, Table({leaf_cell}), {"</td>", "</tr>", "</table>"}}));
  const LineList result = Selected(page, window);
  EXPECT_TRUE(Holds(result, Text(5000, 'o')));
  return Holds(result, leaf_cell.front());
}

TEST(SelectContentTable, CutsLinkHeavyTablesBelowTheRatio) {
  MemoryWindow window;
  const LineList links = {"<a href=1.htm>", "</a>",           "<a href=2.htm>",
                          "</a>",           "<a href=3.htm>", "</a>"};
  EXPECT_FALSE(LeafSurvives(Cat({{Text(100, 'L')}, links}), window));  // 100 / 4 = 25
  EXPECT_TRUE(LeafSurvives(Cat({{Text(120, 'L')}, links}), window));   // 120 / 4 = 30
  EXPECT_TRUE(LeafSurvives({Text(10, 'L')}, window));                  // no link line
  EXPECT_FALSE(LeafSurvives({Text(100, 'L'), "<input>", "<input>", "<input>"}, window));
  EXPECT_TRUE(LeafSurvives({Text(100, 'L'), "<a href=#1>", "<a href=#2>", "<a href=#3>"}, window));
  window.SetChecked(Switch::CutTablesBelowRatio, false);
  EXPECT_TRUE(LeafSurvives(Cat({{Text(100, 'L')}, links}), window));
}

TEST(SelectContentTable, LinkTextCountsOnlyWithoutPreferFewerLinks) {
  const LineList plain = Table({{Text(100, 'a')}});
  const LineList linked = Table({{"<a href=x.htm>", Text(150, 'b'), "</a>"}});
  MemoryWindow window;
  EXPECT_EQ(Selected(Page(Cat({plain, linked})), window), Cat({kHead, plain, {"</html>"}}));
  window.SetChecked(Switch::PreferFewerLinks, false);
  EXPECT_EQ(Selected(Page(Cat({plain, linked})), window), Cat({kHead, linked, {"</html>"}}));
}

// Whether the second cell of the content table survives.
bool CellSurvives(const LineList& cell) {
  const LineList result = Selected(Page(Table({{Text(3000)}, cell})));
  return result == Cat({kHead, Table({{Text(3000)}, cell}), {"</html>"}});
}

TEST(SelectContentTable, CutsLinkHeavyAndEmptyCells) {
  EXPECT_FALSE(CellSurvives({Text(99, 'c'), "<a href=x.htm>", "</a>"}));  // 99 div 2 = 49
  EXPECT_TRUE(CellSurvives({Text(100, 'c'), "<a href=x.htm>", "</a>"}));
  EXPECT_FALSE(CellSurvives({"<br>"}));
  EXPECT_TRUE(CellSurvives({"<img src=a.png>"}));
  EXPECT_FALSE(CellSurvives({"<a href=x.htm>", "<img src=a.png>", "</a>"}));
  EXPECT_TRUE(CellSurvives({"<a href=big.jpg>", "<img src=a.png>", "</a>"}));
  EXPECT_TRUE(CellSurvives(Table({{"<b>", Text(10, 'n'), "</b>"}})));  // holds a table
}

TEST(SelectContentTable, CellThresholdMustBeAWholeNumber) {
  MemoryWindow window;
  window.SetFieldText(Field::CutCellsThreshold, "abc");
  LineList article = Page(Table({{Text(3000)}}));
  const LineList before = article;
  try {
    SelectContentTable(article, window);
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_STREQ(failure.what(), "'abc' is not a valid integer value");
  }
  // The failure ends the run before the article in progress is written
  // (CleanArticle's tests), so what the pass left in the list is no matter.
  EXPECT_NO_THROW(Selected(Page({"no cells here"}), window));  // no cell is ever judged
  window.SetChecked(Switch::CutCellsBelowRatio, false);
  EXPECT_NO_THROW(Selected(before, window));
}
TEST(SelectContentTable, UnclosedTableEndsAtTheWrapperClose) {
  const LineList page = Page({"<table>", "<tr>", "<td>", Text(3000)});
  EXPECT_EQ(
      Selected(page),
      Cat({kHead, {"<table>", "<tr>", "<td>", Text(3000), "</body>", "</table>", "</html>"}}));
}

TEST(SelectContentTable, EmptyCellLeavesEmptyLinesInItsRow) {
  MemoryWindow window;
  window.SetChecked(Switch::CutCellsBelowRatio, false);
  const LineList page = Page({"<table>", "<tr>", "<td>", Text(3000), "</td>", "</tr>", "<tr>",
                              "<td>", "</td>", "</tr>", "</table>"});
  EXPECT_EQ(Selected(page, window), Cat({kHead,
                                         {"<table>", "<tr>", "<td>", Text(3000), "</td>", "</tr>",
                                          "<tr>", "", "", "</tr>", "</table>", "</html>"}}));
}

TEST(SelectContentTable, ListWithoutHeadEndStaysAsItIs) {
  // Not even normalised: the lines come back exactly as they went in.
  const LineList page = {"<HTML><Body>", "<table>",  "<tr><td>", "x",
                         "</td></tr>",   "</table>", "</body>",  "</html>"};
  EXPECT_EQ(Selected(page), page);
}

// The pass as its rules read, line by line and table by table, to compare
// with on random pages.
LineList ReferenceSelect(const LineList& page, MainWindow& window) {
  auto has = [](const std::string& line, const char* s) { return line.find(s) != line.npos; };
  auto begins = [](const std::string& line, const char* s) { return line.rfind(s, 0) == 0; };
  LineList a = page;
  SplitTagsToLines(a);
  const int h = FindLine("</head>", a);
  if (h == 0 || a[h] != "</head>") return page;
  a.insert(a.begin() + h + 1, "<table>");
  const int e = FindLine("</html>", a);
  a.insert(a.begin() + (e == 0 ? LineCount(a) - 1 : e), "</table>");
  const int n = LineCount(a);

  std::vector<TTableSpan> tables;
  int cells = 0, rows = 0;
  for (int i = 0; i < n; ++i) {
    if (!has(a[i], "<table")) continue;
    TTableSpan t;
    t.FirstLine = i;
    for (int j = i + 1, nesting = 0; j < n; ++j) {
      std::string& l = a[j];
      if (has(l, "</table") && nesting == 0) {
        t.LastLine = j;
        break;
      }
      if (has(l, "<table")) ++nesting;
      if (has(l, "</table")) --nesting;
      if (begins(l, "<td")) ++cells;
      if (begins(l, "</td")) cells == 0 ? l.clear() : void(--cells);
      if (begins(l, "<tr")) ++rows;
      if (begins(l, "</tr")) rows == 0 ? l.clear() : void(--rows);
    }
    tables.push_back(t);
  }
  int content = 0;
  for (int k = 0, most = -1; k < static_cast<int>(tables.size()); ++k) {
    const int length = static_cast<int>(MeasureTable(a, tables[k], window));
    if (length > most) most = length, content = k;
  }
  const TTableSpan c = tables[content];
  auto empty = [&a](int from, int to) {
    for (int i = from; i <= to; ++i) a[i].clear();
  };
  for (int k = 0; window.IsChecked(Switch::CutTablesBelowRatio) && k < int(tables.size()); ++k) {
    TTableSpan& t = tables[k];
    if (k == content || !IsLeafTable(a, t) ||
        (t.FirstLine >= c.FirstLine && t.FirstLine <= c.LastLine))
      continue;
    // Measured first: the measurement rewrites Links.
    const int64_t length = MeasureTable(a, t, window);
    const double ratio = double(length) / double(t.Links);
    if (ratio < ParseInt(window.FieldText(Field::CutTablesThreshold)) && t.Links > 1)
      empty(t.FirstLine, t.LastLine);
  }
  for (int i = 0; window.IsChecked(Switch::CutCellsBelowRatio) && i < n; ++i) {
    if (!has(a[i], "<td")) continue;
    int text = 0, links = 1, pictures = 0;
    for (int j = i + 1; j < n; ++j) {
      const std::string& l = a[j];
      if (has(l, "href=") && !has(l, ".gif") && !has(l, ".jpg")) ++links;
      if (begins(l, "<img")) {
        ++pictures;
      } else if (!begins(l, "<")) {
        text += static_cast<int>(l.size());
      } else if (begins(l, "<table")) {
        break;
      } else if (has(l, "</td>")) {
        const int threshold = ParseInt(window.FieldText(Field::CutCellsThreshold));
        if ((text / links < threshold && links > 1) || (text == 0 && pictures == 0)) empty(i, j);
        break;
      }
    }
  }
  LineList kept;
  for (const std::string& line : a) {
    if (!line.empty()) kept.push_back(line);
    if (line == "</head>") break;
  }
  for (int i = 0; i < n - 1;) {
    bool copied = false;
    for (int k = 0; k < static_cast<int>(tables.size()) && !copied; ++k) {
      TTableSpan& t = tables[k];
      if (t.FirstLine != i) continue;
      bool keep = k == content;
      if (!keep && window.IsChecked(Switch::KeepTablesAboveRatio)) {
        const int64_t length = MeasureTable(a, t, window);
        keep = length / t.Links > ParseInt(window.FieldText(Field::KeepTablesThreshold));
      }
      keep = keep || (t.PictureArea > 100000 && t.Links == 1);
      if (!keep || t.LastLine < t.FirstLine) break;
      for (int j = t.FirstLine; j <= t.LastLine; ++j)
        if (!a[j].empty()) kept.push_back(a[j]);
      i = t.LastLine + 1;
      copied = true;
    }
    if (!copied) ++i;
  }
  kept.push_back("</html>");
  for (int j = 0; j + 1 < LineCount(kept); ++j)
    if ((begins(kept[j], "<td") && begins(kept[j + 1], "</td")) ||
        (begins(kept[j], "<tr") && begins(kept[j + 1], "</tr")))
      kept[j].clear(), kept[j + 1].clear();
  return kept;
}

TEST(SelectContentTable, AgreesWithTheLineByLineRulesOnRandomPages) {
  const LineList vocabulary = {"<table>",
                               "</table>",
                               "<tr>",
                               "</tr>",
                               "<td>",
                               "</td>",
                               "<a href=x.htm>",
                               "</a>",
                               "<a href=#top>",
                               "<input>",
                               "<img width=400 height=300>",
                               "<img src=a.gif>",
                               "<br>",
                               "short",
                               Text(60, 'w'),
                               "</td>",
                               "</tr>",
                               "<td>"};
  // Lines that stay whole only while an unclosed tag stops normalising.
  const LineList raw = {"</td></table>",       "</tr><table>",      "<td><table>",
                        "<table></table>",     "</td>text",         "</tr></table>",
                        "<a href=y.htm></td>", "<table href=z.htm>"};
  std::mt19937 random(2026);
  for (int round = 0; round < 3000; ++round) {
    LineList body(random() % 80);
    const bool keep_raw = random() % 3 == 0;
    for (std::string& line : body)
      line = keep_raw && random() % 4 == 0 ? raw[random() % raw.size()]
                                           : vocabulary[random() % vocabulary.size()];
    LineList page = Page(body);
    if (keep_raw) page.push_back("<a href=");
    MemoryWindow window;
    for (Switch sw : {Switch::PreferFewerLinks, Switch::CutTablesBelowRatio,
                      Switch::CutCellsBelowRatio, Switch::KeepTablesAboveRatio})
      window.SetChecked(sw, random() % 4 != 0);
    window.SetFieldText(Field::CutTablesThreshold, std::to_string(random() % 60));
    window.SetFieldText(Field::CutCellsThreshold, std::to_string(random() % 100));
    window.SetFieldText(Field::KeepTablesThreshold, std::to_string(random() % 200));
    ASSERT_EQ(Selected(page, window), ReferenceSelect(page, window)) << "round " << round;
  }
}

TEST(SelectContentTable, AgreesWithTheLineByLineRulesOnCorpusPages) {
  const std::filesystem::path root = std::filesystem::path(MYTAVEX_SHARED_DIR) / "corpus";
  MYTAVEX_NEED_CORPUS(std::filesystem::exists(root), root);
  int pages = 0, selected = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    if (entry.path().filename() != "source.html") continue;
    const LineList page = LoadLines(entry.path().string());
    MemoryWindow window;
    const LineList result = Selected(page, window);
    ASSERT_EQ(result, ReferenceSelect(page, window)) << entry.path();
    ++pages;
    if (!result.empty() && result.back() == "</html>") ++selected;
  }
  EXPECT_GT(pages, 20);
  EXPECT_GT(selected, 10);  // most pages have a head end of their own
}

}  // namespace
}  // namespace tavex
