// The block pass, in four steps:
//   1. decide from the table pass's result whether a table holds the text;
//   2. read the body of the page before the table pass into a tree of
//      elements, each text run charged to its paragraph (its nearest block);
//   3. judge every paragraph good (enough text of its own, few links) or
//      clutter, sum both over every element, and choose the block whose good
//      text most outweighs its clutter;
//   4. write the head, the heading and the block, leaving out what is never
//      article text.
#include "clean/article_block.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "clean/attribute_value.h"
#include "clean/line_helpers.h"

namespace tavex {
namespace {

// The table pass kept at least this share of the body's text: it chose
// nothing (its wrapper won, or the page has no table of its own).
constexpr double kWholeBodyShare = 0.9;
// The table pass kept less than this share: the table it chose holds a part
// of the page, not the article (a jump form, one table of many).
constexpr double kSmallShare = 0.1;
// A paragraph with fewer characters of text outside links is a caption, a
// button or a menu entry rather than article text.
constexpr int64_t kGoodParagraphChars = 25;
// A paragraph whose link text is at least this share of its text is a list of
// links, whatever its length.
constexpr double kLinkyParagraphShare = 0.34;
// How much one character of clutter costs against one of article text when
// blocks are compared: at 1 a wrapper is worth taking only when it adds more
// article text than clutter.
constexpr double kClutterWeight = 1.0;
// A block inside the best one that is worth at least this share of it is
// chosen instead: what the wrapper adds is too little to be the article's.
constexpr double kInnerBlockShare = 0.95;
// The same for a block the page itself marks as the article ("article",
// "main", role=main, itemprop=articlebody).
constexpr double kHintedBlockShare = 0.85;
// A block inside the chosen one is left out when it holds no good paragraph
// and at least this share of its text is link text.
constexpr double kLinkBlockShare = 0.5;

bool IsTag(std::string_view line) {
  return !line.empty() && line[0] == '<';
}

// The lower-case name of the tag on a tag line ("div" for "<div class=x>" and
// for "</div>"); empty for comments, declarations and text lines.
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

bool IsOneOf(std::string_view name, std::initializer_list<std::string_view> names) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Elements without a closing tag.
bool IsVoid(std::string_view name) {
  return IsOneOf(name, {"img", "br", "hr", "input", "meta", "link", "area", "base", "col", "embed",
                        "param", "source", "track", "wbr", "keygen"});
}
// Elements whose content is never article text: left out together with their tags.
bool IsHidden(std::string_view name) {
  return IsOneOf(name,
                 {"style", "noscript", "template", "svg", "iframe", "script", "select", "button"});
}
// Elements that frame a page rather than hold its article. A form is not
// among them: some sites wrap the whole page in one; it is left out only when
// it holds no article text (a search box, a jump form, a comment form).
bool IsFrame(std::string_view name) {
  return IsOneOf(name, {"nav", "header", "footer", "aside"});
}
bool HoldsAny(std::string_view text, std::initializer_list<std::string_view> words) {
  return std::any_of(words.begin(), words.end(), [&](std::string_view word) {
    return text.find(word) != std::string_view::npos;
  });
}

// Sites name their comment threads, share buttons and sidebars in the class
// and id of the block; a name that also speaks of the article or the post
// (" post-comments" on the article's own wrapper) does not count.
bool NamedAsClutter(std::string_view line) {
  for (std::string_view name : {AttributeValue(line, " class="), AttributeValue(line, " id=")})
    if (HoldsAny(name, {"comment", "sidebar", "share", "social", "sponsor", "promo", "footer",
                        "related"}) &&
        !HoldsAny(name, {"article", "content", "entry", "main", "post", "story", "text"}))
      return true;
  return false;
}

// The page's own marks of its article: the article and main elements, the
// main landmark and the article body of schema.org's markup.
bool MarkedAsArticle(std::string_view name, std::string_view line) {
  return name == "article" || name == "main" || AttributeValue(line, " role=") == "main" ||
         AttributeValue(line, " itemprop=") == "articlebody";
}

// Paragraphs: the elements a run of text is charged to. Table cells are not
// among them, so a table row is one paragraph: a row of short cells (a results
// table) reads as one line of text.
bool IsParagraph(std::string_view name) {
  return IsFrame(name) ||
         IsOneOf(name,
                 {"p",          "div",    "section",    "article", "main",    "li",      "pre",
                  "blockquote", "tr",     "h1",         "h2",      "h3",      "h4",      "h5",
                  "h6",         "dd",     "dt",         "body",    "table",   "ul",      "ol",
                  "dl",         "figure", "figcaption", "center",  "caption", "address", "form"});
}
// The blocks the pass may choose as the article's.
bool IsCandidate(std::string_view name) {
  return IsOneOf(name, {"div", "section", "article", "main", "body", "td", "table", "center"});
}
// The blocks left out inside the chosen one when they are mostly links.
bool IsLinkList(std::string_view name) {
  return IsOneOf(name, {"div", "section", "ul", "ol", "dl", "table", "p", "center"});
}

struct TElement {
  std::string_view Name;
  int Open = 0;        // the line of its opening tag
  int Close = -1;      // the line of its closing tag; the last line when it never closes
  int Parent = -1;     // index of the enclosing element, -1 for none
  int Paragraph = -1;  // the element itself when it is a paragraph, else its parent's
  bool Hidden = false;
  bool Frame = false;
  bool Aside = false;  // a frame or hidden element, or inside one: never the article
  bool Hint = false;   // the page marks it as the article or its main part
  // The paragraph's own text (outside links), link text and, summed over the
  // element's tree, good paragraph text and clutter; frames and hidden
  // elements pass nothing up.
  int64_t Text = 0, LinkText = 0, Good = 0, Clutter = 0;
  // All text, all link text and the pictures of the element's tree.
  int64_t AllText = 0, AllLinks = 0, Pictures = 0;
};

// The body of a page as a tree of elements, in the order their tags open.
struct TPageTree {
  std::vector<TElement> Elements;
  std::vector<int> OpenedAt;  // per line: the element it opens, -1 for none
};

// Old pages wrap markup for old browsers in conditional comments
// ("<!--[if lt ie 9]>" ... "<![endif]-->"), which every other browser takes
// for a comment. The normalisation breaks them into lines, so the tags in them
// would read as open elements. Returns the comment's last line when line i
// opens one, i itself otherwise; a comment that reveals its content
// ("<!--[if ...]>" followed by "<!-->") hides nothing.
int HiddenCommentEnd(const LineList& lines, int i) {
  if (!lines[i].starts_with("<!--[if")) return i;
  if (lines[i].ends_with("-->") || (i + 1 < LineCount(lines) && lines[i + 1] == "<!-->")) return i;
  int end = i + 1;
  while (end < LineCount(lines) - 1 && !lines[end].ends_with("-->")) ++end;
  return end;
}

// Step 2. Closing tags close the nearest open element of their name and every
// element opened inside it; a closing tag with no such element is ignored. A
// "p" or "li" closes an open one of its kind, as browsers do.
TPageTree ReadTree(const LineList& lines, int body) {
  TPageTree tree;
  tree.OpenedAt.assign(lines.size(), -1);
  std::vector<int> open;  // the open elements, innermost last
  int hidden = 0, links = 0;
  auto close_to = [&](size_t depth, int line) {
    while (open.size() > depth) {
      TElement& element = tree.Elements[open.back()];
      element.Close = line;
      if (element.Hidden) --hidden;
      if (element.Name == "a") --links;
      open.pop_back();
    }
  };
  for (int i = body; i < LineCount(lines); ++i) {
    const int comment_end = HiddenCommentEnd(lines, i);
    if (comment_end != i) {
      i = comment_end;
      continue;
    }
    const std::string& line = lines[i];
    bool closing = false;
    const std::string_view name = TagName(line, closing);
    if (!IsTag(line)) {
      if (hidden > 0 || open.empty()) continue;
      TElement& paragraph = tree.Elements[tree.Elements[open.back()].Paragraph];
      (links > 0 ? paragraph.LinkText : paragraph.Text) += static_cast<int64_t>(line.size());
      continue;
    }
    if (name.empty()) continue;
    if (closing) {
      for (size_t depth = open.size(); depth-- > 0;)
        if (tree.Elements[open[depth]].Name == name) {
          close_to(depth, i);
          break;
        }
      continue;
    }
    if (name == "img" && hidden == 0 && !open.empty()) ++tree.Elements[open.back()].Pictures;
    if (IsVoid(name) || line.ends_with("/>")) continue;
    if ((name == "p" || name == "li") && !open.empty() && tree.Elements[open.back()].Name == name)
      close_to(open.size() - 1, i - 1);
    TElement element;
    element.Name = name;
    element.Open = i;
    element.Parent = open.empty() ? -1 : open.back();
    element.Hidden = IsHidden(name);
    element.Frame = IsFrame(name) || NamedAsClutter(line);
    element.Aside = element.Hidden || element.Frame ||
                    (element.Parent >= 0 && tree.Elements[element.Parent].Aside);
    element.Hint = MarkedAsArticle(name, line);
    const int index = static_cast<int>(tree.Elements.size());
    element.Paragraph =
        IsParagraph(name) || element.Parent < 0 ? index : tree.Elements[element.Parent].Paragraph;
    tree.Elements.push_back(element);
    tree.OpenedAt[i] = index;
    open.push_back(index);
    if (element.Hidden) ++hidden;
    if (name == "a") ++links;
  }
  // What never closes ends with the page.
  close_to(0, LineCount(lines) - 1);
  return tree;
}

// Step 3's sums: a paragraph is good when it has enough text outside links
// and few links; its text outside links is then article text and its link
// text clutter, and all of a paragraph that is not good is clutter. Children
// come after their parents, so one backward walk sums every tree.
void SumParagraphs(TPageTree& tree) {
  for (TElement& element : tree.Elements) {
    const int64_t all = element.Text + element.LinkText;
    const bool good = element.Text >= kGoodParagraphChars &&
                      static_cast<double>(element.LinkText) < kLinkyParagraphShare * all;
    element.Good += good ? element.Text : 0;
    element.Clutter += good ? element.LinkText : all;
    element.AllText += all;
    element.AllLinks += element.LinkText;
  }
  for (size_t k = tree.Elements.size(); k-- > 0;) {
    const TElement& element = tree.Elements[k];
    if (element.Parent < 0 || element.Hidden || element.Frame) continue;
    tree.Elements[element.Parent].Good += element.Good;
    tree.Elements[element.Parent].Clutter += element.Clutter;
    tree.Elements[element.Parent].AllText += element.AllText;
    tree.Elements[element.Parent].AllLinks += element.AllLinks;
    tree.Elements[element.Parent].Pictures += element.Pictures;
  }
}

double Worth(const TElement& element) {
  return static_cast<double>(element.Good) - kClutterWeight * static_cast<double>(element.Clutter);
}

// Whether an element opened after outer lies inside it.
bool Inside(const TPageTree& tree, int inner, int outer) {
  return tree.Elements[inner].Open <= tree.Elements[outer].Close;
}

bool IsChoosable(const TElement& element) {
  return IsCandidate(element.Name) && !element.Aside && element.Good > 0;
}

// The candidate worth the most, then the innermost block inside it that is
// still worth nearly as much: a wrapper that adds a line or two of stray text
// (a share dialog, a cookie notice) to the article is shed. A block the page
// marks as its article may shed a little more. -1 when no
// candidate holds more article text than clutter.
int ChooseBlock(const TPageTree& tree) {
  const int count = static_cast<int>(tree.Elements.size());
  int best = -1;
  for (int k = 0; k < count; ++k)
    if (IsChoosable(tree.Elements[k]) &&
        Worth(tree.Elements[k]) > (best < 0 ? 0.0 : Worth(tree.Elements[best])))
      best = k;
  if (best < 0) return -1;
  int choice = best;
  for (int k = best + 1; k < count && Inside(tree, k, best); ++k) {
    const TElement& element = tree.Elements[k];
    const double share = element.Hint ? kHintedBlockShare : kInnerBlockShare;
    if (Inside(tree, k, choice) && IsChoosable(element) &&
        Worth(element) >= share * Worth(tree.Elements[best]))
      choice = k;
  }
  return choice;
}

// Whether the block is left out of the chosen one: frames, hidden elements,
// forms without article text, empty boxes and lists of links.
bool LeftOut(const TElement& element) {
  if (element.Hidden || element.Frame) return true;
  if (element.Good > 0) return false;
  if (element.Name == "form") return true;
  // An empty box: a video player's or an advert's place, which the site's
  // scripts fill and which stays a blank (often black) area offline.
  if (IsOneOf(element.Name, {"div", "section", "figure"}) && element.AllText == 0 &&
      element.Pictures == 0)
    return true;
  if (!IsLinkList(element.Name)) return false;
  return element.AllText > 0 && static_cast<double>(element.AllLinks) >=
                                    kLinkBlockShare * static_cast<double>(element.AllText);
}

// The body's text in characters, outside hidden elements: what the share of
// step 1 compares.
int64_t BodyText(const LineList& lines, int body) {
  int64_t text = 0;
  int hidden = 0;
  for (int i = body; i < LineCount(lines); ++i) {
    bool closing = false;
    const std::string_view name = TagName(lines[i], closing);
    if (!IsTag(lines[i])) {
      if (hidden == 0) text += static_cast<int64_t>(lines[i].size());
    } else if (IsHidden(name) && !lines[i].ends_with("/>")) {
      hidden = closing ? std::max(0, hidden - 1) : hidden + 1;
    }
  }
  return text;
}

// The first line after the "</head>" line, or -1 when there is none after line 0.
int BodyStart(const LineList& lines) {
  const int head_end = FindLine("</head>", lines);
  return head_end == 0 ? -1 : head_end + 1;
}

// The lines of the page's first centred heading, down to its "</h2>" line.
void AppendHeading(const LineList& lines, int body, int block_open, int block_close,
                   LineList& out) {
  for (int i = body; i < LineCount(lines); ++i) {
    if (lines[i] != "<h2 align=\"center\">" && lines[i] != "<h2 align=center>") continue;
    if (i >= block_open && i <= block_close) return;
    for (int k = i; k < LineCount(lines); ++k) {
      out.push_back(lines[k]);
      if (lines[k].starts_with("</h2")) break;
    }
    return;
  }
}

// Step 4: the block's lines, left-out elements skipped whole. A table cell is
// written without its own tags, which need a row around them; the page's own
// html and body tags are left to the frame the pass writes around the block.
void AppendBlock(const LineList& lines, const TPageTree& tree, int block, LineList& out) {
  const TElement& chosen = tree.Elements[block];
  const bool cell = chosen.Name == "td";
  const int first = cell ? chosen.Open + 1 : chosen.Open;
  const int last = cell ? chosen.Close - 1 : chosen.Close;
  for (int i = first; i <= last; ++i) {
    bool closing = false;
    const std::string_view name = TagName(lines[i], closing);
    if (name == "html" || name == "body") continue;
    const int opened = tree.OpenedAt[i];
    if (opened >= 0 && opened != block && LeftOut(tree.Elements[opened])) {
      i = tree.Elements[opened].Close;
      continue;
    }
    out.push_back(lines[i]);
  }
}

}  // namespace

void PickArticleBlock(LineList& article, const LineList& before_tables) {
  const int body = BodyStart(before_tables);
  const int kept_body = BodyStart(article);
  if (body < 0 || kept_body < 0) return;
  const int64_t all = BodyText(before_tables, body);
  if (all == 0) return;
  const double share = static_cast<double>(BodyText(article, kept_body)) / all;
  if (share < kWholeBodyShare && share >= kSmallShare) return;

  TPageTree tree = ReadTree(before_tables, body);
  SumParagraphs(tree);
  const int block = ChooseBlock(tree);
  if (block < 0) return;

  LineList out(before_tables.begin(), before_tables.begin() + body);
  out.push_back("<body>");
  AppendHeading(before_tables, body, tree.Elements[block].Open, tree.Elements[block].Close, out);
  AppendBlock(before_tables, tree, block, out);
  out.push_back("</body>");
  out.push_back("</html>");
  article = std::move(out);
}

}  // namespace tavex
