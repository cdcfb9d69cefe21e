#include "clean/page_encoding.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/memory_window.h"
#include "clean/clean_article.h"
#include "clean/line_list.h"
#include "platform/text.h"
#include "support/article_workspace.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

// "Ёё" and А..я in each encoding (KOI8-R bytes as iconv gives them).
const std::string kAlphabet1251 =
    "\xa8\xb8\xc0\xc1\xc2\xc3\xc4\xc5\xc6\xc7\xc8\xc9\xca\xcb\xcc\xcd\xce\xcf\xd0\xd1\xd2\xd3"
    "\xd4\xd5\xd6\xd7\xd8\xd9\xda\xdb\xdc\xdd\xde\xdf\xe0\xe1\xe2\xe3\xe4\xe5\xe6\xe7\xe8\xe9"
    "\xea\xeb\xec\xed\xee\xef\xf0\xf1\xf2\xf3\xf4\xf5\xf6\xf7\xf8\xf9\xfa\xfb\xfc\xfd\xfe\xff";
const std::string kAlphabetKoi8r =
    "\xb3\xa3\xe1\xe2\xf7\xe7\xe4\xe5\xf6\xfa\xe9\xea\xeb\xec\xed\xee\xef\xf0\xf2\xf3\xf4\xf5"
    "\xe6\xe8\xe3\xfe\xfb\xfd\xff\xf9\xf8\xfc\xe0\xf1\xc1\xc2\xd7\xc7\xc4\xc5\xd6\xda\xc9\xca"
    "\xcb\xcc\xcd\xce\xcf\xd0\xd2\xd3\xd4\xd5\xc6\xc8\xc3\xde\xdb\xdd\xdf\xd9\xd8\xdc\xc0\xd1";

TEST(DetectPageEncoding, MarkThenDeclarationThenBytes) {
  const std::string cyrillic = Cp1251ToUtf8("\xcf\xf0\xe8\xe2\xe5\xf2");
  EXPECT_EQ(DetectPageEncoding("\xEF\xBB\xBFplain"), TPageEncoding::Utf8);
  EXPECT_EQ(DetectPageEncoding("<meta charset=\"UTF-8\"><p>a"), TPageEncoding::Utf8);
  EXPECT_EQ(DetectPageEncoding("<META HTTP-EQUIV=Content-Type CONTENT=\"text/html; "
                               "charset=KOI8-R\">" +
                               cyrillic),
            TPageEncoding::Koi8r);
  EXPECT_EQ(DetectPageEncoding("<meta http-equiv=content-type content='text/html;charset=cp1251'>" +
                               cyrillic),
            TPageEncoding::Cp1251);
  EXPECT_EQ(DetectPageEncoding("<p>" + cyrillic), TPageEncoding::Utf8);
  EXPECT_EQ(DetectPageEncoding("<p>plain ascii"), TPageEncoding::Cp1251);
  EXPECT_EQ(DetectPageEncoding("<p>\xcf\xf0\xe8\xe2\xe5\xf2"), TPageEncoding::Cp1251);
}

TEST(DetectPageEncoding, UnknownNamesArePassedOverAndOnlyMetaTagsCount) {
  // A bogus first declaration, then the real one.
  EXPECT_EQ(DetectPageEncoding("<meta content=\"text/html; charset=_CHARSET\">"
                               "<meta content=\"text/html; charset=koi8-r\">"),
            TPageEncoding::Koi8r);
  EXPECT_EQ(DetectPageEncoding("<p>charset=koi8-r</p><metadata charset=koi8-r>"),
            TPageEncoding::Cp1251);
  // Beyond the first 4 KB a declaration is not looked at.
  EXPECT_EQ(DetectPageEncoding(std::string(5000, ' ') + "<meta charset=koi8-r>"),
            TPageEncoding::Cp1251);
}

TEST(PageTo1251, XmlPrologueCountsAsADeclaration) {
  EXPECT_EQ(PageTo1251("<?xml version=\"1.0\" encoding=\"KOI8-R\"?><p>\xf0"),
            "<?xml version=\"1.0\" encoding=\"windows-1251\"?><p>\xcf");
  EXPECT_EQ(PageTo1251("<?xml version=1.0 encoding=utf-8?><p>\xC3\xA9"),
            "<?xml version=1.0 encoding=windows-1251?><p>&#233;");
}

TEST(DetectPageEncoding, DeclaredUtf8ThatIsNotValidIsLeftAlone) {
  const std::string page = "<meta charset=utf-8><title>\xcf\xf0\xe8\xe2\xe5\xf2</title>";
  EXPECT_EQ(DetectPageEncoding(page), TPageEncoding::Cp1251);
  EXPECT_EQ(PageTo1251(page), page);
}

