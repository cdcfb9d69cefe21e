#include <gtest/gtest.h>

#include "rule_folder.h"
#include "rules/rule_passes.h"
#include "support/shown_place.h"

namespace tavex {
namespace {

using test::FailureOf;
using test::RuleFolder;

const LineList kArticle = {"a", "<table>", "x", "y", "</table>", "b"};

LineList Cut(const LineList& rule, LineList article = kArticle) {
  RuleFolder rules;
  rules.Rule("rule.bet", rule);
  ApplyCutRules(article, rules.window);
  return article;
}

TEST(CutRules, EachMarkerKeepsOrRemovesItsFragments) {
  EXPECT_EQ(Cut({"<table>", "<<*<<", "</table>"}), (LineList{"a", "</table>", "b"}));
  EXPECT_EQ(Cut({"<table>", "<<*>>", "</table>"}), (LineList{"a", "b"}));
  EXPECT_EQ(Cut({"<table>", ">>*<<", "</table>"}), (LineList{"a", "<table>", "</table>", "b"}));
  EXPECT_EQ(Cut({"<table>", ">>*>>", "</table>"}), (LineList{"a", "<table>", "b"}));
}

TEST(CutRules, FragmentsAreNormalisedAndMatchWholeLines) {
  // Written on one line in capitals, the fragments match the lower-case tag lines.
  EXPECT_EQ(Cut({"a<TABLE>", ">>*>>", "y</TABLE>"}), (LineList{"a", "<table>", "b"}));
  // Text keeps its case.
  EXPECT_EQ(Cut({"A<TABLE>", ">>*>>", "y</TABLE>"}), kArticle);
  // A tag with attributes is not the bare tag.
  LineList with_attributes = {"<table border=0>", "x", "</table>"};
  EXPECT_EQ(Cut({"<table>", "<<*>>", "</table>"}, with_attributes), with_attributes);
}

TEST(CutRules, EmptyStartFragmentIsFoundAtTheTop) {
  EXPECT_EQ(Cut({"<<*<<", "</table>"}), (LineList{"</table>", "b"}));
  EXPECT_EQ(Cut({"<<*>>", "</table>"}), (LineList{"b"}));
}

TEST(CutRules, EmptyEndFragmentRemovesNothing) {
  for (const char* marker : {"<<*<<", "<<*>>", ">>*<<", ">>*>>"})
    EXPECT_EQ(Cut({"<table>", marker}), kArticle) << marker;
}

TEST(CutRules, EndFragmentEqualToStartIsFoundOnTheSameLine) {
  EXPECT_EQ(Cut({"<table>", "<<*>>", "<table>"}), (LineList{"a", "x", "y", "</table>", "b"}));
  for (const char* marker : {"<<*<<", ">>*<<", ">>*>>"})
    EXPECT_EQ(Cut({"<table>", marker, "<table>"}), kArticle) << marker;
}

TEST(CutRules, EndFragmentAboveOrInsideTheStartRemovesNothing) {
  EXPECT_EQ(Cut({"</table>", "<<*>>", "a"}), kArticle);
  // The end fragment "y" lies inside the start fragment "x", "y".
  EXPECT_EQ(Cut({"x", "y", ">>*<<", "y"}), kArticle);
  EXPECT_EQ(Cut({"x", "y", ">>*>>", "y"}), kArticle);
}

TEST(CutRules, ActsOnceAndTheNextRuleSeesItsResult) {
  LineList article = {"<b>", "1", "</b>", "<b>", "2", "</b>", "<i>"};
  EXPECT_EQ(Cut({"<b>", "<<*>>", "</b>"}, article), (LineList{"<b>", "2", "</b>", "<i>"}));

  RuleFolder rules;
  // The second rule finds "2" only because the first removed the stretch above
  // it, and searches again from the top.
  rules.Rule("1.bet", {"<b>", "<<*>>", "</b>"});
  rules.Rule("2.bet", {"<<*<<", "2"});
  ApplyCutRules(article, rules.window);
  EXPECT_EQ(article, (LineList{"2", "</b>", "<i>"}));
}

TEST(CutRules, RuleWithoutMarkerFailsWithTheLineCount) {
  EXPECT_EQ(FailureOf([] {
              Cut({"<table>", "<<*>> ", "</table>"});
            }),
            test::ShownPlace("List index out of bounds (3)\nHtmClear/rule.bet"));
  EXPECT_EQ(FailureOf([] { Cut({}); }),
            test::ShownPlace("List index out of bounds (0)\nHtmClear/rule.bet"));
}

TEST(DeleteRules, BackToBackCopiesLoseOnlyTheFirst) {
  RuleFolder rules;
  rules.Rule("ad.txt", {"<p>", "Ad", "</p>"});
  LineList article = {"<p>", "Ad", "</p>", "<p>", "Ad", "</p>", "x", "<p>", "Ad", "</p>"};
  ApplyDeleteRules(article, rules.window);
  EXPECT_EQ(article, (LineList{"<p>", "Ad", "</p>", "x"}));
}

TEST(DeleteRules, OneLineAndManyLineFragmentsRemoveTheSameLines) {
  const LineList article = {"<p>", "Ad", "</p>", "x", "<p>", "ad", "</p>"};
  const LineList fragments[2] = {{"<P>Ad</P>"}, {"<p>", "", "  Ad ", "</p>"}};
  for (const LineList& fragment : fragments) {
    RuleFolder rules;
    rules.Rule("ad.txt", fragment);
    LineList result = article;
    ApplyDeleteRules(result, rules.window);
    EXPECT_EQ(result, (LineList{"x", "<p>", "ad", "</p>"}));
  }
}

TEST(DeleteRules, IssueNumberTokenStaysAsWritten) {
  RuleFolder rules;
  rules.Rule("n.txt", {"No #x1"});
  LineList article = {"No 12", "No #x1"};
  ApplyDeleteRules(article, rules.window);
  EXPECT_EQ(article, (LineList{"No 12"}));
}

TEST(DeleteRules, BlankOrUnclosedFragments) {
  RuleFolder rules;
  rules.Rule("blank.txt", {"", "   "});
  // A tag never closed leaves the fragment as written, matched line by line.
  rules.Rule("open.txt", {"<B", "x"});
  LineList article = {"<b x>", "<B", "x", "y"};
  ApplyDeleteRules(article, rules.window);
  EXPECT_EQ(article, (LineList{"<b x>", "y"}));
}

}  // namespace
}  // namespace tavex
