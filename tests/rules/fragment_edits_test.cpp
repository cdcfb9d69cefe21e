#include "rules/fragment_edits.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "app/memory_window.h"
#include "clean/line_helpers.h"
#include "platform/failure.h"

namespace tavex {
namespace {

// Replacement as the rule reads in words: search again from the top after
// every replacement. Gives up (nullopt) when that never ends.
std::optional<LineList> ReplaceFromTheTop(LineList article, const LineList& find,
                                          const LineList& replacement) {
  int p = 0;
  for (int rounds = 0; FindBlock(0, article, find, p); ++rounds) {
    if (rounds > 1000) return std::nullopt;
    article.erase(article.begin() + p, article.begin() + p + LineCount(find));
    InsertBlock(p, article, replacement);
  }
  return article;
}

LineList RandomLines(std::mt19937& random, int max_count) {
  static const char* const kLines[] = {"a", "b", "c"};
  LineList lines(std::uniform_int_distribution<int>(0, max_count)(random));
  for (auto& line : lines) line = kLines[std::uniform_int_distribution<int>(0, 2)(random)];
  return lines;
}

TEST(ReplaceBlockEverywhere, ResumingGivesTheSameResultAsSearchingFromTheTop) {
  std::mt19937 random(20261207);
  int compared = 0;
  for (int round = 0; round < 20000; ++round) {
    LineList find = RandomLines(random, 3);
    LineList replacement = RandomLines(random, 4);
    int unused = 0;
    if (find.empty() || FindBlock(0, replacement, find, unused)) continue;
    LineList article = RandomLines(random, 30);
    auto expected = ReplaceFromTheTop(article, find, replacement);
    if (!expected) continue;
    ReplaceBlockEverywhere(article, find, replacement, nullptr);
    ASSERT_EQ(article, *expected) << "round " << round;
    ++compared;
  }
  EXPECT_GT(compared, 10000);
}

TEST(ReplaceBlockEverywhere, OccurrenceFormedWithTheLinesAboveIsReplacedToo) {
  // Each "c" "a" "b" -> "a" "b" forms a new occurrence with the "c" above it.
  LineList article = {"x", "c", "c", "c", "a", "b", "a", "b", "y"};
  const LineList find = {"c", "a", "b"};
  const LineList replacement = {"a", "b"};
  auto expected = ReplaceFromTheTop(article, find, replacement);
  ReplaceBlockEverywhere(article, find, replacement, nullptr);
  EXPECT_EQ(article, (LineList{"x", "a", "b", "a", "b", "y"}));
  EXPECT_EQ(article, expected);
}

TEST(ReplaceBlockEverywhere, AWindowThatEndsTheRunLeavesTheArticleWhole) {
  MemoryWindow window;
  // The first chance may come before any change; the second comes midway.
  int pumps = 0;
  window.on_pump = [&] {
    if (++pumps == 2) throw Cancelled();
  };
  LineList article(100000, "a");
  EXPECT_THROW(ReplaceBlockEverywhere(article, {"a"}, {"b"}, &window), Cancelled);
  ASSERT_EQ(article.size(), 100000u);
  EXPECT_EQ(article.front(), "b");
  EXPECT_EQ(article.back(), "a");
}

TEST(DeleteBlockEverywhere, TheLineThatMovesUpIsNotCheckedAsAStart) {
  LineList article = {"a", "b", "a", "b", "a", "b", "x", "a", "b"};
  DeleteBlockEverywhere(article, {"a", "b"});
  // The copy that moves up into a removed one's place stays; the next goes.
  EXPECT_EQ(article, (LineList{"a", "b", "x"}));
  article = {"a", "a", "a"};
  DeleteBlockEverywhere(article, {"a"});
  EXPECT_EQ(article, (LineList{"a"}));
}

}  // namespace
}  // namespace tavex

namespace tavex {
namespace {

TEST(ReplaceBlockEverywhere, ARuleThatGrowsWithoutEndFailsAndLeavesTheArticleWhole) {
  // Every replacement forms a new occurrence below it: "a b" -> "b b a a" on
  // "a b b" never ends, whichever way the search runs.
  LineList article = {"x", "a", "b", "b"};
  try {
    ReplaceBlockEverywhere(article, {"a", "b"}, {"b", "b", "a", "a"}, nullptr);
    FAIL() << "the rule ended";
  } catch (const Failure& failure) {
    EXPECT_NE(std::string(failure.what()).find("never ends"), std::string::npos);
  }
  EXPECT_EQ(article.front(), "x");
  EXPECT_GT(article.size(), 1'000'000u);
}

}  // namespace
}  // namespace tavex
