// Speed of the picture pass for today's pages (ModernPictures) and of the link
// pass (UnlinkMissingPages) over generated pages of n pictures and n links,
// to show that both stay linear in the page's size: the time per item should
// not grow with n (Google Benchmark prints the fitted complexity).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/memory_window.h"
#include "clean/line_list.h"
#include "clean/page_links.h"
#include "clean/pictures.h"

namespace fs = std::filesystem;
using namespace tavex;

namespace {

constexpr int kPictureFiles = 20;

// A page folder with kPictureFiles pictures and an issue folder; removed at exit.
class TBenchFolder {
 public:
  TBenchFolder() {
    root_ = fs::temp_directory_path() / ("mytavex-pictures-bench-" + std::to_string(::getpid()));
    fs::create_directories(root_ / "src" / "a_files");
    fs::create_directories(root_ / "out" / "images");
    for (int i = 0; i < kPictureFiles; ++i)
      std::ofstream(root_ / "src" / "a_files" / ("p" + std::to_string(i) + ".jpg"))
          << "picture " << i;
  }
  ~TBenchFolder() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  std::string text(const char* relative) const { return (root_ / relative).string(); }

 private:
  fs::path root_;
};

TBenchFolder& Folder() {
  static TBenchFolder folder;
  return folder;
}

// n lazy pictures with a three-candidate srcset, each followed by a caption.
LineList PicturePage(int n) {
  LineList page;
  for (int i = 0; i < n; ++i) {
    const std::string file = "p" + std::to_string(i % kPictureFiles) + ".jpg";
    page.push_back(
        "<img src=\"data:image/gif;base64,r0lgodlhaqabaaaaacw=\" data-src=\"https://"
        "cdn.example.com/" +
        file + "\" srcset=\"https://cdn.example.com/s.jpg 300w, a_files/" + file +
        " 800w, missing.jpg 1600w\" alt=\"picture " + std::to_string(i) + "\">");
    page.push_back("caption " + std::to_string(i));
  }
  return page;
}

// n links: a third to articles of the issue by file, a third by address, a
// third out of it.
LineList LinkPage(int n) {
  LineList page;
  for (int i = 0; i < n; ++i) {
    const int article = i % 1000;
    switch (i % 3) {
      case 0:
        page.push_back("<a href=\"../r/" + std::to_string(article) + ".htm#p\">");
        break;
      case 1:
        page.push_back("<a href=\"https://example.com/a/" + std::to_string(article) + "\">");
        break;
      default:
        page.push_back("<a href=\"https://elsewhere.example/" + std::to_string(i) + "\">");
    }
    page.push_back("link text");
    page.push_back("</a>");
  }
  return page;
}

void BM_ModernPictures(benchmark::State& state) {
  const TBenchFolder& folder = Folder();
  MemoryWindow window;
  window.SetFieldText(Field::TargetDir, folder.text("out"));
  window.SetChecked(Switch::ModernPictures, true);
  const LineList page = PicturePage(static_cast<int>(state.range(0)));
  TPictureRegister pictures;
  for (auto _ : state) {
    LineList lines = page;
    RewritePictures(lines, folder.text("src"), folder.text("src"), pictures, window, "a.htm");
    benchmark::DoNotOptimize(lines);
  }
  state.SetComplexityN(state.range(0));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ModernPictures)->RangeMultiplier(8)->Range(64, 32768)->Complexity();

void BM_PageLinks(benchmark::State& state) {
  TIssueArticles issue;
  for (int i = 0; i < 1000; ++i)
    issue.Add("/src/r/" + std::to_string(i) + ".htm",
              {"https://example.com/a/" + std::to_string(i)}, i);
  const LineList page = LinkPage(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    LineList lines = page;
    RewritePageLinks(lines, "/src/news/a.htm", &issue);
    benchmark::DoNotOptimize(lines);
  }
  state.SetComplexityN(state.range(0));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PageLinks)->RangeMultiplier(8)->Range(64, 262144)->Complexity();

}  // namespace

BENCHMARK_MAIN();
