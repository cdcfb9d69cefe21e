// Speed of the article cleaner over the shared corpus of real saved pages and
// over a generated 5 MB page on one line, with the designer's switches (and
// the corpus once more with today's switches on) and no rule files. Before
// the timings it prints the slowest corpus page and how many corpus titles
// match the title in the case's expected-metadata.json.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/memory_window.h"
#include "clean/clean_article.h"
#include "clean/line_helpers.h"
#include "platform/text.h"

namespace fs = std::filesystem;
using namespace tavex;

namespace {

struct TCorpusPage {
  std::string name;  // "readability/bbc-1"
  std::string path;
  size_t bytes = 0;
};

std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::vector<TCorpusPage> CorpusPages() {
  const fs::path corpus = fs::path(MYTAVEX_SHARED_DIR) / "corpus";
  std::vector<TCorpusPage> pages;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(corpus, ec), end; !ec && it != end; it.increment(ec))
    if (it->path().filename() == "source.html")
      pages.push_back({fs::relative(it->path().parent_path(), corpus).string(), it->path().string(),
                       static_cast<size_t>(it->file_size())});
  std::sort(pages.begin(), pages.end(),
            [](const TCorpusPage& a, const TCorpusPage& b) { return a.name < b.name; });
  return pages;
}

// A working folder with an empty HtmClear and an issue tree, made current for
// the whole run; removed at exit.
class TBenchFolder {
 public:
  TBenchFolder() {
    root_ = fs::temp_directory_path() / ("mytavex-clean-bench-" + std::to_string(::getpid()));
    fs::create_directories(root_ / "HtmClear");
    fs::create_directories(root_ / "out" / "pub");
    fs::create_directories(root_ / "out" / "images");
    fs::current_path(root_);
  }
  ~TBenchFolder() {
    std::error_code ec;
    fs::current_path(fs::temp_directory_path(), ec);
    fs::remove_all(root_, ec);
  }
  const fs::path& root() const { return root_; }

 private:
  fs::path root_;
};

TBenchFolder& Folder() {
  static TBenchFolder folder;
  return folder;
}

MemoryWindow& Window() {
  static MemoryWindow window = [] {
    MemoryWindow w;
    w.SetFieldText(Field::TargetDir, (Folder().root() / "out").string());
    return w;
  }();
  return window;
}

std::string Clean(const std::string& source) {
  return CleanArticle(source, (Folder().root() / "out" / "pub" / "0.htm").string(), Window());
}

// The page: 5 MB of layout tables, text, links, pictures and scripts, all on
// one line, as minified pages come.
const std::string& GeneratedPagePath() {
  static const std::string path = [] {
    const fs::path folder = Folder().root() / "generated";
    fs::create_directories(folder);
    std::ofstream(folder / "pic.gif", std::ios::binary) << "GIF89a";
    std::string page =
        "<html><head><title>Generated page</title><script>var x = '<p>';</script>"
        "</head><body>";
    for (int i = 0; page.size() < 5'000'000; ++i) {
      page += "<table width=600><tr><td class=text width=300><a href=\"/l" + std::to_string(i) +
              "\">Link " + std::to_string(i) +
              "</a></td><td>Some words of the article, and some more words.  "
              "<img src=pic.gif width=10><img src=\"missing/" +
              std::to_string(i % 97) + ".png\"><br></td></tr></table>";
    }
    page += "</body></html>";
    std::ofstream(folder / "page.htm", std::ios::binary) << page;
    return (folder / "page.htm").string();
  }();
  return path;
}

// --- Title agreement with expected-metadata.json ------------------------

// The "title" string of a JSON metadata file, unescaped, in UTF-8.
std::string JsonTitle(const std::string& json) {
  size_t at = json.find("\"title\"");
  if (at == std::string::npos) return {};
  at = json.find('"', json.find(':', at));
  std::string out;
  for (size_t i = at + 1; i < json.size() && json[i] != '"'; ++i) {
    if (json[i] != '\\') {
      out += json[i];
      continue;
    }
    const char e = json[++i];
    if (e == 'u') {
      char32_t cp = std::stoul(json.substr(i + 1, 4), nullptr, 16);
      i += 4;
      if (cp >= 0xD800 && cp < 0xDC00 && json.compare(i + 1, 2, "\\u") == 0) {
        cp = 0x10000 + ((cp - 0xD800) << 10) +
             (std::stoul(json.substr(i + 3, 4), nullptr, 16) - 0xDC00);
        i += 6;
      }
      AppendUtf8(out, cp);
    } else {
      out += e == 'n' ? '\n' : e == 't' ? '\t' : e;
    }
  }
  return out;
}

