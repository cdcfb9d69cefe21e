#include "clean/site_name.h"

#include <gtest/gtest.h>

#include <string>

#include "app/memory_window.h"
#include "clean/clean_article.h"
#include "clean/line_helpers.h"
#include "support/temp_dir.h"

namespace tavex {
namespace {

LineList PageStating(const std::string& meta) {
  LineList lines =
      SplitIntoLines("<html><head>" + meta + "<title>x</title></head><body></body></html>");
  SplitTagsToLines(lines);
  return lines;
}

// A page stating its site, "РИА Новости"; built when a test runs, after the
// code page tables are set up.
LineList Ria() {
  return PageStating(
      "<meta property=\"og:site_name\" content=\"\xd0\xc8\xc0 \xcd\xee\xe2\xee\xf1\xf2\xe8\">");
}

TEST(SiteName, EachSeparatorAtTheEnd) {
  const std::string site = "\xd0\xc8\xc0 \xcd\xee\xe2\xee\xf1\xf2\xe8";  // РИА Новости
  for (const char* separator :
       {" | ", " - ", " \x97 ", " &mdash; ", " \x96 ", " &ndash; ", " :: ", " \xab ", " &laquo; "})
    EXPECT_EQ(TrimSiteName("Blast at a plant" + std::string(separator) + site, Ria()),
              "Blast at a plant")
        << separator;
}

TEST(SiteName, EachSeparatorAtTheStartWithLetterCaseIgnored) {
  const std::string site = "\xf0\xe8\xe0 \xcd\xce\xc2\xce\xd1\xd2\xc8";  // риа НОВОСТИ
  for (const char* separator : {" | ", " - ", " \x97 ", " :: ", " \xab "})
    EXPECT_EQ(TrimSiteName(site + separator + "Blast at a plant", Ria()), "Blast at a plant")
        << separator;
}

TEST(SiteName, ApplicationNameCountsAndUnquotedContentIsRead) {
  const LineList page = PageStating("<meta name=application-name content=BBC>");
  EXPECT_EQ(StatedSiteNames(page), std::vector<std::string>{"bbc"});
  EXPECT_EQ(TrimSiteName("Gun laws - BBC", page), "Gun laws");
  const LineList both = PageStating(
      "<meta property=\"og:site_name\" content=\"BBC News\"/><meta name=\"application-name\" "
      "content=\"BBC\"/>");
  EXPECT_EQ(TrimSiteName("Gun laws | BBC", both), "Gun laws");
  EXPECT_EQ(TrimSiteName("Gun laws | BBC News", both), "Gun laws");
}

TEST(SiteName, TitlesThatDoNotEndInTheStatedNameStay) {
  EXPECT_EQ(TrimSiteName("Gun laws | CNN", PageStating("<meta property=og:site_name content=BBC>")),
            "Gun laws | CNN");
  // the name without a separator, inside a word, or as the whole title
  const LineList bbc = PageStating("<meta property=og:site_name content=BBC>");
  EXPECT_EQ(TrimSiteName("Gun laws BBC", bbc), "Gun laws BBC");
  EXPECT_EQ(TrimSiteName("Gun laws -BBC", bbc), "Gun laws -BBC");
  EXPECT_EQ(TrimSiteName("BBC", bbc), "BBC");
  EXPECT_EQ(TrimSiteName(" | BBC", bbc), " | BBC");
  // no stated name: nothing is guessed
  EXPECT_EQ(TrimSiteName("Gun laws | BBC", PageStating("")), "Gun laws | BBC");
  EXPECT_EQ(
      TrimSiteName("Gun laws | BBC", PageStating("<meta property=og:site_name content=\"\">")),
      "Gun laws | BBC");
}

// In the pipeline: the title the builder lists (and the book takes) and the
// heading are short; with the switch off both keep the site's name.
TEST(SiteName, ThePipelineHandsOnTheShortTitle) {
  test::TempDir work;
  test::ScopedCurrentDir cwd(work.path());
  std::filesystem::create_directories(work.path() / "HtmClear");
  std::filesystem::create_directories(work.path() / "out" / "pub");
  std::filesystem::create_directories(work.path() / "out" / "images");
  test::WriteFile(work.path() / "a.htm",
                  "<html><head><meta property=\"og:site_name\" content=\"Daily\">"
                  "<title>Rain all week | Daily</title></head><body><p>Text</p></body></html>");
  MemoryWindow window;
  window.SetFieldText(Field::TargetDir, work / "out");
  EXPECT_EQ(CleanArticle(work / "a.htm", work / "out/pub/0.htm", window), "Rain all week | Daily");
  window.SetChecked(Switch::TrimSiteName, true);
  EXPECT_EQ(CleanArticle(work / "a.htm", work / "out/pub/0.htm", window), "Rain all week");
  const std::string page = test::ReadFile(work.path() / "out/pub/0.htm");
  EXPECT_NE(page.find("<h2 align=\"center\">Rain all week</h2>"), std::string::npos);
}

}  // namespace
}  // namespace tavex
