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

// The name of a block tag that may hold a repeated title alone ("h1" to
// "h6", "p", "div"), or empty; closing: the line is its closing tag.
std::string BlockName(std::string_view line, bool closing) {
  const std::string_view prefix = closing ? "</" : "<";
  if (!StartsWith(line, prefix)) return {};
  for (std::string_view name : {"h1", "h2", "h3", "h4", "h5", "h6", "p", "div"}) {
    const size_t end = prefix.size() + name.size();
    if (line.substr(prefix.size(), name.size()) == name && line.size() > end &&
        (line[end] == '>' || (!closing && line[end] == ' ')))
      return std::string(name);
  }
  return {};
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
  if (head_end < 0) return;
  // The heading step's line; an insert rule may have put lines before it.
  const int heading = IndexOf(article, TitleHeadingLine(title), head_end + 1);
  if (heading < 0) return;
  // The first text line below the heading; only tags stand between.
  int text = heading + 1;
  while (text < LineCount(article) && IsTag(article[text])) ++text;
  if (text >= LineCount(article) ||
      !EqualsIgnoreCase(SqueezeSpaces(article[text]), SqueezeSpaces(title)))
    return;
  // The block that holds the text alone, with the inline tags around it.
  int first = text - 1;
  while (first > heading && IsInlineTag(article[first])) --first;
  int last = text + 1;
  while (last < LineCount(article) && IsInlineTag(article[last])) ++last;
  if (first <= heading || last >= LineCount(article)) return;
  const std::string block = BlockName(article[first], false);
  if (block.empty() || BlockName(article[last], true) != block) return;
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