// The title as a reader sees it, in UTF-8: character references and the
// common named entities decoded, spaces squeezed.
std::string ShownTitle(const std::string& title_1251) {
  const std::string utf8 = Cp1251ToUtf8(title_1251);
  std::string out;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const size_t semi = utf8[i] == '&' ? utf8.find(';', i) : std::string::npos;
    if (semi == std::string::npos || semi - i > 10) {
      out += utf8[i];
      continue;
    }
    const std::string name = utf8.substr(i + 1, semi - i - 1);
    char32_t cp = 0;
    if (name.size() > 1 && name[0] == '#')
      cp = (name[1] == 'x' || name[1] == 'X') ? std::stoul(name.substr(2), nullptr, 16)
                                              : std::stoul(name.substr(1));
    else if (name == "amp")
      cp = '&';
    else if (name == "lt")
      cp = '<';
    else if (name == "gt")
      cp = '>';
    else if (name == "quot")
      cp = '"';
    else if (name == "apos")
      cp = '\'';
    else if (name == "nbsp")
      cp = ' ';
    if (cp == 0) {
      out += utf8[i];
      continue;
    }
    AppendUtf8(out, cp);
    i = semi;
  }
  return SqueezeSpaces(out);
}

void PrintCorpusFigures() {
  const auto pages = CorpusPages();
  // Best of five runs per page, in wall time and in this process's CPU time
  // (the machine may be shared, which stretches the wall time).
  double slowest_ms = 0, slowest_cpu_ms = 0;
  std::string slowest;
  int with_title = 0, matching = 0, containing = 0;
  for (const auto& page : pages) {
    double best_ms = 1e9, best_cpu_ms = 1e9;
    std::string title;
    for (int run = 0; run < 5; ++run) {
      ResetPictureRegister();
      const std::clock_t cpu_start = std::clock();
      const auto start = std::chrono::steady_clock::now();
      title = Clean(page.path);
      const auto wall = std::chrono::steady_clock::now() - start;
      best_ms = std::min(best_ms, std::chrono::duration<double, std::milli>(wall).count());
      best_cpu_ms = std::min(best_cpu_ms, 1000.0 * (std::clock() - cpu_start) / CLOCKS_PER_SEC);
    }
    if (best_ms > slowest_ms)
      slowest_ms = best_ms, slowest_cpu_ms = best_cpu_ms, slowest = page.name;
    const fs::path metadata = fs::path(page.path).parent_path() / "expected-metadata.json";
    if (!fs::exists(metadata)) continue;
    ++with_title;
    const std::string expected = JsonTitle(ReadWhole(metadata));
    const std::string shown = ShownTitle(title);
    const bool match = shown == SqueezeSpaces(expected);
    const bool contains = shown.find(SqueezeSpaces(expected)) != std::string::npos;
    matching += match;
    containing += contains;
    std::printf("title %-24s %-9s got \"%s\"\n", page.name.c_str(),
                match      ? "equal"
                : contains ? "contains"
                           : "DIFFERS",
                shown.c_str());
  }
  std::printf("corpus pages: %zu; slowest: %s, %.2f ms wall, %.2f ms CPU (best of 5)\n",
              pages.size(), slowest.c_str(), slowest_ms, slowest_cpu_ms);
  // Sites add their name to the title element ("... - BBC News"), which the
  // metadata leaves out; "containing" counts a title that holds it whole.
  std::printf("titles equal to expected-metadata.json: %d of %d; containing it: %d of %d\n\n",
              matching, with_title, containing, with_title);
}

void SetRates(benchmark::State& state, double pages, double bytes) {
  state.counters["pages/s"] =
      benchmark::Counter(pages, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["MB/s"] =
      benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_CleanCorpus(benchmark::State& state) {
  const auto pages = CorpusPages();
  size_t bytes = 0;
  for (const auto& page : pages) bytes += page.bytes;
  for (auto _ : state) {
    ResetPictureRegister();
    for (const auto& page : pages) benchmark::DoNotOptimize(Clean(page.path));
  }
  SetRates(state, static_cast<double>(pages.size()), static_cast<double>(bytes));
}
BENCHMARK(BM_CleanCorpus)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same with the four switches the sample working folder turns on for
// today's pages (data/mytavex.ini), the article block among them.
void BM_CleanCorpusTodaysSwitches(benchmark::State& state) {
  constexpr Switch kToday[] = {Switch::PickArticleBlock, Switch::ModernPictures,
                               Switch::TrimSiteName, Switch::UnlinkMissingPages};
  for (Switch sw : kToday) Window().SetChecked(sw, true);
  BM_CleanCorpus(state);
  for (Switch sw : kToday) Window().SetChecked(sw, false);
}
BENCHMARK(BM_CleanCorpusTodaysSwitches)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CleanGenerated5MB(benchmark::State& state) {
  const std::string& path = GeneratedPagePath();
  const double bytes = static_cast<double>(fs::file_size(path));
  for (auto _ : state) {
    ResetPictureRegister();
    benchmark::DoNotOptimize(Clean(path));
  }
  SetRates(state, 1, bytes);
}
BENCHMARK(BM_CleanGenerated5MB)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  Folder();
  PrintCorpusFigures();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
