// What the EPUB edition adds to a build: an issue of 500 articles made from the
// real saved pages of ../shared/corpus (5 rubrics of 100, the pages taken in
// turn), built by the whole Start run without the edition and with it, each
// three times in turn. Prints the best time of each, their ratio (the target
// is at most 2) and the book's size.
//
// Usage: edition_bench [articles]   (default 500)
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/memory_window.h"
#include "build/start_run.h"
#include "epub/issue_epub.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRubrics = 5;
constexpr int kRuns = 3;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void Write(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<fs::path> CorpusPages() {
  std::vector<fs::path> pages;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(fs::path(MYTAVEX_SHARED_DIR) / "corpus", ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
    if (it->path().filename() == "source.html") pages.push_back(it->path());
  std::sort(pages.begin(), pages.end());
  return pages;
}

// The sample working folder (templates, rules, help project) with a source
// tree of the corpus pages, each article in a folder of its own so that the
// pictures beside a page come along. Returns the source's size in bytes.
uintmax_t MakeWorkspace(const fs::path& dir, const std::vector<fs::path>& pages, int articles) {
  const fs::path data = MYTAVEX_DATA_DIR;
  for (const auto& entry : fs::directory_iterator(data)) {
    if (entry.path().filename() == "source") continue;
    fs::copy(entry.path(), dir / entry.path().filename(), fs::copy_options::recursive);
  }
  uintmax_t bytes = 0;
  for (int i = 0; i < articles; ++i) {
    const fs::path& page = pages[i % pages.size()];
    const fs::path folder =
        dir / "source" / ("r" + std::to_string(i % kRubrics)) / ("a" + std::to_string(i));
    const std::string text = ReadAll(page);
    Write(folder / "page.htm", text);
    bytes += text.size();
    std::error_code ec;
    for (const auto& beside : fs::recursive_directory_iterator(page.parent_path(), ec)) {
      const std::string ext = beside.path().extension().string();
      if (ext != ".gif" && ext != ".jpg" && ext != ".png") continue;
      const fs::path to = folder / fs::relative(beside.path(), page.parent_path());
      fs::create_directories(to.parent_path());
      fs::copy_file(beside.path(), to, fs::copy_options::overwrite_existing);
    }
  }
  return bytes;
}

// One Start run into a fresh issue folder; its time in seconds.
double BuildOnce(const fs::path& dir, int issue, bool with_edition, uintmax_t& book_bytes) {
  tavex::MemoryWindow window;
  using tavex::Field;
  window.SetFieldText(Field::SourceDir, (dir / "source").string());
  window.SetFieldText(Field::TargetDir, (dir / "out" / "tavex#x1").string());
  window.SetFieldText(Field::IssueNumber, std::to_string(issue));
  window.SetFieldText(Field::IssuesRoot, (dir / "help").string());
  window.SetFieldText(Field::ProjectPath, (dir / "help" / "tavex.hhp").string());
  window.SetFieldText(Field::IndexPagePath, "tavex#x1\\index.htm");
  window.SetChecked(tavex::Switch::RunCompiler, false);
  window.SetChecked(tavex::Switch::MakeEpub, with_edition);
  window.SetRowCount(kRubrics + 1);
  for (int r = 0; r < kRubrics; ++r) {
    window.SetCell(0, r + 1, "r" + std::to_string(r));
    window.SetCell(1, r + 1, tavex::Utf8To1251("Рубрика ") + std::to_string(r));
  }
  tavex::ArticleTable table;
  const auto start = std::chrono::steady_clock::now();
  tavex::StartRun(window, table, tavex::WriteIssueEpub);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  const fs::path book =
      dir / "out" / ("tavex" + std::to_string(issue)) / ("tavex" + std::to_string(issue) + ".epub");
  std::error_code ec;
  book_bytes = fs::exists(book, ec) ? fs::file_size(book, ec) : 0;
  return took.count();
}

}  // namespace

int main(int argc, char** argv) {
  const int articles = argc > 1 ? std::max(1, std::atoi(argv[1])) : 500;
  const std::vector<fs::path> pages = CorpusPages();
  if (pages.empty()) {
    std::fprintf(stderr, "no corpus at %s\n", MYTAVEX_SHARED_DIR);
    return 1;
  }
  const fs::path dir =
      fs::temp_directory_path() / ("mytavex-edition-bench-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const uintmax_t source_bytes = MakeWorkspace(dir, pages, articles);
  const fs::path previous = fs::current_path();
  fs::current_path(dir);  // templates, rules and Logo.gif are found in the working folder

  double without = 1e9, with = 1e9;
  uintmax_t book_bytes = 0;
  int issue = 1;
  for (int run = 0; run < kRuns; ++run) {
    uintmax_t ignored = 0;
    without = std::min(without, BuildOnce(dir, issue++, false, ignored));
    with = std::min(with, BuildOnce(dir, issue++, true, book_bytes));
  }
  fs::current_path(previous);
  fs::remove_all(dir);

  std::printf("issue: %d articles from %zu corpus pages, %.1f MB of source\n", articles,
              pages.size(), source_bytes / 1e6);
  std::printf("build without the edition: %.3f s (best of %d)\n", without, kRuns);
  std::printf("build with the edition:    %.3f s (best of %d)\n", with, kRuns);
  std::printf("ratio with/without:        %.2f (target: at most 2)\n", with / without);
  std::printf("book: %.2f MB\n", book_bytes / 1e6);
  return 0;
}
