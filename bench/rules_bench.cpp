// The four rule passes with 200 rule files over a 100,000-line article, and
// the replace and delete edits where every line is an occurrence (the case
// that erasing in the middle of the list would make quadratic).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/memory_window.h"
#include "clean/line_helpers.h"
#include "rules/fragment_edits.h"
#include "rules/rule_passes.h"

namespace fs = std::filesystem;
using namespace tavex;

namespace {

constexpr int kArticleLines = 100000;
constexpr int kRulesPerKind = 50;

// Normalised corpus pages, one after another, repeated to the wanted length;
// a made-up page when the corpus is missing.
LineList MakeArticle(int& corpus_pages) {
  LineList pages;
  std::vector<fs::path> sources;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(MYTAVEX_SHARED_DIR "/corpus", ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
    if (it->path().filename() == "source.html") sources.push_back(it->path());
  std::sort(sources.begin(), sources.end());
  corpus_pages = static_cast<int>(sources.size());
  for (const fs::path& source : sources) {
    LineList page = LoadLines(source.string());
    SplitTagsToLines(page);
    pages.insert(pages.end(), page.begin(), page.end());
  }
  if (pages.empty()) {
    for (int i = 0; i < 1000; ++i)
      pages.insert(pages.end(), {"<tr>", "<td class=c" + std::to_string(i % 7) + ">",
                                 "text " + std::to_string(i), "</td>", "</tr>"});
  }
  LineList article;
  while (LineCount(article) < kArticleLines)
    article.insert(article.end(), pages.begin(), pages.end());
  article.resize(kArticleLines);
  return article;
}

// Rule files in dir/HtmClear whose fragments come from lines spread evenly
// over the article, so they occur, most of them many times.
void WriteRules(const fs::path& dir, const LineList& article) {
  fs::create_directories(dir / "HtmClear" / "more");
  auto write = [&](const std::string& name, const LineList& lines) {
    std::ofstream(dir / "HtmClear" / name, std::ios::binary) << JoinLines(lines);
  };
  const char* const markers[] = {"<<*<<", "<<*>>", ">>*<<", ">>*>>"};
  const int step = kArticleLines / kRulesPerKind;
  for (int r = 0; r < kRulesPerKind; ++r) {
    const int at = r * step + step / 2;
    const std::string n = std::to_string(r);
    write("r" + n + ".cha", {article[at], "<<*>>", "<span class=r" + n + ">"});
    write("more/d" + n + ".txt", {article[at + 1], article[at + 2]});
    write("c" + n + ".bet", {article[at + 3], markers[r % 4], article[at + 40]});
    if (r % 2)
      write("i" + n + ".ins", {article[at + 5], "<>*", "<meta name=i" + n + ">"});
    else
      write("i" + n + ".ins", {"<*>" + std::to_string(r * 100), "<meta name=i" + n + ">"});
  }
}

void BM_TwoHundredRules(benchmark::State& state) {
  int corpus_pages = 0;
  const LineList article = MakeArticle(corpus_pages);
  const fs::path dir = fs::temp_directory_path() / "mytavex-rules-bench";
  fs::remove_all(dir);
  WriteRules(dir, article);
  const fs::path previous = fs::current_path();
  fs::current_path(dir);
  MemoryWindow window;
  size_t left = 0;
  for (auto _ : state) {
    LineList copy = article;
    ApplyReplaceRules(copy, window);
    ApplyCutRules(copy, window);
    ApplyDeleteRules(copy, window);
    ApplyInsertRules(copy, window);
    left = copy.size();
    benchmark::DoNotOptimize(copy.data());
  }
  fs::current_path(previous);
  fs::remove_all(dir);
  state.counters["rules"] = 4 * kRulesPerKind;
  state.counters["corpus_pages"] = corpus_pages;  // 0: a made-up page was used
  state.counters["lines_in"] = kArticleLines;
  state.counters["lines_out"] = static_cast<double>(left);
}
BENCHMARK(BM_TwoHundredRules)->Unit(benchmark::kMillisecond);

void BM_ReplaceEveryLine(benchmark::State& state) {
  for (auto _ : state) {
    LineList article(kArticleLines, "<br>");
    ReplaceBlockEverywhere(article, {"<br>"}, {"<br>", "<p>"}, nullptr);  // reproduces
    ReplaceBlockEverywhere(article, {"<p>", "<br>"}, {"<hr>"}, nullptr);
    benchmark::DoNotOptimize(article.data());
  }
}
BENCHMARK(BM_ReplaceEveryLine)->Unit(benchmark::kMillisecond);

void BM_DeleteEveryOtherLine(benchmark::State& state) {
  for (auto _ : state) {
    LineList article;
    for (int i = 0; i < kArticleLines; ++i) article.push_back(i % 2 ? "<br>" : "text");
    DeleteBlockEverywhere(article, {"<br>"});
    benchmark::DoNotOptimize(article.data());
  }
}
BENCHMARK(BM_DeleteEveryOtherLine)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
