// A generated working folder for the build benchmarks: templates, four rule
// files, a contents file, a pool of shared pictures and a source tree of saved
// pages in Windows-1251, plus the window that builds it. Sizes are in bytes.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/memory_window.h"
#include "platform/text.h"

namespace bench {

namespace fs = std::filesystem;

constexpr int kPictures = 40;

struct IssueShape {
  int rubrics = 5;
  int articles_per_rubric = 100;
  size_t article_bytes = 100 * 1024;  // each page grows to at least this
};

inline void Write(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string Cp1251(const char* utf8) {
  return tavex::Utf8To1251(utf8);
}

// One saved page: a site menu, a banner, the article's table of paragraphs with
// pictures from the shared pool, and a footer.
inline std::string Article(int rubric, int number, size_t bytes, std::mt19937& random) {
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
  do {
    page += "<P><FONT FACE=\"Arial\" SIZE=\"2\">";
    for (int i = 0; i < 12; ++i) page += sentence;
    page += "</FONT></P>\r\n";
    if (page.size() % 7 == 0)
      page += "<IMG SRC=\"../shared/p" + std::to_string(picture(random)) + ".gif\" WIDTH=100>\r\n";
  } while (page.size() < bytes);
  page +=
      "</TD></TR></TABLE>\r\n<TABLE><TR><TD><A HREF=\"/about\">about</A></TD></TR></TABLE>\r\n"
      "</BODY></HTML>\r\n";
  return page;
}

// The templates, the fixed pictures and an empty help contents file.
inline void WriteTemplates(const fs::path& dir) {
  Write(dir / "left.htm",
        "<html><body><table>\r\n<!-- begin -->\r\n</table>MyDate</body></html>\r\n");
  Write(dir / "index.htm", "<frameset><frame src=\"../../main.htm\"></frameset>\r\n");
  Write(dir / "tvred.gif", "GIF89a");
  Write(dir / "Logo.gif", "GIF89a");
  Write(dir / "help" / "Table of Contents.hhc", "<UL>\r\n</UL>\r\n");
}

// The working folder: templates, rules, the contents file and dir/source.
inline void MakeWorkspace(const fs::path& dir, const IssueShape& shape) {
  std::mt19937 random(42);
  WriteTemplates(dir);
  Write(dir / "HtmClear" / "banner.bet",
        "<!-- begin banner -->\r\n<<*>>\r\n<!-- end banner -->\r\n");
  Write(dir / "HtmClear" / "about.txt", "<a href=\"/about\">\r\nabout\r\n</a>\r\n");
  Write(dir / "HtmClear" / "font.cha",
        "<font face=\"arial\" size=\"2\">\r\n<<*>>\r\n<font size=2>\r\n");
  Write(dir / "HtmClear" / "footer.ins", "</body>\r\n*<>\r\n<p>Tavex #x1</p>\r\n");
  // An editor's rules were written long before the build: dated an hour
  // back, they are settled, and the build keeps their listing and their
  // lines instead of reading them again for every article as it must for
  // rules changed in the last seconds.
  const auto long_ago = fs::file_time_type::clock::now() - std::chrono::hours(1);
  for (const auto& rule : fs::directory_iterator(dir / "HtmClear"))
    fs::last_write_time(rule.path(), long_ago);
  fs::last_write_time(dir / "HtmClear", long_ago);
  for (int p = 0; p < kPictures; ++p)
    Write(dir / "source" / "shared" / ("p" + std::to_string(p) + ".gif"),
          "GIF89a" + std::string(2000 + p * 37, static_cast<char>('a' + p % 26)));
  for (int r = 0; r < shape.rubrics; ++r)
    for (int a = 0; a < shape.articles_per_rubric; ++a)
      Write(dir / "source" / ("r" + std::to_string(r)) / ("a" + std::to_string(a) + ".htm"),
            Article(r, a, shape.article_bytes, random));
}

// The window for a build of dir/source into dir/OUT/tavex#x1, compiler off.
inline void SetUpWindow(tavex::MemoryWindow& window, const fs::path& dir, int rubrics,
                        const std::string& out = "out") {
  using tavex::Field;
  window.SetFieldText(Field::SourceDir, (dir / "source").string());
  window.SetFieldText(Field::TargetDir, (dir / out / "tavex#x1").string());
  window.SetFieldText(Field::IssuesRoot, (dir / "help").string());
  window.SetFieldText(Field::IndexPagePath, "tavex#x1\\index.htm");
  window.SetChecked(tavex::Switch::RunCompiler, false);
  window.SetRowCount(rubrics + 1);
  for (int r = 0; r < rubrics; ++r) {
    window.SetCell(0, r + 1, "r" + std::to_string(r));
    window.SetCell(1, r + 1, Cp1251("Рубрика ") + std::to_string(r));
  }
}

}  // namespace bench
