#include "rules/rule_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "rule_folder.h"
#include "rules/rule_passes.h"
#include "support/file_times.h"
#include "support/shown_place.h"

namespace tavex {
namespace {

using test::FailureOf;
using test::RuleFolder;

namespace fs = std::filesystem;

// Dates a file or folder an hour back, as one the editor made long ago.
void Settle(const fs::path& path) {
  test::SetModifiedTime(path, std::chrono::system_clock::now() - std::chrono::hours(1));
}

TEST(RuleFolder, ComparesTheExtensionInLowerCaseAndKeepsListedNames) {
  RuleFolder rules;
  rules.Rule("Rule.BET", {"x"});
  rules.Rule("rule.bet.old", {"x"});
  rules.Rule("other.txt", {"x"});
  rules.Rule("bet", {"x"});
  TRuleFolder folder(rules.window);
  EXPECT_EQ(folder.FilesOf(".bet"), (LineList{"HtmClear\\Rule.BET"}));
  EXPECT_EQ(folder.FilesOf(".TXT"), (LineList{"HtmClear\\other.txt"}));
}

TEST(RuleFolder, SearchesSubFoldersWhereTheCaseFoldedListingMeetsThem) {
  RuleFolder rules;
  rules.Rule("b.cha", {"x"});
  rules.Rule("A.cha", {"x"});
  rules.Rule("M/z.cha", {"x"});
  rules.Rule("M/deep/y.cha", {"x"});
  rules.Rule("z.cha", {"x"});
  TRuleFolder folder(rules.window);
  EXPECT_EQ(folder.FilesOf(".cha"),
            (LineList{"HtmClear\\A.cha", "HtmClear\\b.cha", "HtmClear\\M\\deep\\y.cha",
                      "HtmClear\\M\\z.cha", "HtmClear\\z.cha"}));
  // Messages may run before each of the seven entries.
  EXPECT_GE(rules.window.pump_count(), 7);
}

TEST(RuleFolder, MissingFolderAndLinkLoopsAddNothingMore) {
  RuleFolder rules;
  EXPECT_TRUE(TRuleFolder(rules.window).FilesOf(".ins").empty());

  rules.Rule("a.ins", {"x"});
  if (!test::MakeLink(rules.root() / "HtmClear", rules.root() / "HtmClear" / "loop"))
    GTEST_SKIP() << "this system makes no symbolic links";
  EXPECT_EQ(TRuleFolder(rules.window).FilesOf(".ins"), (LineList{"HtmClear\\a.ins"}));
}

TEST(RuleFolder, ASettledListingServesLaterArticlesUntilAFolderInItChanges) {
  RuleFolder rules;
  const fs::path root = rules.root() / "HtmClear";
  // No rule folder yet, then one made during the build.
  EXPECT_TRUE(TRuleFolder(rules.window).FilesOf(".bet").empty());
  rules.Rule("a.bet", {"x"});
  rules.Rule("sub/b.bet", {"x"});
  const auto settle_all = [&] {
    Settle(root / "sub");
    Settle(root);
  };
  settle_all();
  const LineList both = {"HtmClear\\a.bet", "HtmClear\\sub\\b.bet"};
  EXPECT_EQ(TRuleFolder(rules.window).FilesOf(".bet"), both);

  // Nothing changed: the next article takes the kept listing without a walk
  // (a walk lets messages run before each entry).
  const long pumps = rules.window.pump_count();
  EXPECT_EQ(TRuleFolder(rules.window).FilesOf(".bet"), both);
  EXPECT_EQ(rules.window.pump_count(), pumps);

  // A file added deep in the tree moves only its own folder's stamp.
  rules.Rule("sub/c.bet", {"x"});
  EXPECT_EQ(TRuleFolder(rules.window).FilesOf(".bet"),
            (LineList{"HtmClear\\a.bet", "HtmClear\\sub\\b.bet", "HtmClear\\sub\\c.bet"}));
  // Changed just now, that folder is walked again for every article.
  const long fresh = rules.window.pump_count();
  TRuleFolder(rules.window).FilesOf(".bet");
  EXPECT_GT(rules.window.pump_count(), fresh);

  settle_all();
  EXPECT_EQ(TRuleFolder(rules.window).FilesOf(".bet").size(), 3u);
  fs::rename(root / "sub" / "b.bet", root / "sub" / "b.bet.off");
  EXPECT_EQ(TRuleFolder(rules.window).FilesOf(".bet"),
            (LineList{"HtmClear\\a.bet", "HtmClear\\sub\\c.bet"}));

  // The rule folder replaced by another of the same name, dated the same.
  settle_all();
  EXPECT_EQ(TRuleFolder(rules.window).FilesOf(".bet").size(), 2u);
  const auto when = std::chrono::system_clock::now() - std::chrono::hours(2);
  test::SetModifiedTime(root, when);
  EXPECT_EQ(TRuleFolder(rules.window).FilesOf(".bet").size(), 2u);
  fs::rename(root, rules.root() / "HtmClear.old");
  rules.Rule("new.bet", {"x"});
  test::SetModifiedTime(root, when);
  EXPECT_EQ(TRuleFolder(rules.window).FilesOf(".bet"), (LineList{"HtmClear\\new.bet"}));
}

TEST(RuleFolder, AFolderReachedThroughALinkIsWatchedWhereItLies) {
  RuleFolder rules;
  rules.Rule("a.txt", {"x"});
  const fs::path shared = rules.root() / "shared";
  fs::create_directories(shared);
  if (!test::MakeLink(shared, rules.root() / "HtmClear" / "shared"))
    GTEST_SKIP() << "this system makes no symbolic links";
  Settle(shared);
  Settle(rules.root() / "HtmClear");
  EXPECT_EQ(TRuleFolder(rules.window).FilesOf(".txt"), (LineList{"HtmClear\\a.txt"}));
  test::WriteFile(shared / "b.txt", "x");
  EXPECT_EQ(TRuleFolder(rules.window).FilesOf(".txt"),
            (LineList{"HtmClear\\a.txt", "HtmClear\\shared\\b.txt"}));
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
            test::ShownPlace(
                "Cannot open file HtmClear\\b.txt\nHtmClear/b.txt: No such file or directory"));
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

TEST(RulePasses, AFailingRuleNamesItsFileAsListedOnASecondLine) {
  RuleFolder rules;
  LineList article = {"a"};
  rules.Rule("sub/Bad.ins", {"a", "b"});  // an anchor rule without a marker
  EXPECT_EQ(FailureOf([&] { ApplyInsertRules(article, rules.window); }),
            test::ShownPlace("List index out of bounds (2)\nHtmClear/sub/Bad.ins"));
  rules.Rule("sub/number.ins", {"<*>abc", "x"});
  std::filesystem::remove(rules.root() / "HtmClear/sub/Bad.ins");
  EXPECT_EQ(FailureOf([&] { ApplyInsertRules(article, rules.window); }),
            test::ShownPlace("'abc' is not a valid integer value\nHtmClear/sub/number.ins"));
  // The replacement keeps forming new occurrences further down.
  rules.Rule("grow.cha", {"a", "b", "<<*>>", "b", "b", "a", "a"});
  LineList growing = {"x", "a", "b", "b"};
  const std::string grew = FailureOf([&] { ApplyReplaceRules(growing, rules.window); });
  EXPECT_EQ(grew.substr(0, grew.find(':')), "A replace rule never ends");
  EXPECT_EQ(grew.substr(grew.find('\n')), test::ShownPlace("\nHtmClear/grow.cha"));
}

TEST(RuleFolder, ListedOnceForAllPassesOfAnArticleAndAnewForTheNext) {
  RuleFolder rules;
  rules.Rule("one.cha", {"x"});
  TRuleFolder article_rules(rules.window);
  EXPECT_EQ(article_rules.FilesOf(".CHA"), (LineList{"HtmClear\\one.cha"}));
  // Added after the article's first pass: the article's later passes keep
  // the listing they have, the next article finds the file.
  rules.Rule("late.ins", {"<*>0", "<hr>"});
  EXPECT_TRUE(article_rules.FilesOf(".ins").empty());
  LineList article = {"a"};
  ApplyInsertRules(article, rules.window, &article_rules);
  EXPECT_EQ(article, (LineList{"a"}));
  TRuleFolder next_article(rules.window);
  ApplyInsertRules(article, rules.window, &next_article);
  EXPECT_EQ(article, (LineList{"<hr>", "a"}));
  EXPECT_TRUE(next_article.FilesOf(".htm").empty());  // not a kind of rule
}

TEST(LoadRuleFile, ReadsAgainOnlyWhatChanged) {
  RuleFolder rules;
  const fs::path file = rules.root() / "HtmClear" / "a.txt";
  const std::string path = "HtmClear\\a.txt";
  const auto settle = [&] { Settle(file); };
  rules.Rule("a.txt", {"<a>"});
  settle();
  const auto first = LoadRuleFile(path);
  EXPECT_EQ(*first, (LineList{"<a>"}));
  EXPECT_EQ(LoadRuleFile(path), first);  // unchanged: the same lines, not read again

  // The same size, an old modification time: the changed record still shows.
  rules.Rule("a.txt", {"<b>"});
  settle();
  EXPECT_EQ(*LoadRuleFile(path), (LineList{"<b>"}));
  EXPECT_EQ(*first, (LineList{"<a>"}));  // an earlier answer stays valid

  // Changed just now: read on every call until it settles, so an edit in the
  // same tick of the file times is never missed.
  rules.Rule("a.txt", {"<c>"});
  const auto fresh = LoadRuleFile(path);
  EXPECT_EQ(*fresh, (LineList{"<c>"}));
  EXPECT_NE(LoadRuleFile(path), fresh);

  fs::remove(file);
  EXPECT_EQ(FailureOf([&] { LoadRuleFile(path); }),
            test::ShownPlace(
                "Cannot open file HtmClear\\a.txt\nHtmClear/a.txt: No such file or directory"));
}

}  // namespace
}  // namespace tavex
