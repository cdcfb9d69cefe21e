// Pictures of today's saved pages: lazy loading, srcset, <picture>, <noscript>,
// encoded names and a browser's "_files" folder, with ModernPictures on.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/memory_window.h"
#include "clean/clean_article.h"
#include "clean/line_list.h"
#include "clean/picture_source.h"
#include "clean/tag_attributes.h"
#include "clean/web_reference.h"
#include "support/article_workspace.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

using test::ReadFile;
using test::WriteFile;

// A GIF and a PNG header of the given size, padded as real files are.
std::string Gif(int width, int height) {
  std::string bytes = "GIF89a";
  for (int v : {width, height}) {
    bytes += static_cast<char>(v & 0xFF);
    bytes += static_cast<char>(v >> 8);
  }
  return bytes + std::string("\x80\x00\x00\x00\x00\x00\xff\xff\xff!\xf9\x04\x01", 13) +
         std::string(20, '\0');
}

std::string Png(uint32_t width, uint32_t height) {
  std::string bytes("\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIHDR", 16);
  for (uint32_t v : {width, height})
    for (int shift = 24; shift >= 0; shift -= 8) bytes += static_cast<char>(v >> shift & 0xFF);
  return bytes + std::string("\x08\x06\x00\x00\x00", 5) + std::string(20, '\0');
}

// The one-pixel GIF that lazy-loading scripts put into src as a data: picture.
constexpr const char* kDataPlaceholder =
    "data:image/gif;base64,R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7";

// Cleans pages of "src/news" into "out" with ModernPictures on.
class ModernPicturesTest : public test::ArticleWorkspace {
 protected:
  ModernPicturesTest() { window_.SetChecked(Switch::ModernPictures, true); }

  void Picture(std::string_view relative, std::string_view bytes) {
    WriteSource("news/" + std::string(relative), bytes);
  }

  // The cleaned lines that stood where the body was; the page is "<html>",
  // "<head>", "</head>", body, "</html>" after normalisation, and the body is
  // put between "<body>" and "</body>" when the page is finished.
  LineList CleanBody(std::string_view body, std::string_view name = "a.htm") {
    const fs::path page = work_.path() / "src" / "news" / name;
    WriteFile(page, "<html><head></head>\n" + std::string(body) + "\n</html>");
    const std::string target = work_ / "out/pub/page.htm";
    CleanArticle(page.string(), target, window_, work_ / "src");
    // The page gets "<body>" and "</body>" around what it had after its head.
    const LineList lines = SplitIntoLines(ReadFile(target));
    const auto opened = std::find(lines.begin(), lines.end(), "<body>");
    const auto closed = std::find(lines.begin(), lines.end(), "</body>");
    if (opened == lines.end() || closed < opened) return lines;
    return LineList(opened + 1, closed);
  }

  std::string Issued(std::string_view name) const {
    return ReadFile(work_.path() / "out" / "images" / name);
  }
};

TEST_F(ModernPicturesTest, LazyAttributesWinOverEveryKindOfPlaceholder) {
  Picture("photo.jpg", "photo");
  Picture("blank.gif", Gif(1, 1));
  Picture("second.jpg", "second");
  Picture("third.png", "third");
  EXPECT_EQ(CleanBody("<img src=\"" + std::string(kDataPlaceholder) +
                      "\" data-src=\"photo.jpg\" class=\"lazy\" alt=\"A photo\">\n"
                      "<img src=blank.gif data-original=second.jpg width=640>\n"
                      "<img src=never-saved.gif data-lazy-src=third.png>\n"
                      "<img data-src=photo.jpg>"),
            (LineList{"<img src=\"..\\Images\\1.jpg\" class=\"lazy\" alt=\"a photo\">",
                      "<img src=\"..\\Images\\2.jpg\" width=640>",
                      "<img src=\"..\\Images\\3.png\">", "<img src=\"..\\Images\\1.jpg\">"}));
  EXPECT_EQ(Issued("1.jpg"), "photo");
  EXPECT_EQ(Issued("2.jpg"), "second");
  EXPECT_FALSE(fs::exists(work_.path() / "out" / "images" / "4.gif"));  // blank.gif never issued
}

