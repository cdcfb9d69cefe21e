// How fast cleaned pages become the book's XHTML: the real corpus pages, and
// generated pages of growing size (one 10 MB line among them) whose times
// should grow in step with their size.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "epub/page_source.h"
#include "epub/xhtml_writer.h"

namespace fs = std::filesystem;

namespace {

tavex::TPageLinks Links() {
  tavex::TPageLinks links;
  links.document = [](std::string_view) -> std::optional<std::string> { return "a1.xhtml"; };
  links.picture = [](std::string_view) -> std::optional<std::string> { return "../images/p1.gif"; };
  return links;
}

std::string CorpusText() {
  std::string all;
  const fs::path corpus = fs::path(MYTAVEX_SHARED_DIR) / "corpus";
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(corpus, ec);
       !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (it->path().filename() != "source.html") continue;
    std::ifstream in(it->path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    all += bytes.str();
    all += '\x01';  // page separator
  }
  return all;
}

void BM_CorpusPages(benchmark::State& state) {
  const std::string corpus = CorpusText();
  if (corpus.empty()) {
    state.SkipWithError("no corpus");
    return;
  }
  const tavex::TPageLinks links = Links();
  for (auto _ : state) {
    size_t begin = 0;
    while (begin < corpus.size()) {
      const size_t end = corpus.find('\x01', begin);
      const auto doc = tavex::ParsePage(std::string_view(corpus).substr(begin, end - begin), "p");
      benchmark::DoNotOptimize(tavex::WriteXhtmlBody(doc.get(), links));
      begin = end + 1;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * corpus.size()));
}
BENCHMARK(BM_CorpusPages)->Unit(benchmark::kMillisecond);

// A Windows-1251 page of tag soup on one line, about size bytes: nested
// inline wrappers around blocks, tables with stray text, links and pictures.
std::string SoupPage(size_t size) {
  const std::string piece =
      "<font size=2><b><p>\xd2\xe5\xea\xf1\xf2 <a href=\"..\\pub\\1.htm\">link</a>"
      "<div>block <img src=\"..\\Images\\1.gif\" width=10></div></b><table><form><tr>stray"
      "<td>cell</table><ul>loose<li>item</ul></font>";
  std::string page = "<html><body>";
  while (page.size() < size) page += piece;
  return page + "</body></html>";
}

void BM_OneLineSoup(benchmark::State& state) {
  const std::string page = SoupPage(static_cast<size_t>(state.range(0)));
  const tavex::TPageLinks links = Links();
  for (auto _ : state) {
    const auto doc = tavex::ParsePage(page, "p");
    benchmark::DoNotOptimize(tavex::WriteXhtmlBody(doc.get(), links));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
// The parser alone, to tell its share from the writer's.
void BM_OneLineSoupParseOnly(benchmark::State& state) {
  const std::string page = SoupPage(static_cast<size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(tavex::ParsePage(page, "p"));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_OneLineSoupParseOnly)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_OneLineSoup)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
