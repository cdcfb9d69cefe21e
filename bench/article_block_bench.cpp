// How long the article-block pass takes on big generated div pages and on the
// real pages of the shared corpus, normalised as the pipeline hands them
// over. Prints the time per page and the page size; the pass should grow
// with the page, whatever its nesting.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "clean/article_block.h"
#include "clean/line_helpers.h"
#include "clean/line_list.h"
#include "corpus_pages.h"

namespace tavex {
namespace {

const LineList kHead = {"<html>", "<head>", "<title>", "Big page", "</title>", "</head>", "<body>"};

std::string Words(int group, int length) {
  std::string text = "group " + std::to_string(group) + ", ";
  while (static_cast<int>(text.size()) < length) text += "lorem ipsum dolor sit amet ";
  return text.substr(0, length);
}

// About 10 MB of today's layout: sections of menus, articles and comment
// threads, each article a few paragraphs with a link list between them.
LineList DivPage(int sections) {
  LineList page = kHead;
  for (int s = 0; s < sections; ++s) {
    page.insert(page.end(), {"<nav>", "<ul>"});
    for (int i = 0; i < 5; ++i)
      page.insert(page.end(), {"<li>", "<a href=x.htm>", "Menu", "</a>", "</li>"});
    page.insert(page.end(), {"</ul>", "</nav>", "<div class=story>"});
    for (int p = 0; p < 8; ++p) {
      page.push_back("<p>");
      page.push_back(Words(s, 300));
      page.push_back("</p>");
    }
    page.insert(page.end(), {"<ul class=related>", "<li>", "<a href=y.htm>", "Related", "</a>",
                             "</li>", "</ul>", "</div>", "<div class=comments>", "<p>"});
    page.push_back(Words(s, 200));
    page.insert(page.end(), {"</p>", "</div>"});
  }
  page.insert(page.end(), {"</body>", "</html>"});
  return page;
}

// Divs nested in each other, 100000 deep, none closed, each with a little text.
LineList DeepPage(int depth) {
  LineList page = kHead;
  for (int d = 0; d < depth; ++d) {
    page.push_back("<div>");
    page.push_back(Words(d, 40));
  }
  page.push_back("</html>");
  return page;
}

void RunPass(benchmark::State& state, const LineList& page) {
  for (auto _ : state) {
    state.PauseTiming();
    LineList article = page;
    state.ResumeTiming();
    PickArticleBlock(article, page);
    benchmark::DoNotOptimize(article.data());
  }
  state.counters["page_MB"] = static_cast<double>(bench::LineBytes(page)) / 1e6;
  state.counters["lines"] = static_cast<double>(page.size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bench::LineBytes(page)));
}

void BM_DivPage10MB(benchmark::State& state) {
  static const LineList page = DivPage(3500);
  RunPass(state, page);
}
BENCHMARK(BM_DivPage10MB)->Unit(benchmark::kMillisecond);

void BM_Unclosed100000Deep(benchmark::State& state) {
  static const LineList page = DeepPage(100000);
  RunPass(state, page);
}
BENCHMARK(BM_Unclosed100000Deep)->Unit(benchmark::kMillisecond);

// Every page of the shared corpus in turn, normalised first.
void BM_CorpusPages(benchmark::State& state) {
  static const std::vector<LineList> pages = bench::LoadCorpusPages(true);
  bench::TimePassOverPages(state, pages, [](LineList& article, const LineList& page) {
    PickArticleBlock(article, page);
  });
}
BENCHMARK(BM_CorpusPages)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavex

BENCHMARK_MAIN();
