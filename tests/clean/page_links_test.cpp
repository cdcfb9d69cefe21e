// Links between the articles of an issue and links out of it.
#include "clean/page_links.h"

#include <gtest/gtest.h>

#include "clean/page_address.h"

namespace tavex {
namespace {

TEST(SavedPageAddresses, CommentOgUrlAndCanonicalInThatOrder) {
  const std::string head =
      "<!DOCTYPE html>\r\n<!-- saved from url=(0036)https://www.example.com/news/a.html -->\r\n"
      "<HTML><HEAD><META charset=utf-8>\r\n"
      "<link rel=\"stylesheet alternate\" href=\"https://example.com/s.css\">\r\n"
      "<link REL='Canonical' href='https://example.com/news/a.html?amp;x=1&amp;y=2'>\r\n"
      "<meta name=\"description\" content=\"http://not-an-address.example\">\r\n"
      "<meta property=\"og:url\"\r\n content=\"https://www.example.com/news/a.html\">\r\n"
      "<meta property=\"og:url\" content=\"https://second.example/\">\r\n"
      "<meta property=og:url content=";  // a tag cut off at the end of the head
  EXPECT_EQ(SavedPageAddresses(head),
            (std::vector<std::string>{"https://www.example.com/news/a.html",
                                      "https://example.com/news/a.html?amp;x=1&y=2"}));
}

TEST(SavedPageAddresses, OnlyWebAddressesAndASavedFromLengthThatLies) {
  EXPECT_TRUE(SavedPageAddresses("<meta property=og:url content=\"/news/a.html\">"
                                 "<link rel=canonical href=\"file:///c:/a.htm\">")
                  .empty());
  EXPECT_EQ(SavedPageAddresses("<!-- saved from url=(0099)http://example.com/x -->"),
            std::vector<std::string>{"http://example.com/x"});
  EXPECT_EQ(SavedPageAddresses("<meta name=og:url content=HTTP://Example.COM/Y>"),
            std::vector<std::string>{"http://example.com/y"});
  EXPECT_TRUE(SavedPageAddresses("<!-- saved from url=(00x) http://a.example -->").empty());
  EXPECT_TRUE(SavedPageAddresses("").empty());
}

TEST(AddressKey, SpellingsOfOneAddressMeet) {
  const std::string key = AddressKey("https://www.example.com/news/a.html");
  EXPECT_EQ(key, "example.com/news/a.html");
  for (const char* same :
       {"http://example.com/news/a.html", "//www.example.com/news/a.html#c",
        " HTTPS://EXAMPLE.COM/news/a.html/ ", "https://example.com/news/a.html?"})
    EXPECT_EQ(AddressKey(same), key) << same;
  EXPECT_EQ(AddressKey("https://example.com/a?id=1&amp;p=2"), "example.com/a?id=1&p=2");
  EXPECT_NE(AddressKey("https://example.com/a?id=2"), AddressKey("https://example.com/a?id=1"));
  for (const char* none : {"mailto:a@example.com", "news/a.html", "/a.html", "ftp://x/y", ""})
    EXPECT_EQ(AddressKey(none), "") << none;
}

TEST(ResolveAddress, AsBrowsersResolveLinks) {
  const std::string base = "https://example.com/news/2024/a.html?x=1#top";
  EXPECT_EQ(ResolveAddress(base, "b.html"), "https://example.com/news/2024/b.html");
  EXPECT_EQ(ResolveAddress(base, "../2023/./c.html?p=2#s"),
            "https://example.com/news/2023/c.html?p=2#s");
  EXPECT_EQ(ResolveAddress(base, "../../../../d.html"), "https://example.com/d.html");
  EXPECT_EQ(ResolveAddress(base, "/root/e.html"), "https://example.com/root/e.html");
  EXPECT_EQ(ResolveAddress(base, "//cdn.example.org/f"), "https://cdn.example.org/f");
  EXPECT_EQ(ResolveAddress(base, "?y=2"), "https://example.com/news/2024/a.html?y=2");
  EXPECT_EQ(ResolveAddress(base, "#other"), "https://example.com/news/2024/a.html?x=1#other");
  EXPECT_EQ(ResolveAddress(base, "http://other.example/g"), "http://other.example/g");
  EXPECT_EQ(ResolveAddress(base, ".."), "https://example.com/news/");
  EXPECT_EQ(ResolveAddress("http://example.com", "h.html"), "http://example.com/h.html");
  EXPECT_EQ(ResolveAddress("news/a.html", "b.html"), "");
}

TEST(FileKey, SpellingsOfOnePathMeet) {
  EXPECT_EQ(FileKey("/src/News/./a.HTM"), "\\src\\news\\a.htm");
  EXPECT_EQ(FileKey("\\src\\news\\..\\culture\\\\b.htm"), "\\src\\culture\\b.htm");
  EXPECT_EQ(FileKey("src/news/../../../x.htm"), "..\\x.htm");
  EXPECT_EQ(FileKey("e:\\Tavex\\\xc0.htm"), "e:\\tavex\\\xe0.htm");  // Cyrillic capital folds
}

// Three articles: two in /src/news, one in /src/culture with its addresses.
class RewritePageLinksTest : public ::testing::Test {
 protected:
  RewritePageLinksTest() {
    issue_.Add("/src/news/a.htm", {"https://example.com/news/a.html"}, 0);
    issue_.Add("/src/news/b.htm", {}, 1);
    issue_.Add("/src/culture/c.htm",
               {"https://www.example.com/culture/c.html", "https://example.com/c-canonical"}, 2);
  }

