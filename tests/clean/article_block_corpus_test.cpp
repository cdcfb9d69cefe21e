// The article block over real saved pages: news portals laid out in tables
// keep their article without the columns around it, a table page where the
// content table chose well keeps that choice, a forum keeps its posts and a
// results page its results tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>

#include "app/memory_window.h"
#include "clean/clean_article.h"
#include "clean/line_list.h"
#include "platform/text.h"
#include "support/shared_corpus.h"
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
  void SetUp() override { MYTAVEX_NEED_CORPUS(fs::exists(kCorpus), kCorpus); }
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

// How well a cleaned page's words match the gold text of its case (the
// DANIEL corpus's reference.html, in UTF-8): the share of the page's words
// that are the gold's (precision) and of the gold's that the page holds
// (recall), counting each word as often as it occurs. The heading the cleaner
// adds repeats the title, which the gold leaves out.
struct TMatch {
  double Precision = 0, Recall = 0;
};

using TWords = std::map<std::string, int>;

// Words of Windows-1251 text with its tags (and the head) taken out, letter
// case folded: runs of Latin and Cyrillic letters and digits.
TWords WordsOf(std::string text) {
  text = std::regex_replace(text, std::regex("<head[^]*?</head>|<[^>]*>|&[a-z#0-9]+;"), " ");
  TWords words;
  std::string word;
  auto flush = [&] {
    if (!word.empty()) ++words[LowerCase(word)];
    word.clear();
  };
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') ||
        (byte >= 'A' && byte <= 'Z') || byte >= 0xC0 || byte == 0xA8 || byte == 0xB8)
      word += c;
    else
      flush();
  }
  flush();
  return words;
}

TMatch MatchWithGold(const LineList& page, const std::string& name) {
  std::string text;
  bool heading = false;
  for (const std::string& line : page) {
    if (!heading && line.starts_with("<h2 align=\"center\">")) {
      heading = true;
      continue;
    }
    text += line + "\n";
  }
  const TWords got = WordsOf(text);
  const TWords gold = WordsOf(Utf8To1251(test::ReadFile(kCorpus / name / "reference.html")));
  int common = 0, got_all = 0, gold_all = 0;
  for (const auto& [word, count] : got) {
    got_all += count;
    if (auto found = gold.find(word); found != gold.end()) common += std::min(count, found->second);
  }
  for (const auto& [word, count] : gold) gold_all += count;
  return {static_cast<double>(common) / std::max(1, got_all),
          static_cast<double>(common) / std::max(1, gold_all)};
}

// On these the table pass keeps the article together with the headlines,
// "read also" lists, comments and footer around it in the same cell.
TEST_F(ArticleBlockCorpus, NewsPortalsKeepTheArticleWithoutTheColumnsAroundIt) {
  for (const char* name :
       {"daniel-waddle/regnum-ru-2011-05a0d0", "daniel-waddle/ufa-kp-ru-2011-d98ea6",
        "daniel-waddle/life-comments-ua-2011-9ac1da", "daniel-waddle/newsland-ru-2011-74bdc9"}) {
    const TMatch off = MatchWithGold(Clean(name, false), name);
    const TMatch on = MatchWithGold(Clean(name, true), name);
    EXPECT_LT(off.Precision, 0.6) << name;
    EXPECT_GE(on.Precision, 0.9) << name;
    EXPECT_GE(on.Recall, 0.8) << name;
  }
}

// Where the content table holds the article and its comments stand in tables
// of their own, the table pass's choice stands, less what is never article
// text inside it.
TEST_F(ArticleBlockCorpus, TheContentTableStandsWhereItChoseTheArticle) {
  const std::string name = "daniel-waddle/bankfax-ru-2012";
  const LineList off = Clean(name, false);
  const LineList on = Clean(name, true);
  for (const std::string& line : on)
    EXPECT_NE(std::find(off.begin(), off.end(), line), off.end()) << line;
  EXPECT_GE(MatchWithGold(on, name).Recall, 0.99);
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
