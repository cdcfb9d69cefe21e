#include "clean/head_repair.h"

#include "clean/line_helpers.h"

namespace tavex {
namespace {

bool BeginsWith(const std::string& line, std::string_view prefix) {
  return line.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

void RepairHead(LineList& article) {
  const int h = FindLine("<html>", article);
  if (h == 0) article.push_back("</html>");
  if (FindLine("<head>", article) == 0) article.insert(article.begin() + h, "<head>");
  if (FindLine("</head>", article) == 0) article.insert(article.begin() + h + 1, "</head>");
}

void CutScriptsAndLinks(LineList& article) {
  const int count = LineCount(article);
  if (count == 0) return;
  const int last = count - 1;  // deletions never reach it, so it stays the last line
  // Lines that survive are moved down to `kept`; each line is read once.
  int kept = 0;
  int i = 0;
  while (i < count) {
    const std::string& line = article[i];
    if (i < last && BeginsWith(line, "<link")) {
      ++i;
    } else if (i < last && BeginsWith(line, "<script")) {
      ++i;  // the opening line goes first, whatever it holds
      while (i < last && article[i].find("</script") == std::string::npos) ++i;
      if (i < last) ++i;  // the closing line
    } else {
      if (kept != i) article[kept] = std::move(article[i]);
      ++kept;
      ++i;
    }
  }
  article.resize(kept);
}

}  // namespace tavex
