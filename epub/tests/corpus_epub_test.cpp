// Real saved pages of every kind (encodings, layouts, broken markup) as the
// articles of one issue: the book must come out valid whatever they hold.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/memory_window.h"
#include "clean/page_encoding.h"
#include "epub/issue_epub.h"
#include "epub_test_support.h"
#include "support/shared_corpus.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace tavex {
namespace {

// Every corpus page, sorted, so the book is the same on every run.
std::vector<fs::path> CorpusPages() {
  std::vector<fs::path> pages;
  const fs::path corpus = fs::path(MYTAVEX_SHARED_DIR) / "corpus";
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(corpus, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
    if (it->path().filename() == "source.html") pages.push_back(it->path());
  std::sort(pages.begin(), pages.end());
  return pages;
}

TEST(CorpusEpub, EveryCorpusPageMakesAValidDocument) {
  const std::vector<fs::path> pages = CorpusPages();
  MYTAVEX_NEED_CORPUS(!pages.empty(), MYTAVEX_SHARED_DIR "/corpus");
  test::TempDir dir;
  const std::string target = dir.text() + "/issue";
  MemoryWindow window;
  window.SetFieldText(Field::TargetDir, target);
  window.SetFieldText(Field::IssueNumber, "12");
  window.SetRowCount(2);
  window.SetCell(1, 1, "Corpus");
  ArticleTable table;
  table.Rubrics.resize(1);
  for (size_t i = 0; i < pages.size(); ++i) {
    const std::string name = std::to_string(i) + ".htm";
    // A copy in a scratch issue tree in the code page the cleaner writes; the
    // corpus itself is never written.
    test::WriteFile(dir.path() / "issue/pub" / name, PageTo1251(test::ReadFile(pages[i])));
    table.Rubrics[0].push_back({pages[i].parent_path().filename().string(),
                                "<a href=\"..\\pub\\" + name + "\">", target + "\\pub\\" + name,
                                true});
  }
  WriteIssueEpub(window, TakeIssueFacts(window), table);

  const auto book = test::ReadZip(target + "/tavex12.epub");
  size_t documents = 0;
  for (const test::TZipEntry& entry : book) {
    if (!entry.name.starts_with("EPUB/text/")) continue;
    documents += entry.name != "EPUB/text/cover.xhtml";
    EXPECT_EQ(test::XmlErrors(entry.bytes), "") << entry.name;
    EXPECT_EQ(test::ContentModelErrors(entry.bytes), "") << entry.name;
  }
  EXPECT_EQ(documents, pages.size());
  const auto result = test::RunEpubcheck(target + "/tavex12.epub");
  if (!result) GTEST_SKIP() << "epubcheck is not installed";
  EXPECT_TRUE(result->passed) << result->output;
}

}  // namespace
}  // namespace tavex
