// A plain program (no timing framework) that prints three sets of figures:
//   1. title recovery over a title element of 200,000 to 1,000,000 short
//      lines: seconds, and seconds per million lines (flat when linear);
//   2. the peak heap of cleaning one 50 MB page, as a multiple of the page's
//      size (every allocation of the program is counted, see operator new);
//   3. the rules' share of cleaning the corpus pages with 183 rule files that
//      match nothing, against the same pages with an empty rule folder.
// Usage: robust_bench [page megabytes, default 50]
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "app/memory_window.h"
#include "clean/article_title.h"
#include "clean/clean_article.h"

namespace fs = std::filesystem;
using namespace tavex;

// --- Heap accounting --------------------------------------------------------
// Every operator new of the program is counted with the size malloc really
// gave it, so the peak is the heap the program held at its worst.

namespace {
std::atomic<size_t> g_heap_now{0};
std::atomic<size_t> g_heap_peak{0};

void* Allocate(size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  const size_t now = g_heap_now += malloc_usable_size(p);
  size_t peak = g_heap_peak.load();
  while (now > peak && !g_heap_peak.compare_exchange_weak(peak, now)) {
  }
  return p;
}

void Release(void* p) {
  if (!p) return;
  g_heap_now -= malloc_usable_size(p);
  std::free(p);
}
}  // namespace

void* operator new(size_t size) {
  return Allocate(size);
}
void* operator new[](size_t size) {
  return Allocate(size);
}
void operator delete(void* p) noexcept {
  Release(p);
}
void operator delete[](void* p) noexcept {
  Release(p);
}
void operator delete(void* p, size_t) noexcept {
  Release(p);
}
void operator delete[](void* p, size_t) noexcept {
  Release(p);
}

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// A working folder with HtmClear and an issue tree, current while it lives.
class TBenchFolder {
 public:
  TBenchFolder() {
    root_ = fs::temp_directory_path() / ("mytavex-robust-bench-" + std::to_string(::getpid()));
    fs::create_directories(root_ / "HtmClear");
    fs::create_directories(root_ / "out" / "pub");
    fs::create_directories(root_ / "out" / "images");
    fs::current_path(root_);
    window.SetFieldText(Field::TargetDir, (root_ / "out").string());
  }
  ~TBenchFolder() {
    std::error_code ec;
    fs::current_path(fs::temp_directory_path(), ec);
    fs::remove_all(root_, ec);
  }
  std::string Clean(const std::string& source) {
    return CleanArticle(source, (root_ / "out" / "pub" / "0.htm").string(), window);
  }
  const fs::path& root() const { return root_; }
  MemoryWindow window;

 private:
  fs::path root_;
};

void TitleRecovery() {
  std::printf("1. Title recovery, a title element of N lines of 6 characters\n");
  for (int lines : {200'000, 400'000, 1'000'000}) {
    LineList page = {"<html>", "<head>", "<title>"};
    for (int i = 0; i < lines; ++i) page.push_back("word" + std::to_string(i % 100));
    page.insert(page.end(), {"</title>", "</head>", "</html>"});
    const auto start = std::chrono::steady_clock::now();
    const size_t length = FindArticleTitle(page).size();
    const double s = Seconds(start);
    std::printf("   %8d lines: %.3f s, %.3f s per million lines (title %zu characters)\n", lines, s,
                s * 1e6 / lines, length);
  }
}

// A news page: a menu table of links, then the article in one table of its
// own, paragraphs of Russian and English text in UTF-8 (so the page is
// converted on loading) with a picture now and then, lines of about 100
// characters as saved pages have them, then a footer table.
std::string NewsPage(size_t bytes) {
  std::string page =
      "<html>\n<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
      "<title>\xd0\x9d\xd0\xbe\xd0\xb2\xd0\xbe\xd1\x81\xd1\x82\xd0\xb8</title>\n</head>\n<body>\n"
      "<table width=\"100%\">\n<tr>\n<td class=menu>\n";
  page.reserve(bytes + 4096);
  for (int k = 0; k < 20; ++k)
    page +=
        "<a href=\"/news/" + std::to_string(k) + ".htm\">Item " + std::to_string(k) + "</a> |\n";
  page += "</td>\n</tr>\n</table>\n<table>\n<tr>\n<td class=text>\n";
  const std::string words =
      "\xd0\xa1\xd0\xbb\xd0\xbe\xd0\xb2\xd0\xb0 \xd1\x81\xd1\x82\xd0\xb0\xd1\x82\xd1\x8c\xd0\xb8 "
      "and some words of the article, ";
  for (int i = 0; page.size() < bytes; ++i) {
    page += "<p>";
    for (int w = 0; w < 3; ++w) page += words + "\n";
    page += "<b>" + std::to_string(i) + "</b> <a href=\"/more/" + std::to_string(i) +
            ".htm\">more</a></p>\n";
    if (i % 20 == 0) page += "<img src=\"pics/" + std::to_string(i % 50) + ".jpg\" width=200>\n";
  }
  page += "</td>\n</tr>\n</table>\n<table>\n<tr>\n<td>Footer</td>\n</tr>\n</table>\n";
  page += "</body>\n</html>\n";
  return page;
}

