#include "clean/line_helpers.h"

#include <gtest/gtest.h>

#include "app/memory_window.h"

namespace tavex {
namespace {

TEST(FindLine, FoldsCaseAndComparesWholeLines) {
  LineList lines = {"x", "<HTML>", "<html> x", "<html lang=ru>"};
  EXPECT_EQ(FindLine("<html>", lines), 1);
  EXPECT_EQ(FindLine("<html lang=RU>", lines), 3);
  EXPECT_EQ(FindLine("\xc0\xc1", {"a", "\xe0\xe1"}), 1);  // Cyrillic folds too
}

TEST(FindLine, MatchOnLineZeroReadsAsAbsent) {
  EXPECT_EQ(FindLine("<head>", {"<head>", "x"}), 0);
  EXPECT_EQ(FindLine("<head>", {"a", "b"}), 0);
  EXPECT_EQ(FindLine("<head>", {}), 0);
}

TEST(FindBlock, FindsFirstOccurrenceAtOrAfterStart) {
  LineList lines = {"a", "b", "c", "a", "b"};
  int found = -1;
  EXPECT_TRUE(FindBlock(0, lines, {"a", "b"}, found));
  EXPECT_EQ(found, 0);
  EXPECT_TRUE(FindBlock(1, lines, {"a", "b"}, found));
  EXPECT_EQ(found, 3);
  EXPECT_FALSE(FindBlock(4, lines, {"a", "b"}, found));
  EXPECT_EQ(found, 0);
  EXPECT_FALSE(FindBlock(0, lines, {"A", "b"}, found));  // case counts
}

TEST(FindBlock, EmptyAndOversizedBlocks) {
  LineList lines = {"a", "b"};
  int found = -1;
  EXPECT_TRUE(FindBlock(1, lines, {}, found));
  EXPECT_EQ(found, 1);
  EXPECT_FALSE(FindBlock(0, lines, {"a", "b", "c"}, found));
  EXPECT_EQ(found, 0);
  EXPECT_FALSE(FindBlock(5, lines, {}, found));
}

TEST(FindBlock, LetsMessagesRunDuringALongSearch) {
  MemoryWindow window;
  LineList lines(3'000'000, "line");
  int found = 0;
  EXPECT_FALSE(FindBlock(0, lines, {"line", "other"}, found, &window));
  EXPECT_GT(window.pump_count(), 0);
  EXPECT_LT(window.pump_count(), 3'000'000 / 64);
}

TEST(InsertBlock, BlockTakesTheIndexAndTheOldLineFollows) {
  LineList lines = {"a", "d"};
  InsertBlock(1, lines, {"b", "c"});
  EXPECT_EQ(lines, (LineList{"a", "b", "c", "d"}));
  InsertBlock(4, lines, {"e"});
  EXPECT_EQ(lines.back(), "e");
}

TEST(SplitTagsToLines, OneTagOrOneRunPerLine) {
  LineList lines = {"<P>Hello  <B>World</B></P>"};
  SplitTagsToLines(lines);
  EXPECT_EQ(lines, (LineList{"<p>", "Hello", "<b>", "World", "</b>", "</p>"}));
}

TEST(SplitTagsToLines, JoinsATagSpreadOverLines) {
  LineList lines = {"<IMG", "SRC=a.gif>Text"};
  SplitTagsToLines(lines);
  EXPECT_EQ(lines, (LineList{"<img src=a.gif>", "Text"}));
}

TEST(SplitTagsToLines, SpacesAfterTheOpeningBracketGoOnlyOnce) {
  LineList lines = {"< b>", "", "  a > b  "};
  SplitTagsToLines(lines);
  EXPECT_EQ(lines, (LineList{"<b>", "a > b"}));
  // A tag broken right after "<" keeps the joining space.
  LineList broken = {"<", "b>"};
  SplitTagsToLines(broken);
  EXPECT_EQ(broken, (LineList{"< b>"}));
}

TEST(SplitTagsToLines, UnclosedTagLeavesTheListAsLoaded) {
  LineList lines = {"<P>Keep", "  This  ", "<B and never closed"};
  LineList before = lines;
  SplitTagsToLines(lines);
  EXPECT_EQ(lines, before);
  LineList empty;
  SplitTagsToLines(empty);
  EXPECT_TRUE(empty.empty());
}

TEST(SplitTagsToLines, LowerCasesCyrillicInsideTagsOnly) {
  LineList lines = {"<IMG ALT=\"\xc4\xce\xcc\">\xc4\xce\xcc"};  // ДОМ
  SplitTagsToLines(lines);
  EXPECT_EQ(lines, (LineList{"<img alt=\"\xe4\xee\xec\">", "\xc4\xce\xcc"}));
}

TEST(SqueezeSpaces, TrimsAndSqueezesOnlySpaces) {
  EXPECT_EQ(SqueezeSpaces("  a   b  "), "a b");
  EXPECT_EQ(SqueezeSpaces("\t a\t\tb \r"), "a\t\tb");
  EXPECT_EQ(SqueezeSpaces("   "), "");
}

TEST(RemoveAllOccurrences, RemovesOccurrencesThatDeletionsForm) {
  std::string text = "aabb";
  RemoveAllOccurrences("ab", text);
  EXPECT_EQ(text, "");
  text = "x../../main.htmy../../main.htm";
  RemoveAllOccurrences("../../main.htm", text);
  EXPECT_EQ(text, "xy");
  text = "ababa";
  RemoveAllOccurrences("aba", text);
  EXPECT_EQ(text, "ba");
  text = "AB";
  RemoveAllOccurrences("ab", text);
  EXPECT_EQ(text, "AB");
  RemoveAllOccurrences("", text);
  EXPECT_EQ(text, "AB");
}

TEST(SubstituteIssueNumber, ReplacesTokenInEitherCase) {
  EXPECT_EQ(SubstituteIssueNumber("x#x1y", "7"), "x7y");
  EXPECT_EQ(SubstituteIssueNumber("#X1", "7"), "7");
  EXPECT_EQ(SubstituteIssueNumber("ab#x", "7"), "ab7");
  EXPECT_EQ(SubstituteIssueNumber("#xa#x2", "12"), "1212");
  EXPECT_EQ(SubstituteIssueNumber("plain", "7"), "plain");
  EXPECT_EQ(SubstituteIssueNumber("#", "7"), "#");
}

TEST(SubstituteIssueNumber, ANumberHoldingTheTokenDoesNotLoop) {
  EXPECT_EQ(SubstituteIssueNumber("a#x1b", "#x1"), "a#x1b");
  MemoryWindow window;
  window.SetFieldText(Field::IssueNumber, "5");
  EXPECT_EQ(SubstituteIssueNumber("e:\\tavex#x1", window), "e:\\tavex5");
}

}  // namespace
}  // namespace tavex
