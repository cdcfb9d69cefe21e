#include "clean/article_block.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "app/memory_window.h"
#include "clean/clean_article.h"
#include "clean/content_table.h"
#include "clean/line_helpers.h"
#include "support/temp_dir.h"

namespace tavex {
namespace {

LineList Normalised(const std::string& html) {
  LineList lines = SplitIntoLines(html);
  SplitTagsToLines(lines);
  return lines;
}

bool Holds(const LineList& lines, const std::string& text) {
  return std::find(lines.begin(), lines.end(), text) != lines.end();
}

// A sentence of article text, long enough to be a paragraph.
std::string Sentence(const std::string& word) {
  return word + " walked along the river bank, and the long day went on slowly.";
}

const std::string kHead = "<html><head><title>T</title></head>";

// A page of today: menus, a header, the article, a sidebar of links, comments
// and a footer, all in div and section blocks.
std::string DivPage() {
  return kHead +
         "<body><header><div class=logo>Site</div></header>"
         "<nav><ul><li><a href=a.htm>Home</a></li><li><a href=b.htm>World</a></li></ul></nav>"
         "<div id=wrap><div class=story><h1>Heading</h1>"
         "<p>" +
         Sentence("Anna") + "</p><p>" + Sentence("Boris") +
         " <a href=x.htm>a link</a></p>"
         "<style>.x{color:red}</style><noscript>Enable scripts please now</noscript>"
         "<svg><text>svg label text here ok</text></svg><template>template words here</template>"
         "<iframe>frame words here</iframe>"
         "<ul class=tags><li><a href=t1.htm>tag one</a></li><li><a href=t2.htm>tag "
         "two</a></li></ul>"
         "<p>" +
         Sentence("Clara") +
         "</p></div>"
         "<aside><p>" +
         Sentence("Sidebar") +
         "</p></aside>"
         "<div class=comments><p>" +
         Sentence("Commenter") + "</p><p>" + Sentence("Replier") + "</p><p>" + Sentence("Another") +
         "</p></div></div>"
         "<footer><p>" +
         Sentence("Copyright") + "</p></footer></body></html>";
}

TEST(ArticleBlock, DivPageKeepsTheHeadAndTheArticleBlockOnly) {
  const LineList page = Normalised(DivPage());
  LineList article = page;
  PickArticleBlock(article, page);

  EXPECT_EQ(article[0], "<html>");
  EXPECT_TRUE(Holds(article, "</head>"));
  EXPECT_TRUE(Holds(article, "<div class=story>"));
  for (const char* word : {"Anna", "Boris", "Clara"}) EXPECT_TRUE(Holds(article, Sentence(word)));
  EXPECT_TRUE(Holds(article, "a link"));  // a link inside a paragraph stays
  EXPECT_TRUE(Holds(article, "Heading"));
  for (const char* word : {"Sidebar", "Commenter", "Copyright"})
    EXPECT_FALSE(Holds(article, Sentence(word))) << word;
  for (const char* gone : {"Home", "Site", "tag one", ".x{color:red}", "Enable scripts please now",
                           "svg label text here ok", "template words here", "frame words here"})
    EXPECT_FALSE(Holds(article, gone)) << gone;
  EXPECT_EQ(article[article.size() - 2], "</body>");
  EXPECT_EQ(article.back(), "</html>");
}

TEST(ArticleBlock, StrongHintsInsideTheChosenBlockAndOuterWrappersAreShed) {
  const LineList page =
      Normalised(kHead + "<body><div id=a><div id=b><main><article><p>" + Sentence("Dora") +
                 "</p><p>" + Sentence("Egor") + "</p></article></main></div></div></body></html>");
  LineList article = page;
  PickArticleBlock(article, page);
  EXPECT_FALSE(Holds(article, "<div id=a>"));
  EXPECT_FALSE(Holds(article, "<div id=b>"));
  EXPECT_TRUE(Holds(article, "<article>"));
  EXPECT_TRUE(Holds(article, Sentence("Egor")));
}

TEST(ArticleBlock, EmptyBoxesGoPicturesStay) {
  const LineList page = Normalised(
      kHead +
      "<body><div class=story><div class=player style=\"background-color: black\"><div>"
      "</div></div><figure><img src=a.jpg></figure><div class=pic><img src=b.jpg></div><p>" +
      Sentence("Lena") + "</p></div></body></html>");
  LineList article = page;
  PickArticleBlock(article, page);
  EXPECT_FALSE(Holds(article, "<div class=player style=\"background-color: black\">"));
  EXPECT_TRUE(Holds(article, "<img src=a.jpg>"));
  EXPECT_TRUE(Holds(article, "<img src=b.jpg>"));
  EXPECT_TRUE(Holds(article, Sentence("Lena")));
}

// A wrapper whose own text is a sliver of the article's (a share dialog) is
// shed; one that adds a lead of a few sentences is the article's block.
TEST(ArticleBlock, AWrapperIsShedOnlyForASliverOfText) {
  std::string body;
  for (int i = 0; i < 20; ++i) body += "<p>" + Sentence("Body" + std::to_string(i)) + "</p>";
  const std::string lead = "<p>" + Sentence("Lead1") + "</p><p>" + Sentence("Lead2") + "</p>";
  const LineList sliver = Normalised(kHead + "<body><div class=outer><div class=inner>" + body +
                                     "</div><p>" + Sentence("Stray") + "</p></div></body></html>");
  LineList article = sliver;
  PickArticleBlock(article, sliver);
  EXPECT_FALSE(Holds(article, Sentence("Stray")));
  EXPECT_TRUE(Holds(article, Sentence("Body19")));

  const LineList led = Normalised(kHead + "<body><div class=outer>" + lead + "<div class=inner>" +
                                  body + "</div></div></body></html>");
  article = led;
  PickArticleBlock(article, led);
  EXPECT_TRUE(Holds(article, Sentence("Lead1")));
  EXPECT_TRUE(Holds(article, Sentence("Body0")));
}

// A block the page marks as its article may shed more around it than a plain
// one: the same two sentences beside it stay beside a div, go beside an article.
TEST(ArticleBlock, TheArticlesOwnMarkSheds) {
  std::string body;
  for (int i = 0; i < 20; ++i) body += "<p>" + Sentence("Body" + std::to_string(i)) + "</p>";
  const std::string extra = "<p>" + Sentence("Extra1") + "</p><p>" + Sentence("Extra2") + "</p>";
  for (const char* inner : {"<article>", "<div itemprop=\"articlebody\">", "<div role=main>"}) {
    const std::string close = std::string(inner) == "<article>" ? "</article>" : "</div>";
    const LineList page = Normalised(kHead + "<body><div class=outer>" + extra + inner + body +
                                     close + "</div></body></html>");
    LineList article = page;
    PickArticleBlock(article, page);
    EXPECT_FALSE(Holds(article, Sentence("Extra1"))) << inner;
    EXPECT_TRUE(Holds(article, Sentence("Body19"))) << inner;
  }
}

// Some sites wrap the whole page in one form; a search form is no article.
TEST(ArticleBlock, AFormIsLeftOutOnlyWhenItHoldsNoArticleText) {
  const LineList page = Normalised(
      kHead + "<body><form id=aspnetform><nav><a href=a.htm>Menu</a></nav><div class=text><p>" +
      Sentence("Hanna") + "</p><form class=search><input name=q>Search the site</form><p>" +
      Sentence("Igor") + "</p></div></form></body></html>");
  LineList article = page;
  PickArticleBlock(article, page);
  EXPECT_TRUE(Holds(article, Sentence("Hanna")));
  EXPECT_TRUE(Holds(article, Sentence("Igor")));
  EXPECT_FALSE(Holds(article, "Search the site"));
  EXPECT_FALSE(Holds(article, "Menu"));
}

// Markup inside a conditional comment is a comment to every browser but old
// ones: an element opened there does not swallow the page.
TEST(ArticleBlock, ConditionalCommentsHideTheirTags) {
  const LineList page =
      Normalised(kHead +
                 "<body><!--[if lt IE 9]><header class=old><![endif]--><!--[if gt IE 8]><!-->"
                 "<div class=shown><!--<![endif]--><div class=story><p>" +
                 Sentence("Kira") + "</p></div></div></body></html>");
  LineList article = page;
  PickArticleBlock(article, page);
  EXPECT_TRUE(Holds(article, "<div class=story>"));
  EXPECT_TRUE(Holds(article, Sentence("Kira")));
  EXPECT_FALSE(Holds(article, "<div class=shown>"));
}

TEST(ArticleBlock, ACentredHeadingOutsideTheBlockIsCarried) {
  const LineList page = Normalised(kHead +
                                   "<body><h2 align=center><b>Title</b></h2>"
                                   "<nav><a href=a.htm>Menu</a></nav><div><p>" +
                                   Sentence("Fedor") + "</p></div></body></html>");
  LineList article = page;
  PickArticleBlock(article, page);
  const auto heading = std::find(article.begin(), article.end(), "<h2 align=center>");
  ASSERT_NE(heading, article.end());
  EXPECT_EQ(*(heading + 2), "Title");
  EXPECT_EQ(*(heading + 4), "</h2>");
  EXPECT_FALSE(Holds(article, "Menu"));
}

// A results table: rows of short cells, none of them a sentence by itself.
std::string ResultsTable(int rows) {
  std::string table = "<table>";
  for (int r = 0; r < rows; ++r)
    table += "<tr><td>" + std::to_string(r + 1) +
             ".</td><td>Mueller, Hanna</td><td>LG Ostalb</td>"
             "<td>12,45 s</td></tr>";
  return table + "</table>";
}

TEST(ArticleBlock, TablesOfShortCellsCountRowByRow) {
  const LineList page =
      Normalised(kHead + "<body><nav><a href=a.htm>Menu</a></nav><div class=entry><p>" +
                 Sentence("Results") + "</p>" + ResultsTable(5) + ResultsTable(5) +
                 "</div><div class=widget><a href=b.htm>Other page one</a></div></body></html>");
  LineList article = page;
  PickArticleBlock(article, page);
  EXPECT_EQ(std::count(article.begin(), article.end(), "<table>"), 2);
  EXPECT_EQ(std::count(article.begin(), article.end(), "Mueller, Hanna"), 10);
  EXPECT_FALSE(Holds(article, "Other page one"));
}

// Comments in tables of their own, each a comment and its reply.
std::string CommentTables(int count) {
  std::string comments;
  for (int i = 0; i < count; ++i)
    comments += "<table><tr><td><p>" + Sentence("Comment" + std::to_string(i)) + "</p><p>" +
                Sentence("Reply" + std::to_string(i)) + "</p></td></tr></table>";
  return comments;
}

// A page of table layout whose content table holds the article, with the
// comments in tables of their own: the block around them all holds far more
// article text than the table, so the table pass's choice stands.
TEST(ArticleBlock, TheContentTableStandsBesideTablesOfComments) {
  MemoryWindow window;
  const std::string comments = CommentTables(3);
  const LineList page = Normalised(kHead + "<body><table><tr><td><p>" + Sentence("Article") +
                                   "</p><p>" + Sentence("More") + "</p><p>" + Sentence("Last") +
                                   "</p></td></tr></table>" + comments + "</body></html>");
  LineList article = page;
  SelectContentTable(article, window);
  const LineList chosen = article;
  ASSERT_FALSE(Holds(chosen, Sentence("Comment0")));
  PickArticleBlock(article, page);
  EXPECT_EQ(article, chosen);
}

// The content table of a news portal: the article with a column of other
// headlines beside it in the same cell, and the site's menu above. The block
// that holds the article alone takes its place.
TEST(ArticleBlock, TheArticleLeavesTheColumnsOfHeadlinesBehind) {
  MemoryWindow window;
  std::string headlines;
  for (int i = 0; i < 8; ++i)
    headlines += "<p><a href=n" + std::to_string(i) + ".htm>Another story of the day number " +
                 std::to_string(i) + "</a></p>";
  std::string text;
  for (int i = 0; i < 10; ++i) text += "<p>" + Sentence("Article" + std::to_string(i)) + "</p>";
  const LineList page = Normalised(
      kHead + "<body><table><tr><td><a href=a.htm>Home</a></td></tr></table><table><tr><td>" +
      "<div class=text>" + text + "</div><div class=col>" + headlines +
      "</div></td></tr></table></body></html>");
  LineList article = page;
  SelectContentTable(article, window);
  ASSERT_TRUE(Holds(article, "Another story of the day number 3"));
  PickArticleBlock(article, page);
  EXPECT_TRUE(Holds(article, Sentence("Article9")));
  EXPECT_FALSE(Holds(article, "Another story of the day number 3"));
  EXPECT_FALSE(Holds(article, "Home"));
}

// What the table pass kept is cleaned like a block when it stands: its link
// lists and hidden boxes go.
TEST(ArticleBlock, AStandingTableLosesItsLinkListsAndHiddenBoxes) {
  MemoryWindow window;
  const std::string comments = CommentTables(3);
  const LineList page = Normalised(
      kHead + "<body><table><tr><td><p>" + Sentence("Article") + "</p><p>" + Sentence("More") +
      "</p><p>" + Sentence("Last") +
      "</p><ul><li><a href=a.htm>Print this page</a></li><li><a href=b.htm>Send it to a "
      "friend</a></li></ul><div style=\"display: none\">Copy the code for your blog</div>"
      "</td></tr></table>" +
      comments + "</body></html>");
  LineList article = page;
  SelectContentTable(article, window);
  ASSERT_TRUE(Holds(article, "Print this page"));
  PickArticleBlock(article, page);
  EXPECT_TRUE(Holds(article, Sentence("Last")));
  EXPECT_FALSE(Holds(article, "Print this page"));
  EXPECT_FALSE(Holds(article, "Copy the code for your blog"));
  EXPECT_FALSE(Holds(article, Sentence("Comment0")));
}

// The table pass chose a jump form: a tiny share of a forum page whose posts
// are in tables of their own. The posts come back.
TEST(ArticleBlock, ATableHoldingATinyShareGivesWayToTheBlock) {
  std::string posts;
  for (int i = 0; i < 12; ++i)
    posts += "<tr><td class=post>" + Sentence("Poster" + std::to_string(i)) + " " +
             Sentence("More") + "</td></tr>";
  const LineList page =
      Normalised(kHead + "<body><div class=forum><table>" + posts + "</table></div></body></html>");
  LineList article = Normalised(kHead + "<table><tr><td>Jump to</td></tr></table></html>");
  PickArticleBlock(article, page);
  EXPECT_TRUE(Holds(article, Sentence("Poster0") + " " + Sentence("More")));
  EXPECT_TRUE(Holds(article, Sentence("Poster11") + " " + Sentence("More")));
  EXPECT_FALSE(Holds(article, "Jump to"));
}

TEST(ArticleBlock, PagesWithoutAnArticleOrAHeadStayAsTheyAre) {
  const LineList menus = Normalised(
      kHead + "<body><div><a href=a.htm>One</a> <a href=b.htm>Two</a> short</div></body></html>");
  LineList article = menus;
  PickArticleBlock(article, menus);
  EXPECT_EQ(article, menus);

  const LineList headless = Normalised("<body><div><p>" + Sentence("Gleb") + "</p></div></body>");
  article = headless;
  PickArticleBlock(article, headless);
  EXPECT_EQ(article, headless);

  const LineList empty = Normalised(kHead + "<body></body></html>");
  article = empty;
  PickArticleBlock(article, empty);
  EXPECT_EQ(article, empty);
}

TEST(ArticleBlock, UnclosedAndStrayTagsDoNotLoseTheArticle) {
  const LineList page =
      Normalised(kHead + "</div></span><body><div class=a><p>" + Sentence("Ivan") + "<p>" +
                 Sentence("Jana") + "<div class=b><nav><a href=x.htm>Menu");
  LineList article = page;
  PickArticleBlock(article, page);
  EXPECT_TRUE(Holds(article, Sentence("Ivan")));
  EXPECT_TRUE(Holds(article, Sentence("Jana")));
  EXPECT_FALSE(Holds(article, "Menu"));
  EXPECT_EQ(article.back(), "</html>");
}

// A page that is one run of paragraphs keeps its body's content, framed once.
TEST(ArticleBlock, ThePageItselfAsTheBlockIsFramedOnce) {
  const LineList page = Normalised(kHead + "<body class=x><p>" + Sentence("Mila") + "</p>");
  LineList article = page;
  PickArticleBlock(article, page);
  EXPECT_EQ(article, (LineList{"<html>", "<head>", "<title>", "T", "</title>", "</head>", "<body>",
                               "<p>", Sentence("Mila"), "</p>", "</body>", "</html>"}));
}

TEST(ArticleBlock, DeepNestingIsWalkedWithoutRecursion) {
  std::string html = kHead + "<body>";
  for (int i = 0; i < 200000; ++i) html += "<div>";
  html += "<p>" + Sentence("Deep") + "</p>";
  LineList page = Normalised(html);
  LineList article = page;
  PickArticleBlock(article, page);
  EXPECT_TRUE(Holds(article, Sentence("Deep")));
  EXPECT_LT(article.size(), 20u);  // the innermost div, not the 200000 around it
}

// What a browser does not show is no article text, and goes: the hidden
// attribute, aria-hidden, an inline display:none or visibility:hidden, and
// the classes every site hides (a "copy this code" dialog).
TEST(ArticleBlock, HiddenElementsAreLeftOutAndCountForNothing) {
  const std::string hidden_long = Sentence("Hidden") + " " + Sentence("Hidden") + " " +
                                  Sentence("Hidden") + " " + Sentence("Hidden");
  for (const char* tag :
       {"<div hidden>", "<div aria-hidden=\"true\">", "<div style=\"display : none\">",
        "<div style=\"color:red; visibility:hidden\">", "<div class=\"dialog hidden\">",
        "<div class=\"insert none\">"}) {
    const LineList page =
        Normalised(kHead + "<body>" + tag + "<p>" + hidden_long + "</p></div><div class=story><p>" +
                   Sentence("Shown") + "</p>" + tag + "<p>" + Sentence("Popup") +
                   "</p></div></div></body></html>");
    LineList article = page;
    PickArticleBlock(article, page);
    EXPECT_TRUE(Holds(article, Sentence("Shown"))) << tag;
    EXPECT_FALSE(Holds(article, hidden_long)) << tag;
    EXPECT_FALSE(Holds(article, Sentence("Popup"))) << tag;
  }
  // A class that only names the word is no hiding: "hidden-xs" hides on phones.
  const LineList page = Normalised(kHead + "<body><div class=\"text hidden-xs\"><p>" +
                                   Sentence("Wide") + "</p></div></body></html>");
  LineList article = page;
  PickArticleBlock(article, page);
  EXPECT_TRUE(Holds(article, Sentence("Wide")));
}

// A comment that holds markup is broken into lines by the normalisation; its
// code is no text of the page.
TEST(ArticleBlock, CommentsSpreadOverLinesAreSkippedWhole) {
  const std::string code = "function ml_ph(p){document.write(' ');} var place_id = '5072'; x, y.";
  const LineList page = Normalised(
      kHead + "<body><div class=ad><!--script language=\"javascript\">" + code + "<div id=x>" +
      code + code + code + code + "</div></script--></div><div class=story><p>" + Sentence("Real") +
      "</p></div></body></html>");
  LineList article = page;
  PickArticleBlock(article, page);
  EXPECT_TRUE(Holds(article, Sentence("Real")));
  EXPECT_FALSE(Holds(article, "<div class=ad>"));
}

// A list of teasers beside the article: each a linked headline and a
// sentence or two, told apart from the article's own paragraphs.
std::string Teasers(const std::string& kind, int count) {
  std::string list;
  for (int i = 0; i < count; ++i)
    list += "<div class=\"" + kind + " n" + std::to_string(i) + "\"><h3><a href=s" +
            std::to_string(i) + ".htm>Headline " + std::to_string(i) + "</a></h3><p>" +
            Sentence("Teaser" + std::to_string(i)) + " " + Sentence("Again") + "</p></div>";
  return list;
}

TEST(ArticleBlock, ListsOfTeasersAreLeftOut) {
  const LineList page =
      Normalised(kHead + "<body><div class=main-column><h1>The article's own heading</h1><p>" +
                 Sentence("Article") + "</p><p>" + Sentence("More") + "</p>" + Teasers("item", 6) +
                 "</div></body></html>");
  LineList article = page;
  PickArticleBlock(article, page);
  EXPECT_TRUE(Holds(article, Sentence("More")));
  EXPECT_FALSE(Holds(article, Sentence("Teaser0") + " " + Sentence("Again")));
  EXPECT_FALSE(Holds(article, "Headline 5"));
  // Two are no list; and blocks of different kinds are not alike.
  const LineList two = Normalised(kHead + "<body><div class=x><p>" + Sentence("Article") + "</p>" +
                                  Teasers("item", 2) + "</div></body></html>");
  article = two;
  PickArticleBlock(article, two);
  EXPECT_TRUE(Holds(article, Sentence("Teaser1") + " " + Sentence("Again")));
}

// A row of features, each with its heading and a "learn more" link at its
// end, is the page's content, not a list of teasers.
TEST(ArticleBlock, FeaturesWithTheirOwnHeadingsStay) {
  std::string features;
  for (int i = 0; i < 5; ++i)
    features += "<li class=feature><h2>Tool " + std::to_string(i) + "</h2><p>" +
                Sentence("Feature" + std::to_string(i)) + "</p><a href=t" + std::to_string(i) +
                ".htm>Learn more about tool number " + std::to_string(i) + "</a></li>";
  const LineList page = Normalised(kHead + "<body><nav><a href=a.htm>Home</a></nav><ul>" +
                                   features + "</ul></body></html>");
  LineList article = page;
  PickArticleBlock(article, page);
  for (int i = 0; i < 5; ++i)
    EXPECT_TRUE(Holds(article, Sentence("Feature" + std::to_string(i)))) << i;
  EXPECT_FALSE(Holds(article, "Home"));
}

// A manual's sections, each under a heading that holds a named place of the
// page ("<a name=...>", no address): no links, so no teasers.
TEST(ArticleBlock, SectionsWithNamedPlacesAreNoTeasers) {
  std::string sections;
  for (int i = 0; i < 4; ++i)
    sections += "<div class=section><h2><a name=s" + std::to_string(i) + ">Installing step " +
                std::to_string(i) + " of the server</a></h2><p>" +
                Sentence("Step" + std::to_string(i)) + "</p></div>";
  const LineList page = Normalised(kHead + "<body><nav><a href=a.htm>Home</a></nav><div id=page>" +
                                   sections + "</div></body></html>");
  LineList article = page;
  PickArticleBlock(article, page);
  for (int i = 0; i < 4; ++i)
    EXPECT_TRUE(Holds(article, Sentence("Step" + std::to_string(i)))) << i;
}

// Class and id words: the start of a word names the part ("commentlist",
// "sharebar", "coment" as Russian sites spell it); a state of the page that
// ends in such a word does not, nor do the body's layout classes, nor a block
// the page marks as its article body whatever its id says.
TEST(ArticleBlock, NamesOfClutterAreReadAsWords) {
  const std::string article_text = "<p>" + Sentence("Article") + "</p><p>" + Sentence("More") +
                                   "</p><p>" + Sentence("Last") + "</p>";
  for (const char* clutter :
       {"<div class=commentlist>", "<div id=\"gig-sharebar\">", "<td class=coment>",
        "<div class=\"box related-news\">", "<div class=\"type-gallery\">"}) {
    const LineList page = Normalised(kHead + "<body><div class=x>" + article_text + clutter +
                                     "<p>" + Sentence("Clutter") + "</p></" +
                                     (std::string(clutter).starts_with("<td") ? "td" : "div") +
                                     "></div></body></html>");
    LineList article = page;
    PickArticleBlock(article, page);
    EXPECT_TRUE(Holds(article, Sentence("Last"))) << clutter;
    EXPECT_FALSE(Holds(article, Sentence("Clutter"))) << clutter;
  }
  for (const char* body :
       {"<body class=\"two-sidebars\"><div class=\"screen is-showingreadnextsidebar\">",
        "<body><div class=\"text\" itemprop=\"articlebody\" id=\"gigya-share-btns-2\">",
        "<body><div class=\"post comments-open\">"}) {
    const LineList page = Normalised(kHead + body + article_text + "</div></body></html>");
    LineList article = page;
    PickArticleBlock(article, page);
    EXPECT_TRUE(Holds(article, Sentence("Last"))) << body;
  }
}

// Headlines set as plain text (no link, no punctuation) are no article text,
// however long: the article with fewer characters wins over them.
TEST(ArticleBlock, TextWithoutPunctuationIsNoArticleText) {
  std::string column;
  for (int i = 0; i < 12; ++i)
    column += "<div>Regional news of the day in a long line number " + std::to_string(i) + "</div>";
  const LineList page =
      Normalised(kHead + "<body><div class=col>" + column + "</div><div class=story><p>" +
                 Sentence("Article") + "</p><p>" + Sentence("More") + "</p></div></body></html>");
  LineList article = page;
  PickArticleBlock(article, page);
  EXPECT_TRUE(Holds(article, Sentence("More")));
  EXPECT_FALSE(Holds(article, "Regional news of the day in a long line number 3"));
}

// An article's text never comes before its heading: a long story teased at
// the top of the page loses to the article under the heading that bears the
// title, though it has more text.
TEST(ArticleBlock, TheBlockIsNotChosenBeforeTheArticlesHeading) {
  std::string teased;
  for (int i = 0; i < 6; ++i) teased += "<p>" + Sentence("Teased" + std::to_string(i)) + "</p>";
  const LineList page =
      Normalised(kHead + "<body><div class=top>" + teased +
                 "</div><h1>Rivers of the North in Winter</h1><div class=body><p>" +
                 Sentence("Article") + "</p><p>" + Sentence("More") + "</p></div></body></html>");
  LineList article = page;
  PickArticleBlock(article, page, "Rivers of the North in Winter - The Daily");
  EXPECT_TRUE(Holds(article, Sentence("More")));
  EXPECT_FALSE(Holds(article, Sentence("Teased0")));
  // Without the title the heading is unknown, and the longer block wins.
  article = page;
  PickArticleBlock(article, page);
  EXPECT_TRUE(Holds(article, Sentence("Teased0")));
}

// A video's figure (the player is never shown offline) goes with its
// caption; a figure with its picture stays. A line of figures alone (a date,
// a counter of views) is no article text.
TEST(ArticleBlock, FiguresWithoutPicturesAndLinesOfFiguresGo) {
  const LineList page = Normalised(
      kHead + "<body><div class=story><p>" + Sentence("Article") +
      "</p><figure><iframe src=v.htm></iframe><figcaption>The president spoke to us, at "
      "length.</figcaption></figure><figure><img src=a.jpg><figcaption>The river in "
      "winter, from the bridge.</figcaption></figure><div class=date>28.11.2011 10:10</div>"
      "<div class=views>1 234</div><p>" +
      Sentence("More") + "</p></div></body></html>");
  LineList article = page;
  PickArticleBlock(article, page);
  EXPECT_TRUE(Holds(article, Sentence("More")));
  EXPECT_FALSE(Holds(article, "The president spoke to us, at length."));
  EXPECT_TRUE(Holds(article, "The river in winter, from the bridge."));
  EXPECT_TRUE(Holds(article, "<img src=a.jpg>"));
  EXPECT_FALSE(Holds(article, "28.11.2011 10:10"));
  EXPECT_FALSE(Holds(article, "1 234"));
}

// The pipeline: the switch decides, and with it off the page is what the
// table pass makes of it.
class ArticleBlockPipeline : public ::testing::Test {
 protected:
  ArticleBlockPipeline() : cwd_(work_.path()) {
    std::filesystem::create_directories(work_.path() / "HtmClear");
    std::filesystem::create_directories(work_.path() / "out" / "pub");
    std::filesystem::create_directories(work_.path() / "out" / "images");
    window_.SetFieldText(Field::TargetDir, work_ / "out");
    test::WriteFile(work_ / "a.htm", DivPage());
  }
  LineList Clean() {
    CleanArticle(work_ / "a.htm", work_ / "out/pub/0.htm", window_);
    return SplitIntoLines(test::ReadFile(work_ / "out/pub/0.htm"));
  }
  test::TempDir work_;
  test::ScopedCurrentDir cwd_;
  MemoryWindow window_;
};

TEST_F(ArticleBlockPipeline, RunsInTheAdsStepOnlyWhenSwitchedOn) {
  EXPECT_TRUE(Holds(Clean(), Sentence("Copyright")));
  window_.SetChecked(Switch::PickArticleBlock, true);
  LineList on = Clean();
  EXPECT_FALSE(Holds(on, Sentence("Copyright")));
  EXPECT_TRUE(Holds(on, Sentence("Clara")));
  window_.SetChecked(Switch::RemoveAds, false);
  EXPECT_TRUE(Holds(Clean(), Sentence("Copyright")));
}

}  // namespace
}  // namespace tavex
