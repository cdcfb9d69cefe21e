// Whole articles whose pictures the page carries inside itself: data:
// addresses and page archives (through an in-memory archive reader).
#include <gtest/gtest.h>

#include <filesystem>

#include "clean/clean_article.h"
#include "clean/line_list.h"
#include "clean/page_archive.h"
#include "platform/failure.h"
#include "platform/shown_path.h"
#include "platform/text.h"
#include "support/article_workspace.h"
#include "support/shown_place.h"
#include "support/temp_root.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

using test::ReadFile;

// A real 3 x 2 PNG: its base64 has capitals, small letters, "+" and "/".
constexpr const char* kPngBase64 =
    "iVBORw0KGgoAAAANSUhEUgAAAAMAAAACCAIAAAASFvFNAAAAEElEQVR4nGM4IScHQQxwFgBBAAYZPEVBlgAAAABJRU5E"
    "rkJggg==";
const std::string kSvg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"4\" height=\"4\"/>";
constexpr const char* kSvgAddress =
    "data:image/svg+xml,%3Csvg%20xmlns=%22http://www.w3.org/2000/svg%22%20width=%224%22%20"
    "height=%224%22/%3E";

std::string Decoded(std::string_view base64) {
  // Six bits a symbol: a test's own decoder, so the check does not lean on the
  // code under test.
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  uint32_t bits = 0;
  int count = 0;
  for (char c : base64) {
    if (c == '=') break;
    bits = bits << 6 | static_cast<uint32_t>(alphabet.find(c));
    if ((count += 6) >= 8) out += static_cast<char>(bits >> (count -= 8) & 0xFF);
  }
  return out;
}

// Lists every file below a folder with its bytes, to show it did not change.
std::vector<std::pair<std::string, std::string>> Snapshot(const fs::path& folder) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file()) files.emplace_back(entry.path().string(), ReadFile(entry.path()));
  std::sort(files.begin(), files.end());
  return files;
}

class EmbeddedArticle : public test::ArticleWorkspace {
 protected:
  EmbeddedArticle() : root_(work_.path() / "tmp") {}

  LineList Clean(const std::string& source) {
    CleanArticle(source, work_ / "out/pub/0.htm", window_);
    return LoadLines(work_ / "out/pub/0.htm");
  }
  std::string Issued(std::string_view name) { return ReadFile(work_.path() / "out/images" / name); }

  test::ScopedTempRoot root_;
};

