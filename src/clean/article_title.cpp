#include "clean/article_title.h"

#include <string_view>

#include "clean/line_helpers.h"

namespace tavex {

const char kUnknownTitle[] =
    "\xcd\xe5\xef\xee\xed\xff\xf2\xed\xfb\xe9 \xe7\xe0\xe3\xee\xeb\xee\xe2\xee\xea";

namespace {

constexpr std::string_view kCentredQuoted = "<h2 align=\"center\">";
constexpr std::string_view kCentredBare = "<h2 align=center>";

// An empty line counts as text: only a leading "<" makes a tag line.
bool BeginsWithTag(const std::string& line) {
  return !line.empty() && line[0] == '<';
}

// Index of the first line equal to text, line 0 included; -1 when none.
int FirstLineEqualTo(const LineList& article, std::string_view text) {
  for (int i = 0; i < LineCount(article); ++i)
    if (article[i] == text) return i;
  return -1;
}

int FirstCentredHeading(const LineList& article) {
  for (int i = 0; i < LineCount(article); ++i)
    if (article[i] == kCentredQuoted || article[i] == kCentredBare) return i;
  return -1;
}

// The run of text that starts at line k: line k and the text lines right
// after it, joined by single spaces. With cut_at_tag, the title is cut before
// its first "<" after each joined line (a line list that could not be
// normalised may hold tags inside text). After the first cut the title holds
// no "<", so each later search looks only at the part just joined: a title of
// a million lines is read once, not once per line.
std::string TextRunFrom(const LineList& article, int k, bool cut_at_tag) {
  std::string title = article[k];
  size_t unsearched = 0;  // the title before this holds no "<"
  while (k + 1 < LineCount(article) && !BeginsWithTag(article[k + 1])) {
    ++k;
    title += ' ';
    title += article[k];
    if (cut_at_tag) {
      const size_t lt = title.find('<', unsearched);
      if (lt != std::string::npos) title.resize(lt);
      unsearched = title.size();
    }
  }
  return title;
}

}  // namespace

std::string FindArticleTitle(const LineList& article) {
  const int count = LineCount(article);
  if (const int i = FirstCentredHeading(article); i >= 0) {
    int k = i + 1;
    while (k < count && BeginsWithTag(article[k])) ++k;  // font, bold and the like
    // A heading that reads the marker itself gives no title: the title
    // element is still asked, as for a page without a heading.
    if (k < count)
      if (std::string title = TextRunFrom(article, k, false); title != kUnknownTitle) return title;
  }
  if (const int i = FirstLineEqualTo(article, "<title>"); i >= 0) {
    // A tag right after "<title>" means the element is empty: no title.
    if (i + 1 < count && !BeginsWithTag(article[i + 1])) return TextRunFrom(article, i + 1, true);
  }
  return kUnknownTitle;
}

void AddTitleHeading(LineList& article, const std::string& title) {
  if (FindLine(kCentredQuoted, article) != 0 || FindLine(kCentredBare, article) != 0) return;
  if (title == kUnknownTitle) return;
  const int h = FindLine("</head>", article);
  if (h == 0) return;
  article.insert(article.begin() + h + 1, TitleHeadingLine(title));
}

std::string TitleHeadingLine(const std::string& title) {
  return std::string(kCentredQuoted) + title + "</h2>";
}

}  // namespace tavex
