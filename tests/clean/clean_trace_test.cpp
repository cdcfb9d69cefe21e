// The cleaner's account of a page: what a step changed, and the steps told
// in the pipeline's order without changing the page written.
#include "clean/clean_trace.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "app/memory_window.h"
#include "clean/clean_article.h"
#include "support/shared_corpus.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

TEST(DescribeChange, CountsTheLinesRemovedAndAddedAndNamesTheFirstTexts) {
  const LineList before = {"<html>", "<div class=menu>", "Home", "News", "</div>", "<p>", "Text",
                           "</p>",   "</html>"};
  // Removal only: the menu goes; its first text is named, not its tag.
  TStepChange change = DescribeChange(before, {"<html>", "<p>", "Text", "</p>", "</html>"});
  EXPECT_EQ(change.Removed, 4);
  EXPECT_EQ(change.Added, 0);
  EXPECT_EQ(change.FirstRemoved, "Home");
  EXPECT_EQ(change.FirstAdded, "");
  // A line put in another's place is one removed and one added; with no
  // text among them the first tag is named.
  LineList after = before;
  after[5] = "<p class=x>";
  change = DescribeChange(before, after);
  EXPECT_EQ(change.Removed, 1);
  EXPECT_EQ(change.Added, 1);
  EXPECT_EQ(change.FirstRemoved, "<p>");
  EXPECT_EQ(change.FirstAdded, "<p class=x>");
  // Lines that only moved count as neither; a text that stands twice counts twice.
  change = DescribeChange({"a", "b", "c"}, {"c", "b", "a", "b", "b"});
  EXPECT_EQ(change.Removed, 0);
  EXPECT_EQ(change.Added, 2);
  EXPECT_EQ(change.FirstAdded, "b");
  change = DescribeChange({}, {});
  EXPECT_EQ(change.Removed + change.Added, 0);
}

struct TRecording : TCleanTrace {
  void StepChanged(const TStepChange& change) override { changes.push_back(change); }
  std::vector<TStepChange> changes;
};

TEST(StepWatch, TellsAStepOnlyWhenItChangedThePage) {
  TRecording trace;
  LineList article = {"<p>", "One", "</p>"};
  TStepWatch watch(&trace, article);
  watch.After(kStepScripts);  // nothing changed
  article.push_back("Two");
  watch.After(kStepPictures);
  article.push_back("Three");
  watch.Resync();  // told by someone else
  watch.After(kStepHeading);
  ASSERT_EQ(trace.changes.size(), 1u);
  EXPECT_EQ(trace.changes[0].Step, kStepPictures);
  EXPECT_EQ(trace.changes[0].RuleLine, 0);
  EXPECT_EQ(trace.changes[0].Added, 1);
  EXPECT_EQ(trace.changes[0].FirstAdded, "Two");
  // Without a trace nothing is told and nothing kept.
  TStepWatch idle(nullptr, article);
  article.clear();
  idle.After(kStepPictures);
  EXPECT_EQ(idle.Trace(), nullptr);
}

// Real pages with every pass on: the page written is the same with a trace,
// and the steps come in the pipeline's order, each at most once.
TEST(CleanTrace, RealPagesComeOutTheSameAndTheStepsInOrder) {
  const fs::path corpus = fs::path(MYTAVEX_SHARED_DIR) / "corpus";
  MYTAVEX_NEED_CORPUS(fs::exists(corpus), corpus);
  test::TempDir work;
  test::ScopedCurrentDir cwd(work.path());
  // Each cleaning has an issue folder of its own: a picture the other one
  // copied is no picture of this run's.
  fs::create_directories(work.path() / "plain" / "images");
  fs::create_directories(work.path() / "traced" / "images");
  MemoryWindow window;
  for (Switch sw : {Switch::PickArticleBlock, Switch::ModernPictures, Switch::TrimSiteName,
                    Switch::UnlinkMissingPages})
    window.SetChecked(sw, true);
  const std::vector<std::string_view> order = {
      kStepNormalise,    kStepHeadRepair, kStepScripts, kStepWidenTables, kStepContentTable,
      kStepArticleBlock, kStepPictures,   kStepLinks,   kStepHeading};
  for (const char* name :
       {"readability/bbc-1", "daniel-waddle/regnum-ru-2011-05a0d0",
        "kostya-lexbor/phpnuke-forum-bad-charset", "apache-httpd/test-page-1.3-cp1251"}) {
    const std::string source = (corpus / name / "source.html").string();
    ResetPictureRegister();
    window.SetFieldText(Field::TargetDir, work / "plain");
    CleanArticle(source, work / "plain.htm", window);
    ResetPictureRegister();
    window.SetFieldText(Field::TargetDir, work / "traced");
    TRecording trace;
    CleanArticle(source, work / "traced.htm", window, {}, nullptr, &trace);
    EXPECT_EQ(test::ReadFile(work.path() / "traced.htm"), test::ReadFile(work.path() / "plain.htm"))
        << name;
    ASSERT_FALSE(trace.changes.empty()) << name;
    EXPECT_EQ(trace.changes.front().Step, kStepNormalise) << name;
    size_t last = 0;
    for (const TStepChange& change : trace.changes) {
      const auto at = std::find(order.begin(), order.end(), change.Step);
      ASSERT_NE(at, order.end()) << name << ": " << change.Step;
      const size_t index = static_cast<size_t>(at - order.begin());
      EXPECT_TRUE(index >= last) << name << ": " << change.Step;
      last = index + 1;
      EXPECT_GT(change.Removed + change.Added, 0) << name << ": " << change.Step;
    }
  }
}

}  // namespace
}  // namespace tavex
