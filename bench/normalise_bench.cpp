// Normalisation speed: a page written on one line, and a page of many short
// lines. Bytes per second are printed for each size; comparing the 1 MB and
// 10 MB one-line figures shows whether the pass stays linear.
//
// On a virtual machine whose first touch of fresh memory is dear, the large
// sizes also pay for the C library handing their memory back to the system
// after every iteration, which the 1 MB size never does. To see the pass's own
// cost, keep the memory in the process:
//   GLIBC_TUNABLES=glibc.malloc.trim_threshold=4294967295:glibc.malloc.mmap_threshold=4294967295
#include <benchmark/benchmark.h>

#include <string>

#include "clean/line_helpers.h"

namespace {

// A table-layout page: tags with attributes, runs of text with double spaces,
// a tag broken after its "<", Cyrillic text; about `bytes` long.
std::string PagePiece(int n) {
  return "<TR><TD class=text width=300><A HREF=\"page" + std::to_string(n) +
         ".htm\">\xcd\xee\xe2\xee\xf1\xf2\xe8  of the day</A></TD>< td>Text  with   spaces "
         "and a > sign</td></TR>\t";
}

std::string OneLinePage(size_t bytes) {
  std::string page = "<HTML><HEAD><TITLE>Big</TITLE></HEAD><BODY><TABLE>";
  for (int n = 0; page.size() < bytes; ++n) page += PagePiece(n);
  return page + "</TABLE></BODY></HTML>";
}

void BM_NormaliseOneLine(benchmark::State& state) {
  const std::string page = OneLinePage(static_cast<size_t>(state.range(0)) << 20);
  for (auto _ : state) {
    tavex::LineList lines = {page};
    tavex::SplitTagsToLines(lines);
    benchmark::DoNotOptimize(lines.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_NormaliseOneLine)
    ->Arg(1)
    ->Arg(2)
    ->Arg(5)
    ->Arg(10)
    ->Arg(20)
    ->Unit(benchmark::kMillisecond);

void BM_NormaliseManyLines(benchmark::State& state) {
  tavex::LineList page;
  size_t bytes = 0;
  for (int n = 0; n < state.range(0); ++n) {
    if (n % 7 == 3) {
      page.push_back("<IMG");
    } else {
      page.push_back("  ");
      page.back() += PagePiece(n);
      page.back() += "  ";
    }
    if (n % 7 == 3) page.push_back("SRC=a.gif  ALT='x'>");
    bytes += page.back().size() + 2;
  }
  for (auto _ : state) {
    tavex::LineList lines = page;
    tavex::SplitTagsToLines(lines);
    benchmark::DoNotOptimize(lines.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}
BENCHMARK(BM_NormaliseManyLines)->Arg(100'000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
