#include "clean/pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/memory_window.h"
#include "clean/clean_article.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "support/article_workspace.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

using test::ReadFile;
using test::WriteFile;

TEST(FileFingerprint, SumRotatedThroughCarryOrBytesRead) {
  test::TempDir dir;
  MemoryWindow window;
  WriteFile(dir.path() / "abc", "abc");
  EXPECT_EQ(FileFingerprint(dir / "abc", window), 1367u);
  // 0xFF bytes overflow the 16-bit sum, so the carry path is taken.
  WriteFile(dir.path() / "ff", std::string(3, '\xff'));
  // 255 -> 510; 765 -> 1530; 1785 -> 3570; or 3.
  EXPECT_EQ(FileFingerprint(dir / "ff", window), 3571u);
  EXPECT_EQ(window.caption(), "MyTavex v3.71b");
}

TEST(FileFingerprint, CarryOfTheAdditionEntersBitZero) {
  test::TempDir dir;
  MemoryWindow window;
  // The sums run 254, 764, 1928, 3856, 7968, 16190, 32636, 65528; then
  // 65528 + 254 = 65782 carries: (246 * 2) + 1 = 493, or 9 bytes = 493.
  WriteFile(dir.path() / "p", std::string("\x7f\x80\xc8\x00\x80\x7f\x80\x80\xfe", 9));
  EXPECT_EQ(FileFingerprint(dir / "p", window), 493u);
}

TEST(FileFingerprint, EmptyFileSetsErrorCaptionAndGivesZero) {
  test::TempDir dir;
  MemoryWindow window;
  WriteFile(dir.path() / "empty.gif", "");
  EXPECT_EQ(FileFingerprint(dir / "empty.gif", window), 0u);
  EXPECT_EQ(window.caption(), "Error");
}

TEST(FileFingerprint, ReadsOnlyTheFirstMillionBytes) {
  test::TempDir dir;
  MemoryWindow window;
  std::string big(1000000, 'x');
  WriteFile(dir.path() / "a", big + "tail one");
  WriteFile(dir.path() / "b", big + "other tail");
  const uint32_t a = FileFingerprint(dir / "a", window);
  EXPECT_EQ(a, FileFingerprint(dir / "b", window));
  EXPECT_EQ(a & 1000000u, 1000000u);
}

TEST(FileFingerprint, UnreadableFileFailsWithItsPath) {
  test::TempDir dir;
  MemoryWindow window;
  fs::create_directory(dir.path() / "folder.gif");
  for (const std::string& path : {dir / "gone.gif", dir / "folder.gif"}) {
    try {
      FileFingerprint(path, window);
      ADD_FAILURE() << "no failure for " << path;
    } catch (const Failure& failure) {
      // The second line names the picture; the reason is the system's own.
      const std::string text = failure.what();
      EXPECT_EQ(text.substr(0, text.find(": ", text.find('\n'))),
                "Cannot open file " + path + "\n" + path);
    }
  }
}

TEST(PictureRegister, EqualBytesShareTheFirstNumberAndThereIsNoLimit) {
  TPictureRegister pictures;
  const Sha256Digest a = Sha256("a"), b = Sha256("b");
  EXPECT_EQ(pictures.NumberOf(500, a), 1);
  EXPECT_EQ(pictures.NumberOf(7, a), 2);    // a fingerprint of its own is another picture
  EXPECT_EQ(pictures.NumberOf(500, b), 3);  // an equal fingerprint with other bytes too
  EXPECT_EQ(pictures.NumberOf(500, a), 1);
  EXPECT_EQ(pictures.NumberOf(500, b), 3);
  for (uint32_t f = 1000; f < 2500; ++f) pictures.NumberOf(f, a);
  EXPECT_EQ(pictures.Count(), 1503);
  EXPECT_EQ(pictures.NumberOf(2499, a), 1503);
  pictures.Reset();
  EXPECT_EQ(pictures.Count(), 0);
  EXPECT_EQ(pictures.NumberOf(7, a), 1);
}

