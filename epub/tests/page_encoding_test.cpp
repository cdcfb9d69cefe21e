// Pages the cleaner did not convert keep their own encoding and declaration;
// the book reads each in the encoding it declares, whatever bytes it holds.
#include "clean/page_encoding.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "epub/page_source.h"
#include "epub/xhtml_writer.h"
#include "epub_test_support.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

std::string Body(std::string_view page) {
  TPageLinks links;
  links.document = [](std::string_view) { return std::optional<std::string>(); };
  links.picture = links.document;
  const TXmlDocPtr doc = ParsePage(page, "page.htm");
  return WriteXhtmlBody(doc.get(), links);
}

bool Holds(const std::string& text, std::string_view part) {
  return text.find(part) != std::string::npos;
}

TEST(BookEncodings, EachDeclaredEncodingIsReadWithItsOwnTable) {
  struct TCase {
    const char* page;
    const char* expected;  // UTF-8
  };
  const TCase cases[] = {
      // Latin-1 as browsers read it: Windows-1252 quotes around "café".
      {"<meta charset=iso-8859-1><p>\x93"
       "caf\xe9\x94</p>",
       "\xe2\x80\x9c"
       "caf\xc3\xa9\xe2\x80\x9d"},
      {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=ISO-8859-2\">"
       "<p>\xa3\xf3"
       "d\xbc</p>",
       "\xc5\x81\xc3\xb3"
       "d\xc5\xba"},  // Łódź
      {"<?xml version=\"1.0\" encoding=\"windows-1250\"?><html><body><p>\xa3\xf3"
       "d\x9f</p>",
       "\xc5\x81\xc3\xb3"
       "d\xc5\xba"},                                                                 // Łódź
      {"<meta charset=iso-8859-5><p>\xbf\xe0\xd8</p>", "\xd0\x9f\xd1\x80\xd0\xb8"},  // При
      {"<meta charset=windows-1253><p>\xc1\xe8\xde\xed\xe1</p>",
       "\xce\x91\xce\xb8\xce\xae\xce\xbd\xce\xb1"},                                  // Αθήνα
      {"<meta charset=gb2312><p>\xd6\xd0\xce\xc4</p>", "\xe4\xb8\xad\xe6\x96\x87"},  // 中文
      // A GBK character in a page declared GB2312, as saved pages hold them.
      {"<meta charset=gb2312><p>\xe9\x46</p>", "\xe9\x95\x95"},  // 镕
  };
  for (const TCase& c : cases) {
    const std::string body = Body(c.page);
    EXPECT_TRUE(Holds(body, c.expected)) << c.page << "\n" << body;
  }
}

TEST(BookEncodings, ABytePastTheEncodingDoesNotCutThePageShort) {
  // 0x81 is not in Windows-1252; libxml2's own decoding stopped there.
  std::string body = Body("<meta charset=windows-1252><p>a\x81 b</p><p>the rest \xe9t\xe9</p>");
  EXPECT_TRUE(Holds(body, "the rest \xc3\xa9t\xc3\xa9")) << body;
  // The magazine's line that the cleaner adds in Windows-1251 to a GB2312
  // page: "№" (B9) is no GB2312 character and reads as the core's.
  body = Body(
      "<meta charset=gb2312><p>\xd6\xd0\xce\xc4</p><p>Tavex \xb9"
      "6</p><p>end</p>");
  EXPECT_TRUE(Holds(body,
                    "Tavex \xe2\x84\x96"
                    "6"))
      << body;
  EXPECT_TRUE(Holds(body, "<p>end</p>")) << body;
  // A character cut off at the very end leaves what came before.
  body = Body("<meta charset=gb2312><p>\xd6\xd0\xce\xc4 \xd6");
  EXPECT_TRUE(Holds(body, "\xe4\xb8\xad\xe6\x96\x87")) << body;
}

TEST(BookEncodings, TheEncodingFollowsTheDeclarations) {
  EXPECT_EQ(PageEncoding("<meta charset=iso-8859-1>\xe0"), "WINDOWS-1252");
  EXPECT_EQ(PageEncoding("<META CHARSET=\"GB2312\">\xe0"), "GB18030");
  EXPECT_EQ(PageEncoding("<meta charset=iso-8859-2>\xe0"), "iso-8859-2");
  EXPECT_EQ(PageEncoding("<meta charset=koi8-r><meta charset=windows-1251>\xe0"), "windows-1251");
  // A Wayback wrapper's UTF-8 before the page's own GB2312 (the cleaner
  // leaves such a page as it is): the page's own.
  EXPECT_EQ(PageEncoding("<meta charset=utf-8><meta charset=gb2312>\xd6\xd0"), "GB18030");
  EXPECT_EQ(PageEncoding("<meta charset=x-no-such-thing>\xe0"), "windows-1251");
}

// Real pages in the encodings the cleaner passes through, copied as it
// leaves them; each phrase must come out in the book as a reader sees it.
TEST(BookEncodings, CorpusPagesComeOutRight) {
  const fs::path corpus = fs::path(MYTAVEX_SHARED_DIR) / "corpus";
  if (!fs::exists(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  struct TCase {
    const char* page;
    std::vector<const char*> phrases;  // UTF-8
  };
  const TCase cases[] = {
      {"trafilatura/archive-org-xinhuanet",      // GB2312 after a UTF-8 declaration
       {"\xe7\x8e\x8b\xe5\x8d\x8e\xe5\x86\x9b",  // 王华军
        "\xe6\x96\xb0\xe5\x8d\x8e\xe7\xbd\x91\xe6\xb2\xb3\xe5\x8c\x97"}},  // 新华网河北
      {"trafilatura/singapur-reiseinfo",                                   // ISO-8859-1
       {"f\xc3\xbcr", "\xc3\x96sterreich", "Z\xc3\xbcrich"}},
      {"libxml2/bp6-saved-2000",
       {"\xc2\xa9"
        "1999-2000"}},                                 // ISO-8859-1
      {"kostya-lexbor/mshtml-numbers", {"\xc2\xa9"}},  // Windows-1252
      {"apache-httpd/manual-2.0-install-koi8r",        // converted by the cleaner
       {"\xd0\x9a\xd0\xbe\xd0\xbc\xd0\xbf\xd0\xb8\xd0\xbb\xd0\xb8\xd1\x80\xd0\xbe\xd0\xb2\xd0\xb0"
        "\xd0\xbd\xd0\xb8\xd0\xb5"}},  // Компилирование
  };
  for (const TCase& c : cases) {
    const std::string page = PageTo1251(test::ReadFile(corpus / c.page / "source.html"));
    const std::string body = Body(page);
    for (const char* phrase : c.phrases)
      EXPECT_TRUE(Holds(body, phrase)) << c.page << ": " << phrase;
    // Nothing was read into a character that stands for a byte it could not place.
    EXPECT_FALSE(Holds(body, "\xef\xbf\xbd")) << c.page;
  }
}

}  // namespace
}  // namespace tavex
