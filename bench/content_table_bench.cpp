// How long the content-table pass takes on big generated pages and on the
// real pages of the shared corpus. Prints the time per page and the page size.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "app/memory_window.h"
#include "clean/content_table.h"
#include "clean/line_list.h"
#include "corpus_pages.h"

namespace tavex {
namespace {

const LineList kHead = {"<html>", "<head>", "<title>", "Big page", "</title>", "</head>", "<body>"};

std::string Words(int group, int length) {
  std::string text = "group " + std::to_string(group) + " ";
  while (static_cast<int>(text.size()) < length) text += "lorem ipsum dolor sit amet ";
  return text.substr(0, length);
}

// One row of cells: text, a link with its text, a picture.
void AddRow(LineList& page, int group) {
  for (const char* line : {"<tr>", "<td>"}) page.push_back(line);
  page.push_back(Words(group, 120));
  for (const char* line : {"</td>", "<td>", "<a href=page.htm>"}) page.push_back(line);
  page.push_back(Words(group, 30));
  for (const char* line : {"</a>", "<img src=p.png width=100 height=80>", "</td>", "</tr>"})
    page.push_back(line);
}

// About 5 MB: groups of three tables nested in each other, each holding rows
// of its own around the table nested in it.
LineList NestedPage(int tables, int rows_per_table) {
  LineList page = kHead;
  for (int group = 0; group < tables / 3; ++group) {
    for (int depth = 0; depth < 3; ++depth) {
      page.push_back("<table border=0 width=100%>");
      for (int r = 0; r < rows_per_table; ++r) AddRow(page, group);
      if (depth < 2) page.insert(page.end(), {"<tr>", "<td>"});
    }
    page.push_back("</table>");
    for (int depth = 0; depth < 2; ++depth) page.insert(page.end(), {"</td>", "</tr>", "</table>"});
  }
  page.insert(page.end(), {"</body>", "</html>"});
  return page;
}

// The same size, but no table and no cell is ever closed, and all the tables
// open first: read line by line, every table and every cell runs on to the
// end of the page.
LineList UnclosedPage(int tables, int rows) {
  LineList page = kHead;
  for (int t = 0; t < tables; ++t) page.push_back("<table>");
  for (int r = 0; r < rows; ++r) {
    page.insert(page.end(), {"<tr>", "<td>"});
    page.push_back(Words(r, 120));
    page.insert(page.end(), {"<td>", "<a href=page.htm>"});
    page.push_back(Words(r, 30));
    page.push_back("</a>");
  }
  page.insert(page.end(), {"</body>", "</html>"});
  return page;
}

// Tables nested in each other, thousands deep, each with a little text.
LineList DeepPage(int depth) {
  LineList page = kHead;
  for (int d = 0; d < depth; ++d) {
    page.insert(page.end(), {"<table>", "<tr>", "<td>"});
    page.push_back(Words(d, 200));
  }
  for (int d = 0; d < depth; ++d) page.insert(page.end(), {"</td>", "</tr>", "</table>"});
  page.insert(page.end(), {"</body>", "</html>"});
  return page;
}

void RunPass(benchmark::State& state, const LineList& page) {
  MemoryWindow window;
  for (auto _ : state) {
    state.PauseTiming();
    LineList article = page;
    state.ResumeTiming();
    SelectContentTable(article, window);
    benchmark::DoNotOptimize(article.data());
  }
  state.counters["page_MB"] = static_cast<double>(bench::LineBytes(page)) / 1e6;
  state.counters["lines"] = static_cast<double>(page.size());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bench::LineBytes(page)));
}

void BM_Nested2000Tables(benchmark::State& state) {
  static const LineList page = NestedPage(2001, 10);
  RunPass(state, page);
}
BENCHMARK(BM_Nested2000Tables)->Unit(benchmark::kMillisecond);

void BM_Unclosed2000TablesAndCells(benchmark::State& state) {
  static const LineList page = UnclosedPage(2000, 26000);
  RunPass(state, page);
}
BENCHMARK(BM_Unclosed2000TablesAndCells)->Unit(benchmark::kMillisecond);

void BM_Nested5000Deep(benchmark::State& state) {
  static const LineList page = DeepPage(5000);
  RunPass(state, page);
}
BENCHMARK(BM_Nested5000Deep)->Unit(benchmark::kMillisecond);

// Every page of the shared corpus in turn, bytes as they are stored.
void BM_CorpusPages(benchmark::State& state) {
  static const std::vector<LineList> pages = bench::LoadCorpusPages(false);
  MemoryWindow window;
  bench::TimePassOverPages(state, pages, [&](LineList& article, const LineList&) {
    SelectContentTable(article, window);
  });
}
BENCHMARK(BM_CorpusPages)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavex

BENCHMARK_MAIN();