TEST_F(ModernPicturesTest, PlaceholdersWithoutARealPicture) {
  Picture("spacer.gif", Gif(1, 1));
  Picture("dot.png", Png(1, 1));
  Picture("wide.png", Png(2, 1));
  // A one-pixel spacer with nothing better stays, as it always did; so does a
  // data: placeholder whose lazy picture was never saved, since the picture
  // in the page is a picture like any other (a blank one here).
  EXPECT_EQ(CleanBody("<img src=spacer.gif width=200 height=10>\n"
                      "<img src=" +
                      std::string(kDataPlaceholder) +
                      " data-src=https://example.com/gone.jpg>\n"
                      "<img src=\"wide.png\" width=\"1\" height=\"1\">\n"
                      "<img srcset=\"dot.png 2x\" src=wide.png>\n"
                      "<img alt=\"no picture named\">"),
            (LineList{"<img src=\"..\\Images\\1.gif\" width=200 height=10>",
                      "<img src=\"..\\Images\\2.gif\">", "", "<img src=\"..\\Images\\3.png\">",
                      "<img alt=\"no picture named\">"}));
  EXPECT_EQ(Issued("3.png"), Png(2, 1));
}

TEST_F(ModernPicturesTest, LargestSrcsetCandidateThatExists) {
  Picture("small.jpg", "small");
  Picture("medium.jpg", "medium");  // large.jpg was never saved
  Picture("d1.jpg", "d1");
  Picture("d2.jpg", "d2");
  Picture("w_300,h_200/p.jpg", "commas");
  EXPECT_EQ(CleanBody("<img src=small.jpg srcset=\"small.jpg 300w, large.jpg 1200w, medium.jpg "
                      "600w\" sizes=\"(max-width: 600px) 100vw, 600px\" alt=x>\n"
                      "<img srcset=\"d1.jpg, d3.jpg 3x, d2.jpg 2x\" src=d1.jpg>\n"
                      "<img srcset=\"w_300,h_200/p.jpg 1x,w_600,h_400/p.jpg 2x\">"),
            (LineList{"<img src=\"..\\Images\\1.jpg\" alt=x>", "<img src=\"..\\Images\\2.jpg\">",
                      "<img src=\"..\\Images\\3.jpg\">"}));
  EXPECT_EQ(Issued("1.jpg"), "medium");
  EXPECT_EQ(Issued("2.jpg"), "d2");
  EXPECT_EQ(Issued("3.jpg"), "commas");
}

TEST_F(ModernPicturesTest, PictureElementGivesItsSourcesToItsImgAndLosesThem) {
  Picture("p-800.webp", "webp 800");
  Picture("p-400.webp", "webp 400");
  Picture("p.jpg", "jpeg");
  Picture("other.jpg", "other");
  EXPECT_EQ(CleanBody("<picture>\n"
                      "<source type=\"image/avif\" srcset=\"p-1600.avif 1600w\">\n"
                      "<source type=\"image/webp\" srcset=\"p-400.webp 400w, p-800.webp 800w\">\n"
                      "<img src=\"p.jpg\" alt=\"x\">\n"
                      "</picture>\n"
                      "<img src=other.jpg>"),
            (LineList{"<picture>", "", "", "<img src=\"..\\Images\\1.webp\" alt=\"x\">",
                      "</picture>", "<img src=\"..\\Images\\2.jpg\">"}));
  EXPECT_EQ(Issued("1.webp"), "webp 800");
}

TEST_F(ModernPicturesTest, NoscriptFallbackFillsAPlaceholderOnly) {
  Picture("real.jpg", "real");
  Picture("shown.jpg", "shown");
  EXPECT_EQ(CleanBody("<img src=\"" + std::string(kDataPlaceholder) +
                      "\" class=\"lazyload\">\n"
                      "<noscript>\n<img src=\"real.jpg\" alt=\"r\">\n</noscript>\n"
                      // A real picture keeps its own file; its noscript copy is left alone.
                      "<img src=\"shown.jpg\">\n<noscript>\n<img src=\"real.jpg\">\n</noscript>\n"
                      // Text between: the noscript picture belongs to the text, not the tag.
                      "<img src=\"missing.gif\">\n<p>\nCaption\n</p>\n"
                      "<noscript>\n<img src=\"real.jpg\">\n</noscript>"),
            (LineList{"<img src=\"..\\Images\\1.jpg\" class=\"lazyload\">", "<noscript>", "",
                      "</noscript>", "<img src=\"..\\Images\\2.jpg\">", "<noscript>",
                      "<img src=\"..\\Images\\1.jpg\">", "</noscript>", "", "<p>", "Caption",
                      "</p>", "<noscript>", "<img src=\"..\\Images\\1.jpg\">", "</noscript>"}));
}

