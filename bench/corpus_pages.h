// The shared corpus's pages for the benchmarks of single cleaning passes, and
// the loop that times a pass over each of them in turn.
#pragma once

#include <benchmark/benchmark.h>

#include <filesystem>
#include <vector>

#include "clean/line_helpers.h"
#include "clean/line_list.h"

namespace tavex::bench {

// The bytes of the lines as a file holds them (CR LF after each).
inline size_t LineBytes(const LineList& lines) {
  size_t bytes = 0;
  for (const std::string& line : lines) bytes += line.size() + 2;
  return bytes;
}

// Every "source.html" below ../shared/corpus as lines; normalised (one tag or
// text run a line) when the pass expects the article in that form. Empty when
// the corpus is not there.
inline std::vector<LineList> LoadCorpusPages(bool normalised) {
  std::vector<LineList> all;
  const std::filesystem::path root = std::filesystem::path(MYTAVEX_SHARED_DIR) / "corpus";
  if (!std::filesystem::exists(root)) return all;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
    if (entry.path().filename() == "source.html") {
      all.push_back(LoadLines(entry.path().string()));
      if (normalised) SplitTagsToLines(all.back());
    }
  return all;
}

// Times pass(article, page) on a fresh copy of each page (the copy is not
// timed), with the corpus's size as counters and bytes processed.
template <class Pass>
void TimePassOverPages(benchmark::State& state, const std::vector<LineList>& pages, Pass pass) {
  if (pages.empty()) {
    state.SkipWithError("no corpus pages under " MYTAVEX_SHARED_DIR);
    return;
  }
  size_t bytes = 0;
  for (const LineList& page : pages) bytes += LineBytes(page);
  for (auto _ : state) {
    for (const LineList& page : pages) {
      state.PauseTiming();
      LineList article = page;
      state.ResumeTiming();
      pass(article, page);
      benchmark::DoNotOptimize(article.data());
    }
  }
  state.counters["pages"] = static_cast<double>(pages.size());
  state.counters["corpus_MB"] = static_cast<double>(bytes) / 1e6;
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

}  // namespace tavex::bench