TEST(PageTo1251, Windows1251AndAsciiPagesPassByteForByte) {
  const std::string page = "<meta charset=windows-1251>\r\n<p>" + kAlphabet1251 + "\x98\x00x";
  EXPECT_EQ(PageTo1251(page), page);
  EXPECT_EQ(PageTo1251("<p>plain\n"), "<p>plain\n");
}

TEST(PageTo1251, Utf8BecomesWindows1251WithReferencesForTheRest) {
  const std::string page = "\xEF\xBB\xBF<meta charset='utf-8'><p>" + Cp1251ToUtf8(kAlphabet1251) +
                           " \xF0\x9F\x98\x80 \xE2\x80\x94 \xC3\xA9</p>";
  EXPECT_EQ(PageTo1251(page),
            "<meta charset='windows-1251'><p>" + kAlphabet1251 + " &#128512; \x97 &#233;</p>");
}

TEST(PageTo1251, Koi8rGivesTheSameBytesAsItsWindows1251Twin) {
  const std::string page =
      "<META http-equiv=Content-Type content=\"text/html; charset=KOI8-R\">"
      "<p>" +
      kAlphabetKoi8r + " \x80\x9a\xbf</p>";
  EXPECT_EQ(PageTo1251(page),
            "<META http-equiv=Content-Type content=\"text/html; charset=windows-1251\">"
            "<p>" +
                kAlphabet1251 + " &#9472;\xa0\xa9</p>");
}

TEST(PageTo1251, EveryDeclarationOfAConvertedPageNamesWindows1251) {
  // Beyond the window that decides the encoding, and whatever they named.
  const std::string page = "<meta charset=utf-8><p>\xC3\xA9" + std::string(5000, ' ') +
                           "<meta http-equiv=content-type content=\"text/html; charset=UTF8\">"
                           "<meta charset=iso-8859-1><META CHARSET='_CHARSET'>";
  EXPECT_EQ(PageTo1251(page), "<meta charset=windows-1251><p>&#233;" + std::string(5000, ' ') +
                                  "<meta http-equiv=content-type content=\"text/html; "
                                  "charset=windows-1251\"><meta charset=windows-1251>"
                                  "<META CHARSET='windows-1251'>");
}

TEST(PageTo1251, Utf8BytesUnderALatinDeclarationAreConvertedAndRedeclared) {
  for (const char* latin : {"iso-8859-1", "windows-1252", "ISO-8859-15"}) {
    const std::string page =
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + std::string(latin) +
        "\"><p>" + Cp1251ToUtf8(kAlphabet1251);
    EXPECT_EQ(PageTo1251(page),
              "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\"><p>" +
                  kAlphabet1251)
        << latin;
  }
}

TEST(PageTo1251, XmlPrologueOfAConvertedPageNamesWindows1251OrGoes) {
  // Another name than the page's own, as a copy saved by a wrapper has it.
  EXPECT_EQ(PageTo1251("<?xml version=\"1.0\" encoding=\"x-koi8-u\"?>"
                       "<meta charset=koi8-r><p>\xf0"),
            "<?xml version=\"1.0\" encoding=\"windows-1251\"?><meta charset=windows-1251><p>\xcf");
  // Without an encoding a prologue means UTF-8 to an XML reader: it goes,
  // the rest of the page stays as it was.
  EXPECT_EQ(PageTo1251("<?xml version=\"1.0\"?>\n<html><p>\xC3\xA9"), "\n<html><p>&#233;");
  EXPECT_EQ(PageTo1251("<?xml version='1.0' standalone='yes'?><p>\xC3\xA9 <?xml-stylesheet x?>"),
            "<p>&#233; <?xml-stylesheet x?>");
  // A page that is not converted keeps every byte, prologue and all.
  EXPECT_EQ(PageTo1251("<?xml version=\"1.0\"?><p>\xcf"), "<?xml version=\"1.0\"?><p>\xcf");
}

// The charset or encoding value of every meta tag and XML prologue, lower
// case, in page order (a script's charset attribute is no declaration).
std::vector<std::string> DeclaredNames(const std::string& page) {
  std::vector<std::string> names;
  const std::string lower = LowerCase(page);
  for (size_t tag = lower.find('<'); tag != std::string::npos; tag = lower.find('<', tag + 1)) {
    const bool prologue = lower.compare(tag, 6, "<?xml ") == 0;
    if (!prologue && lower.compare(tag, 6, "<meta ") != 0) continue;
    const std::string inside = lower.substr(tag, lower.find('>', tag) - tag);
    const std::string word = prologue ? "encoding=" : "charset=";
    const size_t at = inside.find(word);
    if (at == std::string::npos) continue;
    size_t from = at + word.size();
    while (from < inside.size() && (inside[from] == '"' || inside[from] == '\'')) ++from;
    names.push_back(inside.substr(from, inside.find_first_of("\"' ;/?", from) - from));
  }
  return names;
}

