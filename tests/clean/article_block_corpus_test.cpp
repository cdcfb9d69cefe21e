// The article block over real saved pages: pages laid out in tables come out
// as the content-table pass makes them, a forum keeps its posts and a results
// page its results tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/memory_window.h"
#include "clean/clean_article.h"
#include "clean/line_list.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

const fs::path kCorpus = fs::path(MYTAVEX_SHARED_DIR) / "corpus";

class ArticleBlockCorpus : public ::testing::Test {
 protected:
  ArticleBlockCorpus() : cwd_(work_.path()) {
    fs::create_directories(work_.path() / "HtmClear");
    fs::create_directories(work_.path() / "out" / "pub");
    fs::create_directories(work_.path() / "out" / "images");
    window_.SetFieldText(Field::TargetDir, work_ / "out");
  }
  void SetUp() override {
    if (!fs::exists(kCorpus)) GTEST_SKIP() << "no corpus at " << kCorpus;
  }
  LineList Clean(const std::string& name, bool block) {
    window_.SetChecked(Switch::PickArticleBlock, block);
    ResetPictureRegister();
    const std::string target = work_ / "out/pub/0.htm";
    CleanArticle((kCorpus / name / "source.html").string(), target, window_);
    return SplitIntoLines(test::ReadFile(target));
  }
  static long CountBeginning(const LineList& lines, std::string_view head) {
    return std::count_if(lines.begin(), lines.end(),
                         [&](const std::string& line) { return line.starts_with(head); });
  }

  test::TempDir work_;
  test::ScopedCurrentDir cwd_;
  MemoryWindow window_;
};

TEST_F(ArticleBlockCorpus, TableLayoutPagesComeOutAsTheTablePassMakesThem) {
  for (const char* name : {"daniel-waddle/bankfax-ru-2012", "daniel-waddle/newsru-com-2012",
                           "daniel-waddle/novopol-ru-2011", "daniel-waddle/vestipk-ru-2012"})
    EXPECT_EQ(Clean(name, true), Clean(name, false)) << name;
}

TEST_F(ArticleBlockCorpus, TheForumKeepsItsPosts) {
  const std::string name = "kostya-lexbor/phpnuke-forum-bad-charset";
  const LineList off = Clean(name, false);
  const LineList on = Clean(name, true);
  // each post is a cell of class "postbody" (phpBB's markup)
  EXPECT_EQ(CountBeginning(off, "<span class=\"postbody\""), 0);
  EXPECT_GE(CountBeginning(on, "<span class=\"postbody\""), 15);
  EXPECT_EQ(CountBeginning(on, "<select"), 0);  // the jump form is gone
}

TEST_F(ArticleBlockCorpus, TheResultsPageKeepsItsResultsTables) {
  const std::string name = "trafilatura/leichtathletik-ostalbkreis";
  EXPECT_EQ(CountBeginning(Clean(name, false), "<table"), 1);
  const LineList on = Clean(name, true);
  EXPECT_GE(CountBeginning(on, "<table"), 300);
  EXPECT_EQ(CountBeginning(on, "<nav"), 0);
}

TEST_F(ArticleBlockCorpus, DivPagesLoseTheirMenus) {
  const LineList off = Clean("readability/bbc-1", false);
  const LineList on = Clean("readability/bbc-1", true);
  EXPECT_GT(CountBeginning(off, "<nav"), 0);
  EXPECT_EQ(CountBeginning(on, "<nav"), 0);
  EXPECT_NE(std::find(on.begin(), on.end(),
                      "However, Mr Obama said race relations had improved "
                      "during his presidency."),
            on.end());
}

}  // namespace
}  // namespace tavex
