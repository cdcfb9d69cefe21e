// Archives that browsers saved, cleaned as articles and built into an issue
// with the GMime reader plugged in, as the window and the command line do.
#include <gtest/gtest.h>

#include <filesystem>

#include "build/start_run.h"
#include "clean/clean_article.h"
#include "clean/line_list.h"
#include "mhtml/mhtml_reader.h"
#include "platform/failure.h"
#include "platform/shown_path.h"
#include "support/article_workspace.h"
#include "support/temp_root.h"
#include "workspace.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

using test::ReadFile;
using test::WriteFile;

const fs::path kSamples = MYTAVEX_MHTML_SAMPLES;
const std::string kTitle = "\xC2\xE7\xF0\xFB\xE2 \xED\xE0 \xF5\xE8\xEC\xE7\xE0\xE2\xEE\xE4\xE5";

class PluggedReader {
 public:
  PluggedReader() { UsePageArchiveReader(&reader_); }
  ~PluggedReader() { UsePageArchiveReader(nullptr); }

 private:
  MhtmlReader reader_;
};

class SavedArchive : public test::ArticleWorkspace {
 protected:
  SavedArchive() : root_(work_.path() / "tmp") {}

  // Cleans a sample archive copied beside nothing else; the page's lines.
  LineList CleanSample(const std::string& sample, const std::string& name) {
    const std::string source = WriteSource(name, ReadFile(kSamples / sample));
    title_ = CleanArticle(source, work_ / "out/pub/0.htm", window_);
    return LoadLines(work_ / "out/pub/0.htm");
  }
  std::string Issued(std::string_view name) { return ReadFile(work_.path() / "out/images" / name); }
  void ExpectBothPictures(const LineList& page) {
    const std::string text = JoinLines(page);
    EXPECT_NE(text.find("src=\"..\\Images\\1.gif\""), std::string::npos) << text;
    EXPECT_NE(text.find("src=\"..\\Images\\2.png\""), std::string::npos) << text;
    EXPECT_EQ(Issued("1.gif").substr(0, 6), "GIF89a");
    EXPECT_EQ(Issued("1.gif").size(), 43u);
    EXPECT_EQ(Issued("2.png").substr(1, 3), "PNG");
    EXPECT_TRUE(root_.Entries().empty());  // the scratch folder went with the article
  }

  PluggedReader plugged_;
  test::ScopedTempRoot root_;
  std::string title_;
};

TEST_F(SavedArchive, InternetExplorerMht) {
  const LineList page = CleanSample("saved_by_internet_explorer.mht", "explosion.mht");
  EXPECT_EQ(title_, kTitle);
  ExpectBothPictures(page);
  // The page text arrived in Windows-1251, quoted-printable undone.
  const std::string text = JoinLines(page);
  EXPECT_NE(text.find("\xD3\xF2\xF0\xEE\xEC \xED\xE0 \xE7\xE0\xE2\xEE\xE4\xE5"), std::string::npos);
}

TEST_F(SavedArchive, ChromeMhtml) {
  const LineList page = CleanSample("saved_by_chrome.mhtml", "Explosion.MHTML");
  EXPECT_EQ(title_, kTitle + " | \xC2\xE5\xF1\xF2\xE8");
  ExpectBothPictures(page);
}

TEST_F(SavedArchive, DamagedArchiveFailsNamingTheFile) {
  std::string damaged = ReadFile(kSamples / "saved_by_chrome.mhtml");
  damaged.resize(damaged.find("\r\n------MultipartBoundary"));
  const std::string source = WriteSource("cut.mht", damaged);
  try {
    CleanArticle(source, work_ / "out/pub/0.htm", window_);
    ADD_FAILURE() << "no failure";
  } catch (const Failure& failure) {
    // The second line names the file; a damaged archive has no system reason.
    EXPECT_EQ(std::string(failure.what()), "Cannot open file " + source + "\n" + ShownPath(source));
  }
  EXPECT_TRUE(root_.Entries().empty());
}

TEST(SavedArchiveIssue, ArchivesAreNumberedWithThePagesOfTheirRubric) {
  PluggedReader plugged;
  test::Workspace ws;
  ws.AddArticle("News/b.htm", "Bravo");
  WriteFile(fs::path(ws.source()) / "News" / "a.mht",
            ReadFile(kSamples / "saved_by_internet_explorer.mht"));
  WriteFile(fs::path(ws.source()) / "News" / "c.mhtml",
            ReadFile(kSamples / "saved_by_chrome.mhtml"));
  ws.SetRubrics({{"News", "Новости"}});
  ArticleTable table;
  ASSERT_EQ(StartRun(ws.window, table), StartResult::Finished);
  ASSERT_EQ(table.Rubrics.size(), 1u);
  const auto& rubric = table.Rubrics[0];
  ASSERT_EQ(rubric.size(), 3u);
  // Files in name order get pages 0, 1, 2; the list is then sorted by title.
  EXPECT_EQ(rubric[0].Title, "Bravo");
  EXPECT_EQ(rubric[0].FilePath, ws.target() + "\\pub\\1.htm");
  EXPECT_EQ(rubric[1].Title, kTitle);
  EXPECT_EQ(rubric[1].FilePath, ws.target() + "\\pub\\0.htm");
  EXPECT_EQ(rubric[2].FilePath, ws.target() + "\\pub\\2.htm");
  // Both archives carry the same two pictures: numbers 1 and 2, once each.
  const fs::path images = fs::path(ws.target()) / "images";
  EXPECT_TRUE(fs::exists(images / "1.gif"));
  EXPECT_TRUE(fs::exists(images / "2.png"));
  EXPECT_FALSE(fs::exists(images / "3.gif"));
  EXPECT_FALSE(fs::exists(images / "3.png"));
}

}  // namespace
}  // namespace tavex
