#include "rules/rule_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "rule_folder.h"
#include "rules/rule_passes.h"

namespace tavex {
namespace {

using test::FailureOf;
using test::RuleFolder;

TEST(FindRuleFiles, ComparesTheExtensionInLowerCaseAndKeepsListedNames) {
  RuleFolder rules;
  rules.Rule("Rule.BET", {"x"});
  rules.Rule("rule.bet.old", {"x"});
  rules.Rule("other.txt", {"x"});
  rules.Rule("bet", {"x"});
  LineList found;
  FindRuleFiles("HtmClear", ".bet", found, &rules.window);
  EXPECT_EQ(found, (LineList{"HtmClear\\Rule.BET"}));
}

TEST(FindRuleFiles, SearchesSubFoldersWhereTheCaseFoldedListingMeetsThem) {
  RuleFolder rules;
  rules.Rule("b.cha", {"x"});
  rules.Rule("A.cha", {"x"});
  rules.Rule("M/z.cha", {"x"});
  rules.Rule("M/deep/y.cha", {"x"});
  rules.Rule("z.cha", {"x"});
  LineList found;
  FindRuleFiles("HtmClear\\", ".cha", found, &rules.window);
  EXPECT_EQ(found, (LineList{"HtmClear\\A.cha", "HtmClear\\b.cha", "HtmClear\\M\\deep\\y.cha",
                             "HtmClear\\M\\z.cha", "HtmClear\\z.cha"}));
  // Messages may run before each of the seven entries.
  EXPECT_GE(rules.window.pump_count(), 7);
}

TEST(FindRuleFiles, MissingFolderAndLinkLoopsAddNothingMore) {
  RuleFolder rules;
  LineList found;
  FindRuleFiles("HtmClear", ".ins", found, &rules.window);
  EXPECT_TRUE(found.empty());

  rules.Rule("a.ins", {"x"});
  if (!test::MakeLink(rules.root() / "HtmClear", rules.root() / "HtmClear" / "loop"))
    GTEST_SKIP() << "this system makes no symbolic links";
  FindRuleFiles("HtmClear", ".ins", found, &rules.window);
  EXPECT_EQ(found, (LineList{"HtmClear\\a.ins"}));
}

TEST(RulePasses, RulesApplyInCaseFoldedNameOrder) {
  RuleFolder rules;
  // By bytes "B.cha" would come first and leave "<y>"; folded, "a.cha" does.
  rules.Rule("a.cha", {"<x>", "<<*>>", "<y>"});
  rules.Rule("B.cha", {"<y>", "<<*>>", "<z>"});
  LineList article = {"<x>"};
  ApplyReplaceRules(article, rules.window);
  EXPECT_EQ(article, (LineList{"<z>"}));
}

TEST(RulePasses, WithoutRuleFolderNothingChanges) {
  RuleFolder rules;
  const LineList before = {"<p>", "text", "</p>"};
  LineList article = before;
  ApplyCutRules(article, rules.window);
  ApplyDeleteRules(article, rules.window);
  ApplyReplaceRules(article, rules.window);
  ApplyInsertRules(article, rules.window);
  EXPECT_EQ(article, before);
}

TEST(RulePasses, RuleFilesWithCyrillicNamesAreOpenedByTheListedName) {
  RuleFolder rules;
  // "Реклама/Баннер.TXT" on disk (UTF-8 there, Windows-1251 in the program).
  rules.Rule(
      "\xd0\xa0\xd0\xb5\xd0\xba\xd0\xbb\xd0\xb0\xd0\xbc\xd0\xb0/"
      "\xd0\x91\xd0\xb0\xd0\xbd\xd0\xbd\xd0\xb5\xd1\x80.TXT",
      {"<i>"});
  LineList article = {"<i>", "x"};
  ApplyDeleteRules(article, rules.window);
  EXPECT_EQ(article, (LineList{"x"}));
}

TEST(RulePasses, UnreadableRuleFileFailsWithItsPath) {
  RuleFolder rules;
  rules.Rule("a.txt", {"<i>"});
  if (!test::MakeLink(rules.root() / "nowhere", rules.root() / "HtmClear" / "b.txt"))
    GTEST_SKIP() << "this system makes no symbolic links";
  LineList article = {"<i>"};
  EXPECT_EQ(FailureOf([&] { ApplyDeleteRules(article, rules.window); }),
            "Cannot open file HtmClear\\b.txt");
  EXPECT_TRUE(article.empty());  // the rule before it was applied
}

TEST(RulePasses, MessagesRunBeforeEachRuleFile) {
  RuleFolder rules;
  rules.Rule("a.txt", {"<a>"});
  rules.Rule("b.txt", {"<b>"});
  // A rule edited while the pass runs takes effect when its file comes up.
  rules.window.on_pump = [&] { rules.Rule("b.txt", {"<c>"}); };
  LineList article = {"<a>", "<b>", "<c>"};
  ApplyDeleteRules(article, rules.window);
  EXPECT_EQ(article, (LineList{"<b>"}));
}

}  // namespace
}  // namespace tavex
