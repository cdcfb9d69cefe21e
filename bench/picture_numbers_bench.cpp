// The picture pass on pictures that are hard to tell apart: a whole Start run
// over 1,500 articles, each showing a picture of its own, where
//  - "distinct": 1,500 different pictures, JPEG and GIF, all of one size per
//    kind with the same header and the same last bytes (only the middle
//    differs), must get 1,500 numbers;
//  - "copies": 1,500 files that are copies of 300 such pictures must get 300.
// The same articles without pictures are built too; the difference, divided
// by the 1,500 pictures, is printed as the picture pass's cost per picture in
// microseconds. A plain program: it prints its figures and exits 1 when a
// count is wrong.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <regex>
#include <string>

#include "app/memory_window.h"
#include "build/start_run.h"
#include "issue_workspace.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRubrics = 3;
constexpr int kArticles = 1500;  // 500 in each rubric
constexpr size_t kPictureBytes = 6000;

using bench::Write;

// A picture of the given kind: a fixed header, kPictureBytes in all, a middle
// drawn from seed, and the fixed ending of its kind.
std::string Picture(bool jpeg, unsigned seed) {
  const std::string head = jpeg ? std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01", 13)
                                : std::string("GIF89a\x64\x00\x4B\x00\xF7\x00\x00", 13);
  const std::string tail = jpeg ? std::string("\xFF\xD9") : std::string("\x00\x3B", 2);
  std::string bytes = head;
  std::mt19937 random(seed);
  while (bytes.size() < kPictureBytes - tail.size()) bytes += static_cast<char>(random());
  return bytes + tail;
}

std::string PictureName(int number) {
  return "p" + std::to_string(number) + (number % 2 ? ".gif" : ".jpg");
}

std::string Article(int number, bool with_picture) {
  std::string page = "<HTML><HEAD><TITLE>" + tavex::Utf8To1251("Статья ") + std::to_string(number) +
                     "</TITLE></HEAD>\r\n<BODY>\r\n<P>" +
                     tavex::Utf8To1251("Текст статьи о снимках, которые легко спутать.") +
                     "</P>\r\n";
  if (with_picture)
    page += "<IMG SRC=\"pics/" + PictureName(number) + "\" WIDTH=100 HEIGHT=75>\r\n";
  return page + "<P>" + std::to_string(number) + "</P>\r\n</BODY></HTML>\r\n";
}

// The working folder; each article shows picture 'number', whose bytes are
// those of picture number % distinct.
void MakeWorkspace(const fs::path& dir, int distinct, bool with_pictures) {
  fs::remove_all(dir);
  bench::WriteTemplates(dir);
  fs::create_directories(dir / "HtmClear");
  for (int a = 0; a < kArticles; ++a) {
    const fs::path rubric = dir / "source" / ("r" + std::to_string(a % kRubrics));
    Write(rubric / ("a" + std::to_string(a) + ".htm"), Article(a, with_pictures));
    if (with_pictures) {
      const int model = a % distinct;
      Write(rubric / "pics" / PictureName(a), Picture(model % 2 == 0, 1000 + model));
    }
  }
}

// Runs the build; returns its seconds and sets numbered to the count of
// pictures under numbered names in images/.
double Build(const fs::path& dir, int& numbered) {
  tavex::MemoryWindow window;
  bench::SetUpWindow(window, dir, kRubrics);
  const fs::path previous = fs::current_path();
  fs::current_path(dir);
  tavex::ArticleTable table;
  const auto start = std::chrono::steady_clock::now();
  tavex::StartRun(window, table);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  fs::current_path(previous);

  numbered = 0;
  const std::regex name("[0-9]+\\.[A-Za-z]+");
  for (const auto& entry : fs::recursive_directory_iterator(dir / "out"))
    if (entry.is_regular_file() && entry.path().parent_path().filename() == "images" &&
        std::regex_match(entry.path().filename().string(), name))
      ++numbered;
  return took.count();
}

}  // namespace

int main() {
  const fs::path dir =
      fs::temp_directory_path() / ("mytavex-picture-bench-" + std::to_string(getpid()));
  int failures = 0;
  int numbered = 0;
  MakeWorkspace(dir, kArticles, false);
  const double plain = Build(dir, numbered);
  std::printf("%d articles without pictures: %.3f s\n", kArticles, plain);

  const struct {
    const char* name;
    int distinct;
  } cases[] = {{"distinct", kArticles}, {"copies", 300}};
  for (const auto& one : cases) {
    MakeWorkspace(dir, one.distinct, true);
    const double took = Build(dir, numbered);
    const double per_picture = (took - plain) / kArticles * 1e6;
    std::printf(
        "%-8s %d pictures (%d different): %d numbers, %.3f s, picture pass %.1f us/picture\n",
        one.name, kArticles, one.distinct, numbered, took, per_picture);
    if (numbered != one.distinct) {
      std::printf("  wrong: expected %d numbers\n", one.distinct);
      ++failures;
    }
  }
  fs::remove_all(dir);
  return failures ? 1 : 0;
}
