// The cleaner over the shared corpus of real saved pages: every page cleans
// without a failure, and the pages that carry their pictures get them copied.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/memory_window.h"
#include "clean/article_title.h"
#include "clean/clean_article.h"
#include "clean/line_list.h"
#include "platform/text.h"
#include "support/shared_corpus.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

const fs::path kCorpus = fs::path(MYTAVEX_SHARED_DIR) / "corpus";

class CorpusTest : public ::testing::Test {
 protected:
  CorpusTest() : cwd_(work_.path()) {
    fs::create_directories(work_.path() / "HtmClear");
    fs::create_directories(work_.path() / "out" / "pub");
    fs::create_directories(work_.path() / "out" / "images");
    window_.SetFieldText(Field::TargetDir, work_ / "out");
    ResetPictureRegister();
  }

  void SetUp() override { MYTAVEX_NEED_CORPUS(fs::exists(kCorpus), kCorpus); }

  std::string Clean(const std::string& name, LineList& lines) {
    const std::string target = work_ / "out/pub/0.htm";
    std::string title = CleanArticle((kCorpus / name / "source.html").string(), target, window_);
    lines = SplitIntoLines(test::ReadFile(target));
    return title;
  }

  test::TempDir work_;
  test::ScopedCurrentDir cwd_;
  MemoryWindow window_;
};

TEST_F(CorpusTest, EveryPageCleansWithEveryPassSwitchedOn) {
  int pages = 0;
  for (const auto& entry : fs::recursive_directory_iterator(kCorpus)) {
    if (entry.path().filename() != "source.html") continue;
    ++pages;
    const std::string name = fs::relative(entry.path().parent_path(), kCorpus).string();
    LineList lines;
    std::string title;
    ASSERT_NO_THROW(title = Clean(name, lines)) << name;
    EXPECT_FALSE(title.empty()) << name;
    ASSERT_GE(lines.size(), 3u) << name;
    EXPECT_EQ(lines.back(), "</html>") << name;
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
      EXPECT_NE(lines[i].rfind("<script", 0), 0u) << name << " line " << i;
      // A tag with no src names no file of the page, and stays as it is.
      if (lines[i].rfind("<img", 0) == 0 && lines[i].find("src=") != std::string::npos) {
        EXPECT_NE(lines[i].find("src=\"..\\Images\\"), std::string::npos)
            << name << ": " << lines[i];
      }
    }
  }
  EXPECT_EQ(pages, test::CorpusCaseCount(kCorpus));
}

TEST_F(CorpusTest, Koi8rManualGetsItsTitleAndItsFourPictures) {
  window_.SetChecked(Switch::RemoveAds, false);
  LineList lines;
  // "Компилирование и установка - HTTP сервер Apache"
  EXPECT_EQ(
      Clean("apache-httpd/manual-2.0-install-koi8r", lines),
      Utf8To1251("\xd0\x9a\xd0\xbe\xd0\xbc\xd0\xbf\xd0\xb8\xd0\xbb\xd0\xb8\xd1\x80\xd0\xbe\xd0"
                 "\xb2\xd0\xb0\xd0\xbd\xd0\xb8\xd0\xb5 \xd0\xb8 \xd1\x83\xd1\x81\xd1\x82\xd0"
                 "\xb0\xd0\xbd\xd0\xbe\xd0\xb2\xd0\xba\xd0\xb0 - HTTP \xd1\x81\xd0\xb5\xd1\x80"
                 "\xd0\xb2\xd0\xb5\xd1\x80 Apache"));
  int pictures = 0;
  for (const auto& entry : fs::directory_iterator(work_.path() / "out" / "images")) {
    (void)entry;
    ++pictures;
  }
  EXPECT_EQ(pictures, 4);
  EXPECT_EQ(test::ReadFile(work_.path() / "out" / "images" / "1.gif"),
            test::ReadFile(kCorpus / "apache-httpd/manual-2.0-install-koi8r/images/feather.gif"));
}

TEST_F(CorpusTest, Windows1251TestPageKeepsItsCyrillicAndCopiesItsPicture) {
  window_.SetChecked(Switch::RemoveAds, false);
  LineList lines;
  const std::string title = Clean("apache-httpd/test-page-1.3-cp1251", lines);
  EXPECT_EQ(Cp1251ToUtf8(title).rfind("\xd0\xa2\xd0\xb5\xd1\x81\xd1\x82", 0), 0u);  // "Тест..."
  EXPECT_EQ(test::ReadFile(work_.path() / "out" / "images" / "1.gif"),
            test::ReadFile(kCorpus / "apache-httpd/test-page-1.3-cp1251/apache_pb.gif"));
}

}  // namespace
}  // namespace tavex