  LineList Rewrite(LineList lines, const TIssueArticles* issue) {
    RewritePageLinks(lines, "/src/news/a.htm", issue);
    return lines;
  }

  TIssueArticles issue_;
};

TEST_F(RewritePageLinksTest, LinksToTheIssuesArticlesLeadToTheirPages) {
  EXPECT_EQ(
      Rewrite({"<a href=\"b.htm\" class=x>", "B", "</a>", "<a href=\"../culture/c.htm#part2\">",
               "C", "</a>", "<a href=\"http://example.com/culture/c.html\" title=\"c\">", "</a>",
               "<a href=https://example.com/c-canonical/>", "</a>",
               "<a href=\"../culture/c.html\">", "</a>",    // by this page's own address
               "<a href=\"/culture/c.html?\">", "</a>",     // an empty query is none
               "<a href=\"/culture/c.html?p=2\">", "</a>",  // a query is another page
               "<a href=\"a.htm#top\">", "</a>"},
              &issue_),
      (LineList{"<a href=\"..\\pub\\1.htm\" class=x>", "B", "</a>",
                "<a href=\"..\\pub\\2.htm#part2\">", "C", "</a>",
                "<a href=\"..\\pub\\2.htm\" title=\"c\">", "</a>", "<a href=\"..\\pub\\2.htm\">",
                "</a>", "<a href=\"..\\pub\\2.htm\">", "</a>", "<a href=\"..\\pub\\2.htm\">",
                "</a>", "", "", "<a href=\"..\\pub\\0.htm#top\">", "</a>"}));
}

TEST_F(RewritePageLinksTest, LinksOutOfTheIssueKeepTheirText) {
  EXPECT_EQ(Rewrite({"<p>",
                     "<a href=\"https://elsewhere.example/x\">",
                     "Elsewhere",
                     "</a>",
                     "<a href=\"missing.htm\">",
                     "<b>",
                     "Missing",
                     "</b>",
                     "</a>",
                     "<a href=\"javascript:void(0)\">",
                     "Script",
                     "</a>",
                     "<a name=\"here\" id=h href=\"https://x.example/\" class=c>",
                     "Anchor",
                     "</a>",
                     "<a href=\"gone.htm\">",
                     "Unclosed",
                     "<a href=\"b.htm\">",
                     "B",
                     "</a>",
                     "</p>"},
                    &issue_),
            (LineList{"<p>",
                      "",
                      "Elsewhere",
                      "",
                      "",
                      "<b>",
                      "Missing",
                      "</b>",
                      "",
                      "",
                      "Script",
                      "",
                      "<a name=\"here\" id=h>",
                      "Anchor",
                      "</a>",
                      "",
                      "Unclosed",
                      "<a href=\"..\\pub\\1.htm\">",
                      "B",
                      "</a>",
                      "</p>"}));
}

TEST_F(RewritePageLinksTest, LinksThatWorkOfflineStayAsTheyAre) {
  const LineList lines = {"<a href=\"#top\">",
                          "</a>",
                          "<a name=top>",
                          "</a>",
                          "<a href=\"mailto:ed@x.ru\">",
                          "</a>",
                          "<a href=\"\">",
                          "</a>",
                          "<a>",
                          "</a>",
                          "<abbr title=x>"};
  EXPECT_EQ(Rewrite(lines, &issue_), lines);
  EXPECT_EQ(Rewrite(lines, nullptr), lines);
}

TEST_F(RewritePageLinksTest, WithoutAnIssueEveryLinkOutOfThePageIsUnwrapped) {
  EXPECT_EQ(
      Rewrite({"<a href=\"b.htm\">", "B", "</a>", "<a href=\"https://example.com/\">", "W", "</a>"},
              nullptr),
      (LineList{"", "B", "", "", "W", ""}));
}

TEST(TIssueArticles, FirstArticleKeepsAFileOrAddressItSharesWithALaterOne) {
  TIssueArticles issue;
  issue.Add("/s/a.htm", {"https://example.com/same"}, 0);
  issue.Add("/s/b.htm", {"https://example.com/same", "https://example.com/b"}, 1);
  issue.Add("/s/A.htm", {"https://example.com/other"}, 2);  // the same file by a second row
  EXPECT_EQ(issue.PageOfAddress("http://www.example.com/same/"), 0);
  EXPECT_EQ(issue.PageOfAddress("https://example.com/b"), 1);
  EXPECT_EQ(issue.PageOfFile("/s/./a.htm"), 0);
  EXPECT_EQ(issue.PageOfAddress("https://example.com/other"), std::nullopt);
  EXPECT_EQ(issue.AddressOfFile("/s/b.htm"), "https://example.com/same");
  EXPECT_EQ(issue.AddressOfFile("/s/c.htm"), "");
  EXPECT_EQ(issue.PageOfFile("/s/c.htm"), std::nullopt);
}

}  // namespace
}  // namespace tavex
