#include "dialog/review_state.h"

#include <gtest/gtest.h>

#include "app/memory_window.h"

namespace tavex {
namespace {

TArticleEntry Article(const std::string& title, int page) {
  std::string name = std::to_string(page) + ".htm";
  return {title, "<a href=\"..\\pub\\" + name + "\">", "out\\pub\\" + name, true};
}

// Three rubrics: Net with two articles, Soft with none, Misc with one.
class ReviewStateTest : public ::testing::Test {
 protected:
  ReviewStateTest() {
    window_.SetRowCount(4);
    window_.SetCell(1, 1, "Net");
    window_.SetCell(1, 2, "Soft");
    window_.SetCell(1, 3, "Misc");
    table_.Rubrics = {{Article("Alpha", 0), Article("Beta", 1)}, {}, {Article("Gamma", 2)}};
  }
  std::vector<std::string> Titles() const {
    std::vector<std::string> titles;
    for (const auto& item : state_.FillArticleList().Items) titles.push_back(item.Title);
    return titles;
  }
  MemoryWindow window_;
  ArticleTable table_;
  TReviewState state_{window_, table_};
};

TEST_F(ReviewStateTest, StepsThroughEveryRubricAndStopsAtBothEnds) {
  state_.PreviousRubric();
  EXPECT_EQ(state_.CurrentRubric(), 0);
  state_.NextRubric();
  EXPECT_EQ(state_.FillArticleList().Label, "Soft");
  EXPECT_TRUE(Titles().empty());  // an empty rubric is shown like any other
  state_.NextRubric();
  state_.NextRubric();
  EXPECT_EQ(state_.CurrentRubric(), 2);
  EXPECT_EQ(Titles(), std::vector<std::string>{"Gamma"});
  state_.PreviousRubric();
  EXPECT_EQ(state_.CurrentRubric(), 1);
  state_.Activate();
  EXPECT_EQ(state_.CurrentRubric(), 0);
}

TEST_F(ReviewStateTest, ARowAddedAfterTheBuildShowsAnEmptyList) {
  window_.SetRowCount(5);
  window_.SetCell(1, 4, "New");
  for (int i = 0; i < 4; ++i) state_.NextRubric();
  EXPECT_EQ(state_.CurrentRubric(), 3);
  EXPECT_EQ(state_.FillArticleList().Label, "New");
  EXPECT_TRUE(Titles().empty());
  state_.SetAllIncluded(false);  // nothing to change, nothing to break
  state_.SetIncluded(0, false);
  EXPECT_FALSE(state_.ArticlePath(0));
}

TEST_F(ReviewStateTest, AGridWithoutDataRowsStaysOnRubricZero) {
  window_.SetRowCount(1);
  state_.NextRubric();
  EXPECT_EQ(state_.CurrentRubric(), 0);
}

TEST_F(ReviewStateTest, TogglingReachesOnlyThatArticleOfTheCurrentRubric) {
  state_.SetIncluded(1, false);
  EXPECT_TRUE(table_.Rubrics[0][0].Included);
  EXPECT_FALSE(table_.Rubrics[0][1].Included);
  state_.SetIncluded(5, false);  // past the list
  state_.SetIncluded(-1, false);
  EXPECT_TRUE(table_.Rubrics[0][0].Included);
  EXPECT_TRUE(table_.Rubrics[2][0].Included);
}

TEST_F(ReviewStateTest, ArticlePathNeedsASelectedItem) {
  EXPECT_EQ(state_.ArticlePath(1), "out\\pub\\1.htm");
  EXPECT_FALSE(state_.ArticlePath(-1));
  EXPECT_FALSE(state_.ArticlePath(2));
  state_.NextRubric();
  state_.NextRubric();
  EXPECT_EQ(state_.ArticlePath(0), "out\\pub\\2.htm");
}

}  // namespace
}  // namespace tavex