TEST_F(ModernPicturesTest, PercentEncodedAndUtf8Names) {
  Picture("\xd0\xbf\xd1\x80\xd0\xb8.jpg", "pri");           // "при.jpg", UTF-8 on disk
  Picture("\xd1\x84\xd0\xbe\xd1\x82\xd0\xbe.png", "foto");  // "фото.png"
  Picture("my pics/a b.gif", "ab");
  Picture("100%.gif", "percent");
  // "%EF%F0%E8" is "при" in the page's own code page, not UTF-8.
  EXPECT_EQ(CleanBody("<img src=\"%D0%BF%D1%80%D0%B8.jpg\">\n"
                      "<img src=\"%EF%F0%E8.jpg\">\n"
                      "<img src=\"\xd1\x84\xd0\xbe\xd1\x82\xd0\xbe.png\">\n"
                      "<img data-src=\"my%20pics/a%20b.gif\">\n"
                      "<img src=\"100%.gif\">"),
            (LineList{"<img src=\"..\\Images\\1.jpg\">", "<img src=\"..\\Images\\1.jpg\">",
                      "<img src=\"..\\Images\\2.png\">", "<img src=\"..\\Images\\3.gif\">",
                      "<img src=\"..\\Images\\4.gif\">"}));
  EXPECT_EQ(Issued("1.jpg"), "pri");
  EXPECT_EQ(Issued("4.gif"), "percent");
}

TEST_F(ModernPicturesTest, BrowsersFilesFolderHoldsWhatWebAddressesName) {
  Picture("Page_files/photo.jpg", "photo");
  Picture("Page_files/hero-1200.jpg", "hero");
  Picture("Page_files/local.png", "local");
  EXPECT_EQ(CleanBody("<img data-src=\"https://cdn.example.com/img/photo.jpg?w=800&amp;q=70\">\n"
                      "<img srcset=\"//cdn.example.com/hero-600.jpg 600w, "
                      "//cdn.example.com/hero-1200.jpg 1200w\">\n"
                      "<img src=\"./page_files/local.png\">\n"
                      "<img src=\"https://cdn.example.com/never.jpg\">",
                      "Page.htm"),
            (LineList{"<img src=\"..\\Images\\1.jpg\">", "<img src=\"..\\Images\\2.jpg\">",
                      "<img src=\"..\\Images\\3.png\">", ""}));
  EXPECT_EQ(Issued("2.jpg"), "hero");
  // Another page of the folder has no claim on that folder.
  EXPECT_EQ(CleanBody("<img data-src=\"https://cdn.example.com/img/photo.jpg\">", "Other.htm"),
            LineList{""});
}

TEST_F(ModernPicturesTest, PictureOutsideTheSourceTreeStaysRefused) {
  WriteFile(work_.path() / "secret.jpg", "secret");
  Picture("ok.jpg", "ok");
  EXPECT_EQ(CleanBody("<img src=ok.jpg data-src=\"../../secret.jpg\">\n"
                      "<img srcset=\"../../secret.jpg 2x, ok.jpg 1x\">"),
            (LineList{"", ""}));
  EXPECT_TRUE(fs::is_empty(work_.path() / "out" / "images"));
}

TEST_F(ModernPicturesTest, SwitchedOffTheTagIsReadAsAlways) {
  window_.SetChecked(Switch::ModernPictures, false);
  Picture("photo.jpg", "photo");
  EXPECT_EQ(CleanBody("<img src=\"" + std::string(kDataPlaceholder) +
                      "\" data-src=photo.jpg>\n"
                      "<img src=photo.jpg srcset=\"big.jpg 2x\">"),
            (LineList{"<img src=\"..\\Images\\1.gif\" data-src=photo.jpg>",
                      "<img src=\"..\\Images\\2.jpg\" srcset=\"big.jpg 2x\">"}));
}

TEST(ParseSrcset, ReadsCandidatesAsBrowsersDo) {
  const auto candidates = ParseSrcset(" a.jpg 300w,b.jpg  1.5x , c.jpg, d,e.jpg 2x,, f.jpg 10q");
  ASSERT_EQ(candidates.size(), 5u);
  EXPECT_EQ(candidates[0].Reference, "a.jpg");
  EXPECT_EQ(candidates[0].Unit, 'w');
  EXPECT_EQ(candidates[0].Size, 300);
  EXPECT_EQ(candidates[1].Unit, 'x');
  EXPECT_EQ(candidates[1].Size, 1.5);
  EXPECT_EQ(candidates[2].Reference, "c.jpg");
  EXPECT_EQ(candidates[2].Size, 1);
  EXPECT_EQ(candidates[3].Reference, "d,e.jpg");  // a comma inside a reference stays
  EXPECT_EQ(candidates[3].Size, 2);
  EXPECT_EQ(candidates[4].Reference, "f.jpg");  // an unknown descriptor leaves 1x
  EXPECT_EQ(candidates[4].Size, 1);
  EXPECT_TRUE(ParseSrcset(" , ").empty());
  EXPECT_EQ(ParseSrcset("x.jpg (a, b) 2x, y.jpg").size(), 2u);
}

