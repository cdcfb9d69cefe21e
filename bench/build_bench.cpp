// Builds a generated issue of 500 articles (about 100 KB each, 5 rubrics,
// pictures shared between articles) with the whole Start run, and prints the
// articles built per second. The target is the whole issue in under 10 s.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "build/start_run.h"
#include "issue_workspace.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRubrics = 5;

void BM_BuildIssue(benchmark::State& state) {
  const fs::path dir = fs::temp_directory_path() / ("mytavex-bench-" + std::to_string(getpid()));
  fs::remove_all(dir);
  bench::MakeWorkspace(dir, bench::IssueShape{});
  const fs::path previous = fs::current_path();
  fs::current_path(dir);

  int articles = 0;
  for (auto _ : state) {
    tavex::MemoryWindow window;
    bench::SetUpWindow(window, dir, kRubrics);
    tavex::ArticleTable table;
    const auto start = std::chrono::steady_clock::now();
    tavex::StartRun(window, table);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(took.count());
    for (const auto& rubric : table.Rubrics) articles += static_cast<int>(rubric.size());
  }
  state.counters["articles/s"] = benchmark::Counter(articles, benchmark::Counter::kIsRate);
  state.counters["articles"] = static_cast<double>(articles) / state.iterations();

  fs::current_path(previous);
  fs::remove_all(dir);
}
BENCHMARK(BM_BuildIssue)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