TEST(PageTo1251, CorpusPagesThatAreConvertedDeclareOnlyWindows1251) {
  const fs::path corpus = fs::path(MYTAVEX_SHARED_DIR) / "corpus";
  if (!fs::exists(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
  const auto page_of = [&](const char* name) {
    return test::ReadFile(corpus / name / "source.html");
  };
  // KOI8-R with an XML prologue and a meta tag naming it.
  const std::string koi8r = page_of("apache-httpd/manual-2.0-install-koi8r");
  ASSERT_EQ(DetectPageEncoding(koi8r), TPageEncoding::Koi8r);
  const std::string converted = PageTo1251(koi8r);
  EXPECT_EQ(converted.substr(0, 45), "<?xml version=\"1.0\" encoding=\"windows-1251\"?>");
  EXPECT_EQ(DeclaredNames(converted), (std::vector<std::string>{"windows-1251", "windows-1251"}));

  // A UTF-8 page whose declaration was changed to Latin-1 by the tool that
  // saved it.
  std::string utf8 = page_of("daniel-waddle/newsru-com-2012");
  const size_t meta = utf8.find("charset=utf-8");
  ASSERT_NE(meta, std::string::npos);
  utf8.replace(meta, 13, "charset=iso-8859-1");
  ASSERT_EQ(DetectPageEncoding(utf8), TPageEncoding::Utf8);
  EXPECT_EQ(DeclaredNames(PageTo1251(utf8)), (std::vector<std::string>{"windows-1251"}));

  // A true Latin-1 page is not converted and keeps its bytes.
  const std::string latin = page_of("libxml2/bp6-saved-2000");
  EXPECT_EQ(PageTo1251(latin), latin);
}

class EncodedArticleTest : public test::ArticleWorkspace {
 protected:
  std::string Clean(std::string_view name, std::string_view bytes, std::string& page) {
    const std::string target = work_ / "out/pub/0.htm";
    std::string title = CleanArticle(WriteSource(name, bytes), target, window_);
    page = test::ReadFile(target);
    return title;
  }
};

TEST_F(EncodedArticleTest, Utf8PageWithCyrillicTitleEmojiAndPictureName) {
  const std::string title =
      "\xcd\xee\xe2\xee\xf1\xf2\xe8 \xcd\xe5\xe4\xe5\xeb\xe8";  // Новости Недели
  const std::string picture = "\xd4\xee\xf2\xee.gif";           // Фото.gif
  test::WriteFile(work_.path() / "src" / fs::u8path(Cp1251ToUtf8(picture)), "GIF");
  std::string page;
  EXPECT_EQ(
      Clean("a.htm",
            Cp1251ToUtf8("<html><head><meta http-equiv=\"Content-Type\" "
                         "content=\"text/html; charset=utf-8\"><title>" +
                         title + "</title></head><body><p>") +
                "\xF0\x9F\x98\x80" + Cp1251ToUtf8("<img src=\"" + picture + "\"></body></html>"),
            page),
      title);
  EXPECT_NE(page.find("charset=windows-1251"), std::string::npos);
  EXPECT_NE(page.find("<p>\r\n&#128512;\r\n<img src=\"..\\Images\\1.gif\">"), std::string::npos);
  EXPECT_NE(page.find("<h2 align=\"center\">" + title + "</h2>"), std::string::npos);
  EXPECT_EQ(test::ReadFile(work_.path() / "out" / "images" / "1.gif"), "GIF");
}

TEST_F(EncodedArticleTest, Koi8rPageGivesTheSameTitleAsItsWindows1251Twin) {
  std::string koi8_page, cp1251_page;
  const std::string koi8_title =
      Clean("k.htm",
            "<html><head><meta charset=koi8-r><title>" + kAlphabetKoi8r + "</title></head></html>",
            koi8_page);
  const std::string cp1251_title = Clean(
      "w.htm",
      "<html><head><meta charset=windows-1251><title>" + kAlphabet1251 + "</title></head></html>",
      cp1251_page);
  // The title keeps its capitals: only tags are lower-cased.
  EXPECT_EQ(koi8_title, kAlphabet1251);
  EXPECT_EQ(cp1251_title, kAlphabet1251);
  EXPECT_EQ(koi8_page, cp1251_page);
}

TEST_F(EncodedArticleTest, InvalidUtf8PageIsCleanedAsWindows1251) {
  std::string page;
  EXPECT_EQ(Clean("a.htm", "<meta charset=utf-8><title>\xcf\xf0\xe8\xe2\xe5\xf2</title>", page),
            "\xcf\xf0\xe8\xe2\xe5\xf2");
  EXPECT_NE(page.find("<meta charset=utf-8>"), std::string::npos);
}

}  // namespace
}  // namespace tavex