TEST(IsOnePixelPicture, ReadsGifAndPngHeaders) {
  test::TempDir dir;
  const std::pair<std::string, bool> cases[] = {
      {Gif(1, 1), true}, {Gif(1, 2), false},         {Gif(256 + 1, 1), false},
      {Png(1, 1), true}, {Png(1, 65536 + 1), false}, {Gif(1, 1).substr(0, 12), false},
      {"GIF89a", false}};
  int n = 0;
  for (const auto& [bytes, one_pixel] : cases) {
    const std::string path = dir / ("p" + std::to_string(n++));
    WriteFile(path, bytes);
    EXPECT_EQ(IsOnePixelPicture(path), one_pixel) << n;
  }
  EXPECT_FALSE(IsOnePixelPicture(dir / "missing.gif"));
}

TEST(DecodeFileReference, EscapesOfAnyByteAndUtf8Runs) {
  EXPECT_EQ(DecodeFileReference("%d0%bf%D0%9F/x%20y&amp;z.jpg"), "\xef\xcf\\x y&z.jpg");
  EXPECT_EQ(DecodeFileReference("%ef%f0"), "\xef\xf0");  // not UTF-8: its bytes as they are
  EXPECT_EQ(DecodeFileReference("100%.gif%2"), "100%.gif%2");
  EXPECT_EQ(DecodeFileReference("%e2%82%ac"), "\x88");  // the euro sign of the code page
}

TEST(WebReferences, OutsideQueryFragmentAndLastPart) {
  for (const char* outside :
       {"http://a/b", "data:x", "c:\\x", "/root", "\\\\share", "//host/p", "mailto:a@b"})
    EXPECT_TRUE(IsOutsideReference(outside)) << outside;
  for (const char* inside : {"a.jpg", "a_files/b:c.jpg", "../a.jpg", "1a:b", ""})
    EXPECT_FALSE(IsOutsideReference(inside)) << inside;
  EXPECT_EQ(WithoutQuery("a.htm?x=1#top"), "a.htm");
  EXPECT_EQ(WithoutQuery("a.htm#t?x"), "a.htm");
  EXPECT_EQ(FragmentOf("a.htm?x#top"), "#top");
  EXPECT_EQ(FragmentOf("a.htm"), "");
  EXPECT_EQ(LastPathPart("https://h/p/q.jpg"), "q.jpg");
  EXPECT_EQ(LastPathPart("a\\b"), "b");
  EXPECT_EQ(LastPathPart("dir/"), "");
}

TEST(TagAttributes, QuotedUnquotedBareAndUnclosed) {
  const std::string tag = "<img src=a.gif alt=\"x > y\" title='q' hidden data-x = 5 / class=\"open";
  const auto attributes = TagAttributes(tag);
  ASSERT_EQ(attributes.size(), 6u);
  EXPECT_EQ(attributes[0].name, "src");
  EXPECT_EQ(attributes[0].value, "a.gif");
  EXPECT_EQ(attributes[1].value, "x > y");
  EXPECT_EQ(attributes[2].value, "q");
  EXPECT_EQ(attributes[3].name, "hidden");
  EXPECT_EQ(attributes[3].value, "");
  EXPECT_EQ(attributes[4].name, "data-x");
  EXPECT_EQ(attributes[4].value, "5");
  EXPECT_EQ(attributes[5].value, "open");
  EXPECT_EQ(tag.substr(attributes[1].begin, attributes[1].end - attributes[1].begin),
            "alt=\"x > y\"");
  EXPECT_EQ(FindAttribute(attributes, "title"), &attributes[2]);
  EXPECT_EQ(FindAttribute(attributes, "srcset"), nullptr);
  EXPECT_TRUE(TagAttributes("<br>").empty());
  EXPECT_EQ(TagAttributes("<a href=x>text").size(), 1u);
}

TEST(EditTag, KeepsDropsAndReplacesInOnePass) {
  const std::string tag = "<img  src=a.gif srcset=\"b 2x\" alt=x>";
  const auto attributes = TagAttributes(tag);
  const std::string edited =
      EditTag(tag, attributes, [](const TTagAttribute& a) -> std::optional<std::string> {
        if (a.name == "src") return std::string("src=\"n.gif\"");
        if (a.name == "srcset") return std::string();
        return std::nullopt;
      });
  EXPECT_EQ(edited, "<img  src=\"n.gif\" alt=x>");
}

}  // namespace
}  // namespace tavex
