#include "clean/block_tree.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <string>

#include "clean/block_names.h"

namespace tavex {
namespace {

bool IsTag(std::string_view line) {
  return !line.empty() && line[0] == '<';
}

bool IsOneOf(std::string_view name, std::initializer_list<std::string_view> names) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

bool IsHeading(std::string_view name) {
  return IsOneOf(name, {"h1", "h2", "h3", "h4", "h5", "h6"});
}

// Elements without a closing tag.
bool IsVoid(std::string_view name) {
  return IsOneOf(name, {"img", "br", "hr", "input", "meta", "link", "area", "base", "col", "embed",
                        "param", "source", "track", "wbr", "keygen"});
}
// Elements whose content is never article text.
bool IsNeverShown(std::string_view name) {
  return IsOneOf(name,
                 {"style", "noscript", "template", "svg", "iframe", "script", "select", "button"});
}
// Elements that frame a page rather than hold its article. A form is not
// among them: some sites wrap the whole page in one.
bool IsFrameElement(std::string_view name) {
  return IsOneOf(name, {"nav", "header", "footer", "aside"});
}

// Paragraphs: the elements a run of text is charged to. Table cells are not
// among them, so a table row is one paragraph: a row of short cells (a results
// table) reads as one line of text.
bool IsParagraph(std::string_view name) {
  return IsFrameElement(name) ||
         IsOneOf(name,
                 {"p",          "div",    "section",    "article", "main",    "li",      "pre",
                  "blockquote", "tr",     "h1",         "h2",      "h3",      "h4",      "h5",
                  "h6",         "dd",     "dt",         "body",    "table",   "ul",      "ol",
                  "dl",         "figure", "figcaption", "center",  "caption", "address", "form"});
}

// Marks that end or split a sentence: article text has them every few words,
// menus and lists of headlines hardly ever.
int64_t PunctuationOf(std::string_view text) {
  return std::count_if(text.begin(), text.end(), [](char c) {
    return c == '.' || c == ',' || c == ';' || c == ':' || c == '!' || c == '?';
  });
}

// A comment the normalisation broke into lines because it holds markup
// ("<!--script ...>", old browsers' conditional comments "<!--[if lt ie 9]>"
// ... "<![endif]-->") reads to browsers as one comment. Returns the line that
// ends it when line i opens one, i itself otherwise; a conditional comment
// that reveals its content ("<!--[if ...]>" followed by "<!-->") ends on that
// next line.
int CommentEnd(const LineList& lines, int i) {
  const std::string& line = lines[i];
  if (!line.starts_with("<!--") || line.find("-->", 4) != std::string::npos) return i;
  int end = i + 1;
  while (end < LineCount(lines) - 1 && lines[end].find("-->") == std::string::npos) ++end;
  return std::min(end, LineCount(lines) - 1);
}

}  // namespace

std::string_view TagName(std::string_view line, bool& closing) {
  closing = false;
  if (!IsTag(line)) return {};
  size_t pos = 1;
  if (pos < line.size() && line[pos] == '/') {
    closing = true;
    ++pos;
  }
  const size_t start = pos;
  while (pos < line.size() && (std::isalnum(static_cast<unsigned char>(line[pos])) != 0)) ++pos;
  return line.substr(start, pos - start);
}

TPageTree ReadTree(const LineList& lines, int body) {
  TPageTree tree;
  tree.OpenedAt.assign(lines.size(), -1);
  std::vector<int> open;      // the open elements, innermost last
  std::vector<int> anchors;   // the open links, innermost last
  std::vector<int> headings;  // the open headings, innermost last
  std::vector<int> awaiting;  // elements opened since the last text run
  int hidden = 0;
  auto close_to = [&](size_t depth, int line) {
    while (open.size() > depth) {
      TElement& element = tree.Elements[open.back()];
      element.Close = line;
      if (element.Hidden) --hidden;
      if (element.Name == "a") anchors.pop_back();
      if (IsHeading(element.Name)) headings.pop_back();
      open.pop_back();
      // Visible text passes up through frames, not out of hidden elements.
      if (!element.Hidden && element.Parent >= 0)
        tree.Elements[element.Parent].Visible += element.Visible;
      else if (!element.Hidden)
        tree.Visible += element.Visible;
    }
  };
  for (int i = body; i < LineCount(lines); ++i) {
    const int comment_end = CommentEnd(lines, i);
    if (comment_end != i) {
      i = comment_end;
      continue;
    }
    const std::string& line = lines[i];
    if (!IsTag(line)) {
      if (hidden > 0 || open.empty()) continue;
      const int64_t length = static_cast<int64_t>(line.size());
      TElement& paragraph = tree.Elements[tree.Elements[open.back()].Paragraph];
      tree.Elements[open.back()].Visible += length;
      // Each element waits once, so this costs one step per element.
      for (int waiting : awaiting)
        if (tree.Elements[waiting].Close < 0)
          tree.Elements[waiting].LeadAnchor = anchors.empty() ? -1 : anchors.back();
      awaiting.clear();
      if (!anchors.empty() && !headings.empty())
        tree.Elements[headings.back()].LinkedHeading = true;
      if (!anchors.empty()) {
        paragraph.LinkText += length;
        tree.Elements[anchors.back()].Anchor += length;
      } else {
        paragraph.Text += length;
        paragraph.Punctuation += PunctuationOf(line);
      }
      continue;
    }
    bool closing = false;
    const std::string_view name = TagName(line, closing);
    if (name.empty()) continue;
    if (closing) {
      for (size_t depth = open.size(); depth-- > 0;)
        if (tree.Elements[open[depth]].Name == name) {
          close_to(depth, i);
          break;
        }
      continue;
    }
    if (name == "img" && hidden == 0 && !open.empty() && !HiddenByAttributes(line))
      ++tree.Elements[open.back()].Pictures;
    if (IsVoid(name) || line.ends_with("/>")) continue;
    if ((name == "p" || name == "li") && !open.empty() && tree.Elements[open.back()].Name == name)
      close_to(open.size() - 1, i - 1);
    TElement element;
    element.Name = name;
    element.Open = i;
    element.Parent = open.empty() ? -1 : open.back();
    element.Hint = MarkedAsArticle(name, line);
    element.Hidden = IsNeverShown(name) || HiddenByAttributes(line);
    element.Frame = IsFrameElement(name) || (!element.Hint && NamedAsClutter(name, line));
    element.Aside = element.Hidden || element.Frame ||
                    (element.Parent >= 0 && tree.Elements[element.Parent].Aside);
    const int index = static_cast<int>(tree.Elements.size());
    element.Paragraph =
        IsParagraph(name) || element.Parent < 0 ? index : tree.Elements[element.Parent].Paragraph;
    tree.Elements.push_back(element);
    tree.OpenedAt[i] = index;
    open.push_back(index);
    if (element.Hidden) ++hidden;
    if (name == "a") anchors.push_back(index);
    if (IsHeading(name)) headings.push_back(index);
    awaiting.push_back(index);
  }
  // What never closes ends with the page.
  close_to(0, LineCount(lines) - 1);
  return tree;
}

}  // namespace tavex