void PeakMemory(TBenchFolder& folder, size_t megabytes) {
  std::printf("\n2. Peak heap cleaning one %zu MB page (designer switches, no rules)\n", megabytes);
  const std::string path = (folder.root() / "big.htm").string();
  size_t size = 0;
  {
    const std::string page = NewsPage(megabytes * 1'000'000);
    size = page.size();
    std::ofstream(path, std::ios::binary) << page;
  }
  const size_t before = g_heap_now.load();
  g_heap_peak = before;
  const auto start = std::chrono::steady_clock::now();
  folder.Clean(path);
  const double s = Seconds(start);
  const size_t peak = g_heap_peak.load() - before;
  std::printf("   page %.1f MB, written %.1f MB, peak heap %.1f MB = %.2f x the page, %.2f s\n",
              size / 1e6, fs::file_size(folder.root() / "out" / "pub" / "0.htm") / 1e6, peak / 1e6,
              static_cast<double>(peak) / size, s);
  fs::remove(path);
}

// 183 rules of the four kinds, spread over a few sub-folders, none of which
// occurs in a corpus page (their fragments are made-up banner markup).
void WriteRules(const fs::path& folder) {
  const char* kinds[] = {".bet", ".txt", ".cha", ".ins"};
  for (int i = 0; i < 183; ++i) {
    const fs::path sub = folder / ("group" + std::to_string(i % 6));
    fs::create_directories(sub);
    const std::string kind = kinds[i % 4];
    std::string body;
    const std::string id = std::to_string(i);
    if (kind == ".bet") body = "<div class=banner" + id + ">\r\n<<*>>\r\n</div>\r\n";
    if (kind == ".txt") body = "<p class=ad" + id + ">\r\nBuy now " + id + "\r\n</p>\r\n";
    if (kind == ".cha") body = "<font face=ad" + id + ">\r\n<<*>>\r\n<font>\r\n";
    if (kind == ".ins") body = "<meta name=banner" + id + ">\r\n<>*\r\n<meta name=seen>\r\n";
    std::ofstream(sub / ("rule" + id + kind), std::ios::binary) << body;
  }
}

double CleanCorpus(TBenchFolder& folder, const std::vector<std::string>& pages, int rounds) {
  const auto start = std::chrono::steady_clock::now();
  for (int r = 0; r < rounds; ++r) {
    ResetPictureRegister();
    for (const std::string& page : pages) folder.Clean(page);
  }
  return Seconds(start);
}

void RulesShare(TBenchFolder& folder) {
  std::printf("\n3. The rules' share of cleaning the corpus (every switch of a rule pass on)\n");
  const fs::path corpus = fs::path(MYTAVEX_SHARED_DIR) / "corpus";
  std::vector<std::string> pages;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(corpus, ec), end; !ec && it != end; it.increment(ec))
    if (it->path().filename() == "source.html") pages.push_back(it->path().string());
  std::sort(pages.begin(), pages.end());
  if (pages.empty()) {
    std::printf("   no corpus at %s\n", corpus.string().c_str());
    return;
  }
  folder.window.SetChecked(Switch::ReplaceFragments, true);
  folder.window.SetChecked(Switch::RemoveAds, true);
  folder.window.SetChecked(Switch::InsertExtraInfo, true);
  constexpr int kRounds = 5;
  CleanCorpus(folder, pages, 1);  // warm the page cache
  const double without = CleanCorpus(folder, pages, kRounds);
  WriteRules(folder.root() / "HtmClear");
  const double with = CleanCorpus(folder, pages, kRounds);
  const double articles = static_cast<double>(pages.size()) * kRounds;
  std::printf(
      "   %zu pages x %d: no rules %.3f s, 183 rules %.3f s: rules +%.1f%% (%.2f ms per "
      "article)\n",
      pages.size(), kRounds, without, with, 100 * (with - without) / without,
      1000 * (with - without) / articles);
}

}  // namespace

int main(int argc, char** argv) {
  const size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 50;
  TBenchFolder folder;
  TitleRecovery();
  PeakMemory(folder, megabytes);
  RulesShare(folder);
  return 0;
}
