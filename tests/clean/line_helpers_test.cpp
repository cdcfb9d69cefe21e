#include "clean/line_helpers.h"

#include <gtest/gtest.h>

#include <random>

#include "app/memory_window.h"
#include "platform/text.h"
#include "support/plain_squeeze.h"

namespace tavex {
namespace {

using test::SqueezePlainly;

// Normalising as the rule reads, one character at a time: each line squeezed
// whole first; "<" opens a tag (the spaces right after it on its line go), the
// first ">" closes it, and a tag still open at a line's end is joined to the
// next line with one space; text between tags is trimmed, and empty text is
// no line; tags are lower-cased. A tag open at the end leaves the list alone.
LineList NormalisePlainly(const LineList& lines) {
  LineList out;
  std::string tag, text;
  bool in_tag = false;
  auto flush_text = [&] {
    const std::string trimmed = SqueezePlainly(text);
    if (!trimmed.empty()) out.push_back(trimmed);
    text.clear();
  };
  for (const std::string& line : lines) {
    const std::string squeezed = SqueezePlainly(line);
    for (size_t i = 0; i < squeezed.size(); ++i) {
      const char c = squeezed[i];
      if (in_tag) {
        tag += c;
        if (c == '>') {
          out.push_back(LowerCase(tag));
          in_tag = false;
        }
      } else if (c == '<') {
        flush_text();
        tag = "<";
        in_tag = true;
        while (i + 1 < squeezed.size() && squeezed[i + 1] == ' ') ++i;
      } else {
        text += c;
      }
    }
    if (in_tag) tag += ' ';
    flush_text();
  }
  return in_tag ? lines : out;
}

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

TEST(SplitTagsToLines, CutsThePiecesThatSqueezingEachWholeLineFirstGives) {
  // Pieces are squeezed one at a time, never a whole line first: runs of
  // spaces and tabs next to "<" and ">", at line ends, in tags spread over
  // lines (with blank lines between) must come out as the rule defines them.
  std::mt19937 random(20261208);
  const std::string alphabet = "<<>>    \t\taB=\xC0\xE0";
  for (int round = 0; round < 20000; ++round) {
    LineList lines(1 + random() % 4);
    for (std::string& line : lines) {
      line.resize(random() % (round % 2 ? 40 : 8));
      for (char& c : line) c = alphabet[random() % alphabet.size()];
      ASSERT_EQ(SqueezeSpaces(line), SqueezePlainly(line)) << line;
    }
    LineList normalised = lines;
    SplitTagsToLines(normalised);
    ASSERT_EQ(normalised, NormalisePlainly(lines)) << JoinLines(lines);
  }
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

TEST(IsNormalised, TellsExactlyTheListsNormalisingLeavesAlone) {
  const std::vector<LineList> lists = {
      {"<p>", "Hello world", "</p>"},
      {},
      {"a > b"},
      {"<img src=a.gif alt=\"x\">"},
      {"<P>"},
      {"< p>"},
      {"<p>x"},
      {" a"},
      {"a  b"},
      {""},
      {"a\t"},
      {"<b>a</b>"},
      {"\xc0\xc1"},
      {"<\xc0>"},
      {"<\xe0>"},
      {"<>"},
      {"<a b=\">\">"},
  };
  for (const LineList& list : lists) {
    LineList normalised = list;
    SplitTagsToLines(normalised);
    EXPECT_EQ(IsNormalised(list), normalised == list) << (list.empty() ? "" : list[0]);
  }
  EXPECT_TRUE(IsNormalised({"<p>", "Hello world", "</p>"}));
  EXPECT_FALSE(IsNormalised({"<p>", "<B>"}));
  // A tag left open is no normalised form, though normalising leaves it too.
  EXPECT_FALSE(IsNormalised({"<p"}));
  EXPECT_FALSE(IsNormalised({"x<"}));

  // Text is checked eight bytes at a time: a "<" or a double space at every
  // place of lines around that width, across the words and in the tail.
  for (size_t size = 2; size <= 27; ++size) {
    const std::string clean(size, 'a');
    EXPECT_TRUE(IsNormalised(LineList{clean}));
    for (size_t at = 1; at + 1 < size; ++at) {
      std::string tagged = clean, single = clean;
      tagged[at] = '<';
      single[at] = ' ';
      EXPECT_FALSE(IsNormalised(LineList{tagged})) << size << " " << at;
      EXPECT_TRUE(IsNormalised(LineList{single})) << size << " " << at;
      if (at + 2 < size) {
        std::string doubled = single;
        doubled[at + 1] = ' ';
        EXPECT_FALSE(IsNormalised(LineList{doubled})) << size << " " << at;
        std::string apart = single;
        apart[at + 2] = ' ';
        EXPECT_EQ(IsNormalised(LineList{apart}), at + 3 < size) << size << " " << at;
      }
    }
  }
  // Bytes that differ from a space or a "<" only in their high bit.
  EXPECT_TRUE(IsNormalised(LineList{"a\xA0\xA0\xBC\xBC\xA0\xA0\xBC\xBC\xA0z"}));
}

TEST(SplitTagsToLines, LongPageComesOutTheSameWhileItsSourceIsConsumed) {
  // A page of many lines with tags spread over line breaks: the split frees
  // each source line as it goes and must still join across them.
  LineList page;
  LineList expected;
  for (int i = 0; i < 20000; ++i) {
    page.insert(page.end(), {"<TD", "  CLASS=x>Cell " + std::to_string(i) + "  text", "</td>"});
    expected.insert(expected.end(),
                    {"<td class=x>", "Cell " + std::to_string(i) + " text", "</td>"});
  }
  SplitTagsToLines(page);
  EXPECT_EQ(page, expected);

  // The lines are counted before the split and reserved once, with room for
  // the few lines later passes insert: a miscount would grow or waste the
  // list of a large page. Stretches of spaces and tabs between tags, text
  // after a tag that ends on a later line, and a ">" in text all count right.
  LineList tricky = {"  <p>  \t <b>x</b> \t", "a > b<i", "class=y>", "rest  of  it<br>", "\t", ""};
  SplitTagsToLines(tricky);
  EXPECT_EQ(tricky,
            (LineList{"<p>", "<b>", "x", "</b>", "a > b", "<i class=y>", "rest of it", "<br>"}));
  EXPECT_EQ(tricky.capacity(), tricky.size() + 64);
  EXPECT_EQ(page.capacity(), page.size() + 64);
  // One tag left open at the very end: every line stays as it was.
  LineList open = {"<P>a", "<b>", "x", "<i"};
  const LineList before = open;
  SplitTagsToLines(open);
  EXPECT_EQ(open, before);
}

}  // namespace
}  // namespace tavex
