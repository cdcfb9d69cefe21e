// Speed of taking the embedded pictures out of a page at its load: pages of
// 1 to 16 MB, one with a data: picture every 4 KB (each picture 1 KB of
// base64, every tenth one repeated) and one with only ordinary pictures, so
// the figures show the pass is linear in the page's size and what it costs a
// page that has nothing to take out. Scratch files go to the system's
// temporary folder and are removed after each run.
#include <benchmark/benchmark.h>

#include <string>

#include "clean/embedded_pictures.h"
#include "platform/temp_folder.h"

using namespace tavex;

namespace {

std::string Page(size_t bytes, bool with_data_pictures) {
  std::string page = "<html><head><title>Bench</title></head><body>\n";
  std::string base64;
  for (int i = 0; i < 1024; ++i) base64 += "ABCDabcd+/0189"[i % 14];
  for (int n = 0; page.size() < bytes; ++n) {
    page += "<p class=\"text\">A paragraph of the article with <a href=\"x.htm\">a link</a>";
    page.append(3800, ' ');
    page += "</p>\n";
    if (with_data_pictures)
      page += "<img alt=\"" + std::to_string(n) + "\" src=\"data:image/png;base64," +
              std::to_string(n % 10 == 0 ? 0 : n) + base64 + "\">\n";
    else
      page += "<img src=\"pics/" + std::to_string(n) + ".png\" width=300>\n";
  }
  return page + "</body></html>\n";
}

void TakeOut(benchmark::State& state, bool with_data_pictures) {
  const std::string page = Page(static_cast<size_t>(state.range(0)) << 20, with_data_pictures);
  for (auto _ : state) {
    TempFolder scratch;
    benchmark::DoNotOptimize(TakeOutEmbeddedPictures(page, scratch, nullptr, true));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
  state.SetComplexityN(static_cast<int64_t>(page.size()));
}

void BM_DataPictures(benchmark::State& state) {
  TakeOut(state, true);
}
void BM_OrdinaryPictures(benchmark::State& state) {
  TakeOut(state, false);
}

}  // namespace

BENCHMARK(BM_DataPictures)
    ->RangeMultiplier(4)
    ->Range(1, 16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_OrdinaryPictures)
    ->RangeMultiplier(4)
    ->Range(1, 16)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK_MAIN();
