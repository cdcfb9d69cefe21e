// Builds a generated issue of 500 articles (about 100 KB each, 5 rubrics,
// pictures shared between articles) with the whole Start run, and prints the
// articles built per second. The target is the whole issue in under 10 s.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/memory_window.h"
#include "build/start_run.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRubrics = 5;
constexpr int kArticlesPerRubric = 100;
constexpr int kPictures = 40;
constexpr size_t kArticleBytes = 100 * 1024;

void Write(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Cp1251(const char* utf8) {
  return tavex::Utf8To1251(utf8);
}

// One saved page: a site menu, a banner, the article's table of paragraphs with
// pictures from the shared pool, and a footer, in Windows-1251.
std::string Article(int rubric, int number, std::mt19937& random) {
  std::string page = "<HTML><HEAD><TITLE>" + Cp1251("Статья ") + std::to_string(rubric) + "-" +
                     std::to_string(number) +
                     "</TITLE>\r\n<SCRIPT>var n = 1;</SCRIPT></HEAD>\r\n<BODY>\r\n"
                     "<TABLE WIDTH=760><TR><TD WIDTH=150>\r\n";
  for (int i = 0; i < 40; ++i)
    page += "<A HREF=\"http://example.ru/" + std::to_string(i) + "\">" + Cp1251("Раздел ") +
            std::to_string(i) + "</A><BR>\r\n";
  page +=
      "</TD><TD WIDTH=610>\r\n<!-- begin banner -->\r\n<IMG SRC=\"http://ads/b.gif\">\r\n"
      "<!-- end banner -->\r\n";
  const std::string sentence =
      Cp1251("Текст статьи о компьютерах, программах и сети, достаточно длинный для меры. ");
  std::uniform_int_distribution<int> picture(0, kPictures - 1);
  while (page.size() < kArticleBytes) {
    page += "<P><FONT FACE=\"Arial\" SIZE=\"2\">";
    for (int i = 0; i < 12; ++i) page += sentence;
    page += "</FONT></P>\r\n";
    if (page.size() % 7 == 0)
      page += "<IMG SRC=\"../shared/p" + std::to_string(picture(random)) + ".gif\" WIDTH=100>\r\n";
  }
  page +=
      "</TD></TR></TABLE>\r\n<TABLE><TR><TD><A HREF=\"/about\">about</A></TD></TR></TABLE>\r\n"
      "</BODY></HTML>\r\n";
  return page;
}

// The working folder with templates, rules, contents file and the source tree.
void MakeWorkspace(const fs::path& dir) {
  std::mt19937 random(42);
  Write(dir / "left.htm",
        "<html><body><table>\r\n<!-- begin -->\r\n</table>MyDate</body></html>\r\n");
  Write(dir / "index.htm", "<frameset><frame src=\"../../main.htm\"></frameset>\r\n");
  Write(dir / "tvred.gif", "GIF89a");
  Write(dir / "Logo.gif", "GIF89a");
  Write(dir / "help" / "Table of Contents.hhc", "<UL>\r\n</UL>\r\n");
  Write(dir / "HtmClear" / "banner.bet",
        "<!-- begin banner -->\r\n<<*>>\r\n<!-- end banner -->\r\n");
  Write(dir / "HtmClear" / "about.txt", "<a href=\"/about\">\r\nabout\r\n</a>\r\n");
  Write(dir / "HtmClear" / "font.cha",
        "<font face=\"arial\" size=\"2\">\r\n<<*>>\r\n<font size=2>\r\n");
  Write(dir / "HtmClear" / "footer.ins", "</body>\r\n*<>\r\n<p>Tavex #x1</p>\r\n");
  for (int p = 0; p < kPictures; ++p)
    Write(dir / "source" / "shared" / ("p" + std::to_string(p) + ".gif"),
          "GIF89a" + std::string(2000 + p * 37, static_cast<char>('a' + p % 26)));
  for (int r = 0; r < kRubrics; ++r)
    for (int a = 0; a < kArticlesPerRubric; ++a)
      Write(dir / "source" / ("r" + std::to_string(r)) / ("a" + std::to_string(a) + ".htm"),
            Article(r, a, random));
}

void SetUpWindow(tavex::MemoryWindow& window, const fs::path& dir) {
  using tavex::Field;
  window.SetFieldText(Field::SourceDir, (dir / "source").string());
  window.SetFieldText(Field::TargetDir, (dir / "out" / "tavex#x1").string());
  window.SetFieldText(Field::IssuesRoot, (dir / "help").string());
  window.SetFieldText(Field::IndexPagePath, "tavex#x1\\index.htm");
  window.SetChecked(tavex::Switch::RunCompiler, false);
  window.SetRowCount(kRubrics + 1);
  for (int r = 0; r < kRubrics; ++r) {
    window.SetCell(0, r + 1, "r" + std::to_string(r));
    window.SetCell(1, r + 1, Cp1251("Рубрика ") + std::to_string(r));
  }
}

void BM_BuildIssue(benchmark::State& state) {
  const fs::path dir = fs::temp_directory_path() / ("mytavex-bench-" + std::to_string(getpid()));
  fs::remove_all(dir);
  MakeWorkspace(dir);
  const fs::path previous = fs::current_path();
  fs::current_path(dir);

  int articles = 0;
  for (auto _ : state) {
    tavex::MemoryWindow window;
    SetUpWindow(window, dir);
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
