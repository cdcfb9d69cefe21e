#include "clean/page_finish.h"

#include <string_view>

#include "clean/article_title.h"
#include "clean/line_helpers.h"
#include "platform/text.h"

namespace tavex {
namespace {

constexpr const char* kStandardsDoctype = "<!DOCTYPE html>";

bool StartsWith(std::string_view line, std::string_view prefix) {
  return line.substr(0, prefix.size()) == prefix;
}

bool IsTag(std::string_view line) {
  return !line.empty() && line.front() == '<';
}

// "<h1" .. "<h6" (opening == true) or "</h1" .. "</h6" as the line's tag.
bool IsHeadingTag(std::string_view line, bool opening) {
  const std::string_view prefix = opening ? "<h" : "</h";
  if (!StartsWith(line, prefix) || line.size() <= prefix.size() + 1) return false;
  const char level = line[prefix.size()];
  const char after = line[prefix.size() + 1];
  return level >= '1' && level <= '6' && (after == '>' || after == ' ');
}

// Tags that may wrap a heading's text inside it (a link, a font, emphasis).
bool IsInlineTag(std::string_view line) {
  for (std::string_view name : {"a", "b", "i", "em", "strong", "font", "span", "u"}) {
    const std::string open = "<" + std::string(name);
    const std::string close = "</" + std::string(name);
    for (const std::string& tag : {open, close})
      if (StartsWith(line, tag) &&
          (line.size() == tag.size() || line[tag.size()] == '>' || line[tag.size()] == ' '))
        return true;
  }
  return false;
}

// The index of the first line equal to text (exact), or -1.
int IndexOf(const LineList& article, std::string_view text, int from = 0) {
  for (int i = from; i < LineCount(article); ++i)
    if (article[i] == text) return i;
  return -1;
}

void DropRepeatedTitle(LineList& article, const std::string& title) {
  const int head_end = IndexOf(article, "</head>");
  if (head_end < 0 || head_end + 1 >= LineCount(article) ||
      article[head_end + 1] != TitleHeadingLine(title))
    return;
  // The first text line below the heading; only tags stand between.
  int text = head_end + 2;
  while (text < LineCount(article) && IsTag(article[text])) ++text;
  if (text >= LineCount(article) ||
      !EqualsIgnoreCase(SqueezeSpaces(article[text]), SqueezeSpaces(title)))
    return;
  int first = text - 1;
  while (first > head_end + 1 && IsInlineTag(article[first])) --first;
  int last = text + 1;
  while (last < LineCount(article) && IsInlineTag(article[last])) ++last;
  if (first <= head_end + 1 || last >= LineCount(article) || !IsHeadingTag(article[first], true) ||
      !IsHeadingTag(article[last], false))
    return;
  article.erase(article.begin() + first, article.begin() + last + 1);
}

void AddBody(LineList& article) {
  for (const std::string& line : article)
    if (StartsWith(line, "<body") || StartsWith(line, "<frameset")) return;
  const int head_end = IndexOf(article, "</head>");
  // The first "</html>" after the head: the head repair doubles the closing
  // line of a page whose first line is "<html>".
  const int html_end = IndexOf(article, "</html>", head_end + 1);
  if (html_end < 0) {
    article.push_back("</body>");
  } else {
    article.insert(article.begin() + html_end, "</body>");
  }
  article.insert(article.begin() + (head_end < 0 ? 0 : head_end + 1), "<body>");
}

void PutDoctypeFirst(LineList& article) {
  for (int i = 0; i < LineCount(article); ++i) {
    if (!StartsWith(LowerCase(article[i].substr(0, 9)), "<!doctype")) continue;
    if (i == 0) return;
    std::string own = std::move(article[i]);
    article.erase(article.begin() + i);
    article.insert(article.begin(), std::move(own));
    return;
  }
  article.insert(article.begin(), kStandardsDoctype);
}

}  // namespace

void FinishArticlePage(LineList& article, const std::string& title) {
  DropRepeatedTitle(article, title);
  AddBody(article);
  PutDoctypeFirst(article);
}

}  // namespace tavex