bool HasLine(const LineList& lines, std::string_view line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST_F(EmbeddedArticle, DataPngAndSvgAreNumberedCopiedAndShown) {
  const std::string source = WriteSource(
      "a.htm", std::string("<html><body><p>Text</p>\n<IMG SRC=\"data:image/png;base64,") +
                   kPngBase64 + "\" ALT=\"Chart\">\n<img src='" + kSvgAddress +
                   "'>\n<img src=\"data:image/png;base64," + kPngBase64 + "\">\n</body></html>");
  const auto source_before = Snapshot(work_.path() / "src");
  const LineList page = Clean(source);
  EXPECT_TRUE(HasLine(page, "<img src=\"..\\Images\\1.png\" alt=\"chart\">")) << JoinLines(page);
  EXPECT_TRUE(HasLine(page, "<img src=\"..\\Images\\2.svg\">"));
  // The repeated picture shares number 1, so no third picture exists.
  EXPECT_EQ(std::count(page.begin(), page.end(), "<img src=\"..\\Images\\1.png\">"), 1);
  EXPECT_EQ(Issued("1.png"), Decoded(kPngBase64));
  EXPECT_EQ(Issued("1.png").substr(1, 3), "PNG");
  EXPECT_EQ(Issued("2.svg"), kSvg);
  EXPECT_FALSE(fs::exists(work_.path() / "out/images/3.png"));
  // Nothing was written beside the article, and the scratch folder is gone.
  EXPECT_EQ(Snapshot(work_.path() / "src"), source_before);
  EXPECT_TRUE(root_.Entries().empty());
}

TEST_F(EmbeddedArticle, TemporaryFolderWithCapitalsAndSpacesStillLeadsToThePicture) {
  // As on a desktop whose user is "John Smith": the normalisation lower-cases
  // the scratch path in the tag, and the space must not split a srcset.
  test::ScopedTempRoot spaced(work_.path() / "Users" / "John Smith" / "Temp");
  const std::string source = WriteSource(
      "a.htm", std::string("<p>x</p>\n<img src=\"data:image/png;base64,") + kPngBase64 + "\">\n");
  const LineList page = Clean(source);
  EXPECT_TRUE(HasLine(page, "<img src=\"..\\Images\\1.png\">")) << JoinLines(page);
  EXPECT_EQ(Issued("1.png"), Decoded(kPngBase64));
  EXPECT_TRUE(spaced.Entries().empty());
}

TEST_F(EmbeddedArticle, DataPictureEqualToAFileBesideTheArticleSharesItsNumber) {
  WriteSource("pics/chart.png", Decoded(kPngBase64));
  const std::string source = WriteSource(
      "a.htm",
      std::string("<p>x</p>\n<img src=\"pics/chart.png\">\n<img src=\"data:image/png;base64,") +
          kPngBase64 + "\">\n");
  const LineList page = Clean(source);
  EXPECT_EQ(std::count(page.begin(), page.end(), "<img src=\"..\\Images\\1.png\">"), 2)
      << JoinLines(page);
}

TEST_F(EmbeddedArticle, UndecodableDataPictureIsDroppedLikeAMissingOne) {
  const std::string source =
      WriteSource("a.htm",
                  "<p>x</p>\n<img src=\"data:image/png;base64,@@@@\">\n<img src=\"data:,text\">\n"
                  "<p>y</p>\n");
  const LineList page = Clean(source);
  for (const std::string& line : page) EXPECT_EQ(line.find("<img"), std::string::npos) << line;
  EXPECT_TRUE(HasLine(page, "y"));
  EXPECT_TRUE(fs::is_empty(work_.path() / "out/images"));
}

TEST_F(EmbeddedArticle, ScratchFolderGoesAlsoWhenTheArticleFails) {
  const std::string source =
      WriteSource("a.htm", std::string("<img src=\"data:image/png;base64,") + kPngBase64 + "\">");
  EXPECT_THROW(CleanArticle(source, work_ / "out/no-such-folder/0.htm", window_), Failure);
  EXPECT_TRUE(root_.Entries().empty());
}

// An archive reader that answers from memory, as a MIME library would.
class FakeArchiveReader : public PageArchiveReader {
 public:
  std::optional<TPageArchive> Parse(std::string_view bytes) const override {
    bytes_parsed.emplace_back(bytes);
    return archive;
  }
  std::optional<TPageArchive> archive;
  mutable std::vector<std::string> bytes_parsed;
};

class ArchiveArticle : public EmbeddedArticle {
 protected:
  ArchiveArticle() { UsePageArchiveReader(&reader_); }
  ~ArchiveArticle() override { UsePageArchiveReader(nullptr); }
  FakeArchiveReader reader_;
};

TEST_F(ArchiveArticle, PartsArePicturesAndTheDeclaredCharsetOutranksTheMeta) {
  TPageArchive archive;
  // Converted to UTF-8 by the reader while the page still says windows-1251.
  archive.page =
      "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">"
      "<title>\xD0\x92\xD0\xB7\xD1\x80\xD1\x8B\xD0\xB2</title></head><body>\n"
      "<img src=\"Pics/A.png\"><img src=\"https://x.ru/B.gif\"><img src=\"cid:c@x\">\n"
      "<img src=\"https://x.ru/elsewhere.gif\"></body></html>";
  archive.charset = "utf-8";
  archive.location = "https://x.ru/news/1.html";
  archive.parts = {{"Pics/A.png", "", "image/png", "png bytes"},
                   {"https://x.ru/B.gif", "", "image/gif", "gif bytes"},
                   {"", "c@x", "image/jpeg", "jpeg bytes"}};
  reader_.archive = archive;
  const std::string source = WriteSource("Saved.MHT", "archive bytes are the reader's business");
  const std::string title = CleanArticle(source, work_ / "out/pub/0.htm", window_);
  EXPECT_EQ(title, "\xC2\xE7\xF0\xFB\xE2");  // "Взрыв" in Windows-1251
  EXPECT_EQ(reader_.bytes_parsed,
            std::vector<std::string>{"archive bytes are the reader's business"});
  const LineList page = LoadLines(work_ / "out/pub/0.htm");
  EXPECT_TRUE(HasLine(page, "<img src=\"..\\Images\\1.png\">")) << JoinLines(page);
  EXPECT_TRUE(HasLine(page, "<img src=\"..\\Images\\2.gif\">"));
  EXPECT_TRUE(HasLine(page, "<img src=\"..\\Images\\3.jpg\">"));
  EXPECT_FALSE(HasLine(page, "<img src=\"https:\\\\x.ru\\elsewhere.gif\">"));
  EXPECT_EQ(Issued("1.png"), "png bytes");
  EXPECT_EQ(Issued("2.gif"), "gif bytes");
  EXPECT_EQ(Issued("3.jpg"), "jpeg bytes");
  EXPECT_TRUE(root_.Entries().empty());
}

TEST_F(ArchiveArticle, UndeclaredCharsetIsDetectedAsForAnyPage) {
  TPageArchive archive;
  archive.page =
      "<html><head><meta charset=\"koi8-r\"><title>\xF7\xDA\xD2\xD9\xD7</title></head>"
      "<body><p>x</p></body></html>";
  reader_.archive = archive;
  EXPECT_EQ(CleanArticle(WriteSource("a.mhtml", "x"), work_ / "out/pub/0.htm", window_),
            "\xC2\xE7\xF0\xFB\xE2");
}

TEST_F(ArchiveArticle, DamagedArchiveFailsNamingTheFile) {
  const std::string source = WriteSource("broken.mht", "not an archive");
  reader_.archive.reset();
  try {
    CleanArticle(source, work_ / "out/pub/0.htm", window_);
    ADD_FAILURE() << "no failure";
  } catch (const Failure& failure) {
    // The second line names the file; a damaged archive has no system reason.
    EXPECT_EQ(std::string(failure.what()), "Cannot open file " + source + "\n" + ShownPath(source));
  }
  EXPECT_FALSE(fs::exists(work_.path() / "out/pub/0.htm"));
}

// The archive is read like any page, so the reader never sees a file that a
// page in its place would not be read from.
TEST_F(ArchiveArticle, ArchiveThatCannotBeReadFailsWithTheSystemsReason) {
  reader_.archive = TPageArchive{"<html><body>x</body></html>", "", "", {}};
  const std::string source = work_ / "src/news/gone.mht";
  try {
    CleanArticle(source, work_ / "out/pub/0.htm", window_, work_ / "src");
    ADD_FAILURE() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_EQ(std::string(failure.what()),
              test::ShownPlace("Cannot open file " + source + "\n" + source +
                               ": No such file or directory"));
  }
  EXPECT_TRUE(reader_.bytes_parsed.empty());
  EXPECT_FALSE(fs::exists(work_.path() / "out/pub/0.htm"));
}

TEST_F(ArchiveArticle, ArchiveLinkedFromOutsideTheSourceFolderIsNotRead) {
  reader_.archive = TPageArchive{"<html><body>secret</body></html>", "", "", {}};
  test::WriteFile(work_.path() / "private/diary.mht", "the editor's private archive");
  WriteSource("news/keep.htm", "x");  // the rubric folder the link goes in
  const std::string source = work_ / "src/news/diary.mht";
  if (!test::MakeLink(work_.path() / "private/diary.mht", work_.path() / "src/news/diary.mht"))
    GTEST_SKIP() << "this system cannot make symbolic links here";
  try {
    CleanArticle(source, work_ / "out/pub/0.htm", window_, work_ / "src");
    ADD_FAILURE() << "no failure";
  } catch (const Failure& failure) {
    EXPECT_TRUE(std::string_view(failure.what()).starts_with("Cannot open file " + source + "\n"))
        << failure.what();
  }
  EXPECT_TRUE(reader_.bytes_parsed.empty());
  EXPECT_FALSE(fs::exists(work_.path() / "out/pub/0.htm"));
}

TEST_F(EmbeddedArticle, ArchiveWithoutAReaderFailsNamingTheFile) {
  const std::string source = WriteSource("a.mht", "MIME-Version: 1.0\r\n");
  try {
    CleanArticle(source, work_ / "out/pub/0.htm", window_);
    ADD_FAILURE() << "no failure";
  } catch (const Failure& failure) {
    // The second line names the file; a damaged archive has no system reason.
    EXPECT_EQ(std::string(failure.what()), "Cannot open file " + source + "\n" + ShownPath(source));
  }
}

}  // namespace
}  // namespace tavex
