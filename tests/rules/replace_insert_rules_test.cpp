#include <gtest/gtest.h>

#include "rule_folder.h"
#include "rules/rule_passes.h"
#include "support/shown_place.h"

namespace tavex {
namespace {

using test::FailureOf;
using test::RuleFolder;

LineList Replace(const LineList& rule, LineList article) {
  RuleFolder rules;
  rules.Rule("rule.cha", rule);
  ApplyReplaceRules(article, rules.window);
  return article;
}

LineList Insert(const LineList& rule, LineList article) {
  RuleFolder rules;
  rules.Rule("rule.ins", rule);
  ApplyInsertRules(article, rules.window);
  return article;
}

TEST(ReplaceRules, ReplacesEveryTagLineButNotText) {
  const LineList rule = {"<FONT SIZE=\"2\">", "<<*>>", "<font color=\"#660000\">"};
  EXPECT_EQ(Replace(rule, {"<font size=\"2\">", "<font size=\"2\">", "text", "<font size=\"2\">"}),
            (LineList{"<font color=\"#660000\">", "<font color=\"#660000\">", "text",
                      "<font color=\"#660000\">"}));
}

TEST(ReplaceRules, ManyLineFindByAnyNumberOfLines) {
  const LineList article = {"<b>", "x", "</b>", "y", "<b>", "x", "</b>"};
  EXPECT_EQ(Replace({"<b>x</b>", "<<*>>", "<i>", "z", "</i>"}, article),
            (LineList{"<i>", "z", "</i>", "y", "<i>", "z", "</i>"}));
  EXPECT_EQ(Replace({"<b>", "x", "</b>", "<<*>>"}, article), (LineList{"y"}));
  // Without a marker line the whole file is the find fragment: it is removed.
  EXPECT_EQ(Replace({"<b>", "x", "</b>"}, article), (LineList{"y"}));
}

TEST(ReplaceRules, IssueNumberTokenInBothFragments) {
  // Issue number 12; the token in any case and with any third character.
  EXPECT_EQ(Replace({"No #x1", "<<*>>", "<a href=\"n#X1.htm\">#xa"}, {"No 12", "No #x1"}),
            (LineList{"<a href=\"n12.htm\">", "12", "No #x1"}));
}

TEST(ReplaceRules, SelfReproducingRuleEnds) {
  EXPECT_EQ(Replace({"<i>", "<<*>>", "<b>", "<i>"}, {"<i>", "x", "<i>"}),
            (LineList{"<b>", "<i>", "x", "<b>", "<i>"}));
  // It resumes after the lines it inserted: the "<a>" "<b>" they form with the
  // line above is left.
  EXPECT_EQ(Replace({"<a>", "<b>", "<<*>>", "<b>", "<a>", "<b>"}, {"<a>", "<a>", "<b>"}),
            (LineList{"<a>", "<b>", "<a>", "<b>"}));
}

TEST(ReplaceRules, EmptyFindChangesNothingAndEmptyFileFails) {
  EXPECT_EQ(Replace({"", "<<*>>", "<b>"}, {"x"}), (LineList{"x"}));
  EXPECT_EQ(FailureOf([] { Replace({}, {"x"}); }),
            test::ShownPlace("List index out of bounds (0)\nHtmClear/rule.cha"));
}

TEST(InsertRules, PositionFormFromTopToEnd) {
  const LineList article = {"a", "b"};
  EXPECT_EQ(Insert({"<*>0", "<HR>"}, article), (LineList{"<hr>", "a", "b"}));
  EXPECT_EQ(Insert({"<*>  2", "<hr>"}, article), (LineList{"a", "b", "<hr>"}));
  EXPECT_EQ(Insert({"<*>1", "<hr>No #x1"}, article), (LineList{"a", "<hr>", "No 12", "b"}));
}

TEST(InsertRules, PositionOutsideTheArticleFailsOnlyWhenTheFragmentIsAbsent) {
  EXPECT_EQ(FailureOf([] {
              Insert({"<*>3", "<hr>"}, {"a", "b"});
            }),
            test::ShownPlace("List index out of bounds (3)\nHtmClear/rule.ins"));
  EXPECT_EQ(FailureOf([] {
              Insert({"<*>-1", "<hr>"}, {"a", "b"});
            }),
            test::ShownPlace("List index out of bounds (-1)\nHtmClear/rule.ins"));
  EXPECT_EQ(Insert({"<*>3", "<hr>"}, {"a", "<hr>"}), (LineList{"a", "<hr>"}));
}

TEST(InsertRules, PositionThatIsNoIntegerFails) {
  EXPECT_EQ(FailureOf([] {
              Insert({"<*>1 ", "<hr>"}, {"a"});
            }),
            test::ShownPlace("'1 ' is not a valid integer value\nHtmClear/rule.ins"));
  EXPECT_EQ(FailureOf([] {
              Insert({"<*>", "<hr>"}, {"a"});
            }),
            test::ShownPlace("'' is not a valid integer value\nHtmClear/rule.ins"));
  // Only 255 characters after "<*>" are read.
  std::string long_number = "<*>" + std::string(254, ' ') + "1x";
  EXPECT_EQ(Insert({long_number, "<hr>"}, {"a"}), (LineList{"a", "<hr>"}));
}

TEST(InsertRules, AnchorFormBeforeOrAfterTheFirstAnchor) {
  const LineList article = {"<html>", "</head>", "x", "</head>"};
  EXPECT_EQ(Insert({"</HEAD>", "<>*", "<meta>"}, article),
            (LineList{"<html>", "</head>", "<meta>", "x", "</head>"}));
  EXPECT_EQ(Insert({"</head>", "*<>", "<meta>"}, article),
            (LineList{"<html>", "<meta>", "</head>", "x", "</head>"}));
  // Only a marker that is exactly "<>*" means after.
  EXPECT_EQ(Insert({"</head>", "<>* ", "<meta>"}, article),
            (LineList{"<html>", "<meta>", "</head>", "x", "</head>"}));
  EXPECT_EQ(Insert({"<html>x", "<>*", "<meta>"}, article), article);
}

TEST(InsertRules, AnchorFormWithNothingBeforeTheMarkerInsertsAtTheTop) {
  EXPECT_EQ(Insert({"<>*", "<meta>"}, {"a", "b"}), (LineList{"<meta>", "a", "b"}));
  EXPECT_EQ(Insert({"*<>", "<meta>"}, {"a", "b"}), (LineList{"<meta>", "a", "b"}));
}

TEST(InsertRules, AFragmentIsNeverInsertedTwice) {
  RuleFolder rules;
  rules.Rule("one.ins", {"<*>0", "<p>", "No #X1", "</p>"});
  rules.Rule("two.ins", {"</p>", "<>*", "<p>No #x1</p>"});
  LineList article = {"a"};
  ApplyInsertRules(article, rules.window);
  ApplyInsertRules(article, rules.window);
  EXPECT_EQ(article, (LineList{"<p>", "No 12", "</p>", "a"}));
  // An empty fragment always occurs, so it inserts nothing.
  EXPECT_EQ(Insert({"a", "<>*", " "}, {"a"}), (LineList{"a"}));
}

TEST(InsertRules, RuleWithoutMarkerOrEmptyFails) {
  EXPECT_EQ(FailureOf([] {
              Insert({"a", "b", "<>", "*<"}, {"a"});
            }),
            test::ShownPlace("List index out of bounds (4)\nHtmClear/rule.ins"));
  EXPECT_EQ(FailureOf([] { Insert({}, {"a"}); }),
            test::ShownPlace("List index out of bounds (0)\nHtmClear/rule.ins"));
}

}  // namespace
}  // namespace tavex
