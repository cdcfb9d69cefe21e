// Today's pages built into an issue with ModernPictures and UnlinkMissingPages
// on: the EPUB edition carries their pictures, follows the links between the
// articles, and passes epubcheck.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/cli_run.h"
#include "epub_test_support.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex::cli {
namespace {

// A valid GIF of width by height pixels of one colour. Each pixel is coded
// after a clear code, which keeps every code 3 bits wide.
std::string TinyGif(int width, int height, unsigned char red) {
  std::string gif = "GIF89a";
  auto add16 = [&gif](int v) {
    gif += static_cast<char>(v & 0xFF);
    gif += static_cast<char>(v >> 8 & 0xFF);
  };
  add16(width);
  add16(height);
  gif += std::string("\x80\x00\x00", 3);                        // two colours
  gif += std::string({static_cast<char>(red), 0, 0, 0, 0, 0});  // the table
  gif += ',';
  add16(0);
  add16(0);
  add16(width);
  add16(height);
  gif += '\0';
  std::string data;
  uint32_t bits = 0;
  int count = 0;
  auto code = [&](uint32_t c) {
    bits |= c << count;
    count += 3;
    while (count >= 8) {
      data += static_cast<char>(bits & 0xFF);
      bits >>= 8;
      count -= 8;
    }
  };
  for (int i = 0; i < width * height; ++i) {
    code(4);  // clear
    code(0);  // colour 0
  }
  code(5);  // end
  if (count > 0) data += static_cast<char>(bits & 0xFF);
  gif += '\x02';  // the smallest code size
  for (size_t at = 0; at < data.size(); at += 255) {
    const std::string block = data.substr(at, 255);
    gif += static_cast<char>(block.size());
    gif += block;
  }
  gif += std::string("\x00;", 2);
  return gif;
}

class LinkedPicturesBook : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy(MYTAVEX_DATA_DIR, dir_.path(), fs::copy_options::recursive);
    for (const auto& entry : fs::directory_iterator(dir_.path() / "help"))
      if (entry.is_directory()) fs::remove_all(entry.path());
    const fs::path today = dir_.path() / "source" / "Today";
    const fs::path later = dir_.path() / "source" / "Later";
    test::WriteFile(
        today / "a.htm",
        "<html><head><meta charset=utf-8><title>Article A</title>"
        "<meta property=\"og:url\" content=\"https://example.com/a\"></head><body>"
        "<p>A lazy one: <img src=\"data:image/gif;base64,R0lGODlhAQABAAAAACw=\" "
        "data-src=\"https://cdn.example.com/lazy.gif\" alt=\"lazy\"></p>"
        "<p><img srcset=\"s.gif 200w, m.gif 400w, l.gif 800w\" src=\"s.gif\" alt=\"set\"></p>"
        "<picture><source srcset=\"p2.gif 2x\" type=\"image/gif\"><img src=\"p1.gif\" "
        "alt=\"picture\"></picture>"
        "<p><img src=\"missing.gif\" class=\"lazyload\" alt=\"fallback\">"
        "<noscript><img src=\"n.gif\" alt=\"fallback\"></noscript></p>"
        "<p><img src=\"%D0%BF.gif\" alt=\"cyrillic\"></p>"
        "<p>Go to <a href=\"../Later/b.htm\">article B</a>, "
        "<a href=\"https://example.com/b\">B by its address</a> or "
        "<a href=\"https://elsewhere.example/\">elsewhere</a>.</p></body></html>\r\n");
    test::WriteFile(today / "a_files" / "lazy.gif", TinyGif(2, 1, 1));
    test::WriteFile(today / "s.gif", TinyGif(2, 2, 2));
    test::WriteFile(today / "m.gif", TinyGif(3, 2, 3));
    test::WriteFile(today / "p1.gif", TinyGif(2, 1, 4));
    test::WriteFile(today / "p2.gif", TinyGif(4, 2, 5));
    test::WriteFile(today / "n.gif", TinyGif(2, 3, 6));
    test::WriteFile(today / "\xd0\xbf.gif", TinyGif(3, 3, 7));
    test::WriteFile(later / "b.htm",
                    "<html><head><title>Article B</title>"
                    "<meta property=\"og:url\" content=\"https://example.com/b\"></head><body>"
                    "<p>Back to <a href=\"https://www.example.com/a/\">article A</a>.</p>"
                    "</body></html>\r\n");
  }

  int Build() {
    test::ScopedCurrentDir stay(fs::current_path());  // RunCli moves into --workdir
    std::vector<std::string> args = {"build",
                                     "--workdir",
                                     dir_.text(),
                                     "--set",
                                     "RunCompiler=off",
                                     "--set",
                                     "MakeEpub=on",
                                     "--set",
                                     "ModernPictures=on",
                                     "--set",
                                     "UnlinkMissingPages=on",
                                     "--rubric",
                                     "Today=Today",
                                     "--rubric",
                                     "Later=Later",
                                     "--quiet"};
    std::ostringstream out;
    return RunCli(args, out, err_, false);
  }

  const test::TZipEntry* Document(const std::vector<test::TZipEntry>& book,
                                  std::string_view holding) {
    for (const test::TZipEntry& entry : book)
      if (entry.name.starts_with("EPUB/text/") && entry.bytes.find(holding) != std::string::npos)
        return &entry;
    return nullptr;
  }

  test::TempDir dir_;
  std::ostringstream err_;
};

TEST_F(LinkedPicturesBook, CarriesEveryPictureFollowsTheLinksAndPassesEpubcheck) {
  ASSERT_EQ(Build(), kExitSuccess) << err_.str();
  const fs::path issue = dir_.path() / "help/tavex1/tavex1";
  // Five pictures of page A in page order, each its own number.
  for (int n = 1; n <= 5; ++n)
    EXPECT_TRUE(fs::exists(issue / "images" / (std::to_string(n) + ".gif"))) << n;
  EXPECT_FALSE(fs::exists(issue / "images" / "6.gif"));
  EXPECT_EQ(test::ReadFile(issue / "images/2.gif"), TinyGif(3, 2, 3));  // m.gif, not s.gif

  const auto book = test::ReadZip((issue / "tavex1.epub").string());
  const test::TZipEntry* a = Document(book, "Go to");
  const test::TZipEntry* b = Document(book, "Back to");
  ASSERT_TRUE(a && b);
  const std::string a_name = a->name.substr(std::string("EPUB/text/").size());
  const std::string b_name = b->name.substr(std::string("EPUB/text/").size());
  EXPECT_EQ(test::CountOf(a->bytes, "href=\"" + b_name + "\""), 2u) << a->bytes;
  EXPECT_EQ(test::CountOf(b->bytes, "href=\"" + a_name + "\""), 1u) << b->bytes;
  EXPECT_EQ(a->bytes.find("elsewhere.example"), std::string::npos);
  EXPECT_NE(a->bytes.find("elsewhere"), std::string::npos);
  EXPECT_EQ(test::CountOf(a->bytes, "<img "), 5u) << a->bytes;

  const auto result = test::RunEpubcheck((issue / "tavex1.epub").string());
  if (!result) GTEST_SKIP() << "epubcheck is not installed";
  EXPECT_TRUE(result->passed) << result->output;
}

}  // namespace
}  // namespace tavex::cli
