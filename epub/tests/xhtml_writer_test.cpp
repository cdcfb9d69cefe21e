// Turning cleaned tag-soup pages into the book's XHTML.
#include "epub/xhtml_writer.h"

#include <gtest/gtest.h>

#include "epub/package_documents.h"
#include "epub/page_source.h"
#include "epub_test_support.h"
#include "platform/failure.h"

namespace tavex {
namespace {

using test::ContentModelErrors;
using test::CountOf;
using test::XmlErrors;

// Pages the book holds: 3.htm only. Pictures: 1.gif only.
TPageLinks TestLinks() {
  TPageLinks links;
  links.document = [](std::string_view name) -> std::optional<std::string> {
    if (name == "3.htm" || name == "3.HTM") return "a3.xhtml";
    return std::nullopt;
  };
  links.picture = [](std::string_view name) -> std::optional<std::string> {
    if (name == "1.gif") return "../images/p1.gif";
    return std::nullopt;
  };
  return links;
}

std::string Body(std::string_view page) {
  const TXmlDocPtr doc = ParsePage(page, "page.htm");
  return WriteXhtmlBody(doc.get(), TestLinks());
}

// The body in its document, checked to be well-formed and to keep the content rules.
std::string CheckedBody(std::string_view page) {
  const std::string body = Body(page);
  const std::string document = ContentDocument("t", body);
  EXPECT_EQ(XmlErrors(document), "") << body;
  EXPECT_EQ(ContentModelErrors(document), "") << body;
  return body;
}

TEST(XhtmlWriter, TagSoupBecomesWellFormedWithoutLosingText) {
  const std::string body = CheckedBody(
      "<HTML><BODY BGCOLOR=white><font color=red size=2><p>one<div>two</div><b>three<table "
      "width=100%><tr><td>cell</table></b><ul>loose<li>item</ul>&nbsp;&copy;<br><hr>"
      "<h1 align=center>head<p>in heading</h1><i>open to the end");
  for (const char* text : {"one", "two", "three", "cell", "loose", "item", "\xc2\xa9", "head",
                           "in heading", "open to the end"})
    EXPECT_NE(body.find(text), std::string::npos) << text;
  EXPECT_EQ(body.find("<font"), std::string::npos);
  EXPECT_EQ(body.find("bgcolor"), std::string::npos);
  EXPECT_EQ(body.find("width"), std::string::npos);
}

TEST(XhtmlWriter, DropsScriptsFormFieldsFramesAndStyles) {
  const std::string body = CheckedBody(
      "<body><script>alert(1)</script><noscript>no js</noscript><style>p{}</style>"
      "<form action=x><input name=q value=search><select><option>opt</select>"
      "<textarea>typed</textarea><button>press</button>kept in form</form>"
      "<iframe src=ad.htm>frame text</iframe><object><embed src=a.swf>obj</object>"
      "<p onclick=\"evil()\" style=\"color:red\" class=x>text</p></body>");
  EXPECT_NE(body.find("kept in form"), std::string::npos);
  EXPECT_NE(body.find("<p>text</p>"), std::string::npos);
  for (const char* gone : {"alert", "no js", "p{}", "<form", "search", "opt", "typed", "press",
                           "frame text", "obj", "evil", "color", "class=\"x\""})
    EXPECT_EQ(body.find(gone), std::string::npos) << gone;
}

TEST(XhtmlWriter, BlocksInsideInlineElementsKeepTheRules) {
  // A bold wrapper around blocks gives way; blocks inside a paragraph or a
  // heading become lines; a link around a block stays a link.
  const std::string body = CheckedBody(
      "<body><b><div>bold block</div></b><p>para<span><table><tr><td>c1<td>c2</table></span>"
      "</p><h2>h<ul><li>x</ul></h2><div><a href=\"..\\pub\\3.htm\"><div>linked block</div></a>"
      "</div><em>e<a href=http://example.com/>in em<a href=\"#x\">nested</a></a></em></body>");
  EXPECT_NE(body.find("<div>bold block</div>"), std::string::npos);
  EXPECT_NE(body.find("<a href=\"a3.xhtml\"><div>linked block</div></a>"), std::string::npos);
  EXPECT_NE(body.find("nested"), std::string::npos);
  EXPECT_EQ(CountOf(body, "<a "), 2u) << body;
}

TEST(XhtmlWriter, TablesGetRowsAndCellsWhereTheyAreMissing) {
  const std::string body = CheckedBody(
      "<body><table><caption>cap</caption><form><tr><td colspan=2 rowspan=x align=center>a"
      "</td></tr></form><thead><tr><th>h</th></tr></thead><tr>loose cell<td>b</td></tr>"
      "<tbody><tr><td>c</td></tr></tbody></table><table></table></body>");
  EXPECT_NE(body.find("<caption>cap</caption>"), std::string::npos);
  EXPECT_NE(body.find("<td class=\"center\" colspan=\"2\">a</td>"), std::string::npos);
  EXPECT_NE(body.find("<th>h</th>"), std::string::npos);
  EXPECT_NE(body.find("loose cell"), std::string::npos);
  EXPECT_EQ(CountOf(body, "<tbody>"), 2u);
}

TEST(XhtmlWriter, ListsKeepItemsAndBareListsBecomeIndents) {
  const std::string body = CheckedBody(
      "<body><ul><p>quoted</p></ul><ol start=3 type=a><li value=5>one</li>between<li>two"
      "</ol><li>lonely item</li><dl><dt>term<dd>meaning</dl></body>");
  EXPECT_NE(body.find("<div class=\"indent\"><p>quoted</p></div>"), std::string::npos);
  EXPECT_NE(body.find("<ol start=\"3\" type=\"a\"><li value=\"5\">one</li><li>between</li>"),
            std::string::npos);
  EXPECT_NE(body.find("lonely item"), std::string::npos);
  EXPECT_NE(body.find("meaning"), std::string::npos);
}

// Pages as the cleaner writes them: Windows-1251 ("\xef" is "п"), characters
// the code page lacks as character references.
TEST(XhtmlWriter, LinksLeadOnlyWhereTheBookHasATarget) {
  const std::string body = CheckedBody(
      "<body><a name=top></a><a href=\"..\\pub\\3.htm\">kept page</a>"
      "<a href=\"../PUB/3.HTM#part\">kept with fragment</a>"
      "<a href=\"..\\pub\\1.htm\">dropped page</a><a href=\"3.htm\">beside</a>"
      "<a href=\"../../main.htm\">outside</a><a href=\"javascript:void(0)\">script</a>"
      "<a href=\"http://example.com/a b?q=\xef#f#g\">web</a><a href=\"#top\">up</a>"
      "<a href=\"#nowhere\">dead anchor</a><a href=\"mailto:ed@example.com\">mail</a>"
      "<a href=\"http://r&#246;m&#246;.net/&#246;\">idn</a><a href=\"http://a b/\">bad "
      "host</a>"
      "</body>");
  EXPECT_EQ(CountOf(body, "href=\"a3.xhtml\""), 3u) << body;
  EXPECT_NE(body.find("<a id=\"top\"></a>"), std::string::npos);
  EXPECT_NE(body.find("href=\"#top\""), std::string::npos);
  EXPECT_NE(body.find("href=\"http://example.com/a%20b?q=%D0%BF#f%23g\""), std::string::npos);
  EXPECT_NE(body.find("href=\"mailto:ed@example.com\""), std::string::npos);
  EXPECT_NE(body.find("href=\"http://xn--rm-fkab.net/%C3%B6\""), std::string::npos);
  for (const char* text : {"dropped page", "outside", "script", "dead anchor", "bad host"})
    EXPECT_NE(body.find(text), std::string::npos) << text;
  EXPECT_EQ(body.find("1.htm"), std::string::npos);
  EXPECT_EQ(body.find("main.htm"), std::string::npos);
  EXPECT_EQ(body.find("javascript"), std::string::npos);
  EXPECT_EQ(body.find("#nowhere"), std::string::npos);
  EXPECT_EQ(body.find("a b/"), std::string::npos);
}

TEST(XhtmlWriter, PicturesPointIntoTheBookOrGo) {
  const std::string body = CheckedBody(
      "<body><img src=\"..\\Images\\1.gif\" width=10 height=\"100%\" border=0 align=left>"
      "<img src=\"../images/1.gif\" alt='a \"quoted\" picture'><img src=\"..\\Images\\2.gif\">"
      "<img src=\"http://example.com/1.gif\"><img src=\"1.gif\"><img></body>");
  EXPECT_NE(body.find("<img src=\"../images/p1.gif\" alt=\"\" width=\"10\"/>"), std::string::npos);
  EXPECT_NE(body.find("alt=\"a &quot;quoted&quot; picture\""), std::string::npos);
  EXPECT_EQ(CountOf(body, "<img"), 2u) << body;
}

TEST(XhtmlWriter, IdsStayUniqueAndValid) {
  const std::string body = CheckedBody(
      "<body><p id=a>1</p><p id=a>2</p><p id=\"1x\">3</p><p id=\"has space\">4</p>"
      "<a name=a href=\"#a\">5</a></body>");
  EXPECT_EQ(CountOf(body, "id=\"a\""), 1u);
  EXPECT_EQ(body.find("1x"), std::string::npos);
  EXPECT_EQ(body.find("space"), std::string::npos);
  EXPECT_NE(body.find("href=\"#a\""), std::string::npos);
}

TEST(XhtmlWriter, TextIsEscapedAndControlCharactersGo) {
  const std::string body = CheckedBody("<body><p>a &lt; b &amp; c > d \x01\x7f\x98 e</p></body>");
  EXPECT_NE(body.find("<p>a &lt; b &amp; c &gt; d  e</p>"), std::string::npos) << body;
}

TEST(PageSource, ReadsEachPageInItsOwnEncoding) {
  // Windows-1251 with no declaration, and with a false UTF-8 one.
  EXPECT_NE(Body("<p>\xcf\xf0\xe8\xe2\xe5\xf2</p>").find("\xd0\x9f\xd1\x80\xd0\xb8"),
            std::string::npos);
  EXPECT_NE(Body("<meta charset=utf-8><p>\xcf\xf0\xe8\xe2\xe5\xf2</p>").find("\xd0\x9f\xd1\x80"),
            std::string::npos);
  // KOI8-R as declared ("При" is F0 D2 C9 there).
  EXPECT_NE(Body("<meta charset=koi8-r><p>\xf0\xd2\xc9</p>").find("\xd0\x9f\xd1\x80\xd0\xb8"),
            std::string::npos);
  // An unassigned Windows-1251 byte does not cut the page short.
  EXPECT_NE(Body("<p>a\x98 b</p><p>\xea\xee\xed\xe5\xf6</p>").find("\xd0\xba\xd0\xbe\xd0\xbd"),
            std::string::npos);
  // Converted by the cleaner: its Windows-1251 declaration beats an older one.
  EXPECT_EQ(PageEncoding("<meta charset=iso-8859-1><meta charset=windows-1251>\xe0"),
            "windows-1251");
  EXPECT_EQ(PageEncoding("plain ascii"), "windows-1251");
  EXPECT_EQ(PageEncoding("<p>write charset=koi8-r in the meta</p>\xe0"), "windows-1251");
  EXPECT_EQ(PageEncoding("<?xml version=\"1.0\" encoding=\"koi8-r\"?>\xe0"), "koi8-r");
  EXPECT_EQ(PageEncoding("<meta charset=_CHARSET>\xe0"), "windows-1251");
}

TEST(PageSource, AnEmptyPageFailsNamingTheFile) {
  try {
    ParsePage("", "c:\\issue\\pub\\7.htm");
    FAIL() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_NE(std::string(failure.what()).find("c:\\issue\\pub\\7.htm"), std::string::npos);
  }
}

TEST(PageSource, TitlesBecomePlainText) {
  EXPECT_EQ(HtmlToText("  A &amp; B <b>c</b>\r\n  d &quot;\xcf\xf0\xe8&quot; "),
            "A & B c d \"\xd0\x9f\xd1\x80\xd0\xb8\"");
  EXPECT_EQ(HtmlToText("a < b"), "a < b");
  EXPECT_EQ(HtmlToText(""), "");
}

}  // namespace
}  // namespace tavex