TEST(Sha256, KnownDigests) {
  const auto hex = [](const Sha256Digest& digest) {
    std::string text;
    for (uint8_t byte : digest) {
      text += "0123456789abcdef"[byte >> 4];
      text += "0123456789abcdef"[byte & 15];
    }
    return text;
  };
  EXPECT_EQ(hex(Sha256("")), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(hex(Sha256("abc")), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  // 56 bytes: the length no longer fits the first padding block.
  EXPECT_EQ(hex(Sha256("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(hex(Sha256(std::string(1000000, 'a'))),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(IsWithinFolder, ResolvesDotDotLinksAndCase) {
  test::TempDir dir;
  WriteFile(dir.path() / "Src" / "Rubric" / "a.gif", "a");
  WriteFile(dir.path() / "Src" / "b.gif", "b");
  WriteFile(dir.path() / "secret.gif", "s");
  if (!test::MakeLink(dir.path(), dir.path() / "Src" / "Rubric" / "up"))
    GTEST_SKIP() << "this system makes no symbolic links";
  const std::string root = dir / "Src";
  EXPECT_TRUE(IsWithinFolder(dir / "src/rubric/a.gif", root));
  EXPECT_TRUE(IsWithinFolder(dir.text() + "\\src\\rubric\\..\\b.gif", root));
  EXPECT_TRUE(IsWithinFolder(root, root + "/"));
  EXPECT_FALSE(IsWithinFolder(dir.text() + "\\src\\rubric\\..\\..\\secret.gif", root));
  EXPECT_FALSE(IsWithinFolder(dir / "src/rubric/up/secret.gif", root));
  EXPECT_FALSE(IsWithinFolder(dir / "Src2/x.gif", root));  // a name that only starts alike
}

// The picture pass inside CleanArticle, over a source tree "src" with the
// article in "src/news" and the issue in "out".
class PicturePassTest : public test::ArticleWorkspace {
 protected:
  void Picture(std::string_view relative, std::string_view bytes) { WriteSource(relative, bytes); }

  // Cleans a page holding the given body lines; returns the cleaned lines that
  // stood where the body was (the page is "<html>", "<head>", "</head>", body,
  // "</html>" after normalisation).
  LineList CleanBody(std::string_view body, std::string_view name = "news/a.htm",
                     std::string_view root = "src") {
    const fs::path page = work_.path() / "src" / name;
    WriteFile(page, "<html><head></head>\n" + std::string(body) + "\n</html>");
    const std::string target = work_ / "out/pub/page.htm";
    CleanArticle(page.string(), target, window_, root.empty() ? "" : work_ / root);
    // The page gets "<body>" and "</body>" around what it had after its head.
    const LineList lines = SplitIntoLines(ReadFile(target));
    const auto opened = std::find(lines.begin(), lines.end(), "<body>");
    const auto closed = std::find(lines.begin(), lines.end(), "</body>");
    if (opened == lines.end() || closed < opened) return lines;
    return LineList(opened + 1, closed);
  }

  bool Issued(std::string_view name) const {
    return fs::exists(work_.path() / "out" / "images" / name);
  }
};

TEST_F(PicturePassTest, PictureBesideTheArticleIsNumberedAndCopied) {
  Picture("news/pics/a.gif", "GIF-a");
  EXPECT_EQ(CleanBody("<img src=pics/a.gif>"), LineList{"<img src=\"..\\Images\\1.gif\">"});
  EXPECT_EQ(ReadFile(work_.path() / "out" / "images" / "1.gif"), "GIF-a");
}

TEST_F(PicturePassTest, EqualPicturesShareANumberAcrossArticlesAndBuildsStartAfresh) {
  Picture("news/a.gif", "same bytes");
  Picture("news/copy.gif", "same bytes");
  Picture("news/b.jpg", "other bytes");
  EXPECT_EQ(CleanBody("<img src=\"a.gif\">\n<img src=\"b.jpg\">", "news/one.htm"),
            (LineList{"<img src=\"..\\Images\\1.gif\">", "<img src=\"..\\Images\\2.jpg\">"}));
  EXPECT_EQ(CleanBody("<img src=\"copy.gif\">\n<img src=\"b.jpg\">", "news/two.htm"),
            (LineList{"<img src=\"..\\Images\\1.gif\">", "<img src=\"..\\Images\\2.jpg\">"}));
  EXPECT_TRUE(Issued("1.gif") && Issued("2.jpg"));
  EXPECT_FALSE(Issued("3.gif"));

  // A second build: b.jpg, number 2 before, is now the first picture.
  ResetPictureRegister();
  fs::remove_all(work_.path() / "out" / "images");
  fs::create_directory(work_.path() / "out" / "images");
  EXPECT_EQ(CleanBody("<img src=\"b.jpg\">\n<img src=\"a.gif\">"),
            (LineList{"<img src=\"..\\Images\\1.jpg\">", "<img src=\"..\\Images\\2.gif\">"}));
  EXPECT_EQ(ReadFile(work_.path() / "out" / "images" / "1.jpg"), "other bytes");
}

TEST_F(PicturePassTest, RepeatedPictureInOnePageKeepsItsNumber) {
  Picture("news/dot.gif", "dot");
  Picture("news/b.gif", "b");
  EXPECT_EQ(CleanBody("<img src=\"dot.gif\" width=\"1\" height=\"1\">\n<img src=dot.gif>\n"
                      "<img src=b.gif>\n<img src=dot.gif alt=again>"),
            (LineList{"", "<img src=\"..\\Images\\1.gif\">", "<img src=\"..\\Images\\2.gif\">",
                      "<img src=\"..\\Images\\1.gif\" alt=again>"}));
}

TEST_F(PicturePassTest, AFileOfTheCopysNameThatThisRunDidNotWriteIsNeitherReplacedNorShown) {
  Picture("news/a.gif", "new");
  test::WriteFile(work_.path() / "out" / "images" / "1.gif", "old");
  EXPECT_EQ(CleanBody("<img src=a.gif>\n<img src=a.gif>"), (LineList{"", ""}));
  EXPECT_EQ(ReadFile(work_.path() / "out" / "images" / "1.gif"), "old");
  ASSERT_FALSE(window_.warnings().empty());
  EXPECT_NE(window_.warnings()[0].find("1.gif"), std::string::npos) << window_.warnings()[0];

  // A copy this run made is that number's picture for every later page.
  ResetPictureRegister();
  PictureRegister().Reset(HighestPictureNumber((work_.path() / "out" / "images").string()));
  EXPECT_EQ(CleanBody("<img src=a.gif>"), LineList{"<img src=\"..\\Images\\2.gif\">"});
  EXPECT_EQ(CleanBody("<img src=a.gif>"), LineList{"<img src=\"..\\Images\\2.gif\">"});
  EXPECT_EQ(ReadFile(work_.path() / "out" / "images" / "2.gif"), "new");
}

TEST_F(PicturePassTest, OnePixelRuleNeedsTheQuotedForm) {
  Picture("news/x.gif", "x");
  EXPECT_EQ(CleanBody("<img src=\"x.gif\" width=\"1\" height=\"1\">\n"
                      "<img src=\"x.gif\" width=1 height=1>"),
            (LineList{"", "<img src=\"..\\Images\\1.gif\" width=1 height=1>"}));
}

TEST_F(PicturePassTest, TagWithoutSrcStaysAndMissingPicturesEmptyTheirLine) {
  EXPECT_EQ(CleanBody("<img alt=a/b>\n<img src=http://example.com/a.gif>\n<img src=none.gif>\n"
                      "<img src=\"\">"),
            (LineList{"<img alt=a/b>", "", "", ""}));
  EXPECT_TRUE(fs::is_empty(work_.path() / "out" / "images"));
}

TEST_F(PicturePassTest, SrcSpellingsAreRepairedBeforeThePathIsRead) {
  Picture("news/my pics/a b.gif", "ab");
  Picture("news/q&x.png", "q");
  Picture("news/a.gif", "a");  // "src= a.gif" reads an empty path: only "src =" is repaired
  EXPECT_EQ(CleanBody("<img border=0 src =my%20pics/a%20b.gif alt=x>\n"
                      "<img src=\"q&amp;x.png\">\n"
                      "<img src=noext>\n"
                      "<img src= a.gif>"),
            (LineList{"<img border=0 src=\"..\\Images\\1.gif\" alt=x>",
                      "<img src=\"..\\Images\\2.png\">", "", ""}));
  Picture("news/noext", "n");
  EXPECT_EQ(CleanBody("<img src=noext>"), LineList{"<img src=\"..\\Images\\3\">"});
  EXPECT_TRUE(Issued("1.gif") && Issued("2.png") && Issued("3"));
}

TEST_F(PicturePassTest, EmptyPictureSetsErrorCaptionAndIsStillCopied) {
  Picture("news/e.gif", "");
  EXPECT_EQ(CleanBody("<img src=e.gif>"), LineList{"<img src=\"..\\Images\\1.gif\">"});
  EXPECT_EQ(window_.caption(), "Error");
  EXPECT_TRUE(Issued("1.gif"));
}

TEST_F(PicturePassTest, PicturesOutsideTheSourceTreeAreDropped) {
  Picture("news/a.gif", "a");
  Picture("shared.gif", "shared");
  WriteFile(work_.path() / "secret.gif", "secret");
  if (!test::MakeLink(work_.path(), work_.path() / "src" / "news" / "up") ||
      !test::MakeLink(work_.path() / "secret.gif", work_.path() / "src" / "news" / "s.gif"))
    GTEST_SKIP() << "this system makes no symbolic links";
  const std::string absolute = work_ / "secret.gif";

  EXPECT_EQ(CleanBody("<img src=../shared.gif>\n"
                      "<img src=../../secret.gif>\n"
                      "<img src=up/secret.gif>\n"
                      "<img src=s.gif>\n"
                      "<img src=\"" +
                      absolute + "\">"),
            (LineList{"<img src=\"..\\Images\\1.gif\">", "", "", "", ""}));
  EXPECT_EQ(ReadFile(work_.path() / "out" / "images" / "1.gif"), "shared");
  EXPECT_FALSE(Issued("2.gif"));

  // Cleaned on its own, an article may use only its own folder.
  EXPECT_EQ(CleanBody("<img src=../shared.gif>\n<img src=a.gif>", "news/b.htm", ""),
            (LineList{"", "<img src=\"..\\Images\\2.gif\">"}));
}

}  // namespace
}  // namespace tavex
