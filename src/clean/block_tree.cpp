#include "clean/block_tree.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <string>

#include "clean/block_names.h"

namespace tavex {
namespace {

bool IsTag(std::string_view line) {
  return !line.empty() && line[0] == '<';
}

// The elements the pass tells apart by name, in name order. Void: no closing
// tag. Never shown: their content is never article text. Frames: they frame
// a page rather than hold its article (a form is not among them: some sites
// wrap the whole page in one). Paragraphs: the elements a run of text is
// charged to; table cells are not among them, so a table row is one
// paragraph and a row of short cells (a results table) reads as one line of
// text. The other kinds are the block pass's (clean/block_score.h).
struct TNamedKind {
  std::string_view Name;
  unsigned Kind;
};
constexpr TNamedKind kKinds[] = {
    {"address", kParagraphTag},
    {"area", kVoidTag},
    {"article", kParagraphTag | kCandidateTag | kTeaserTag},
    {"aside", kFrameTag | kParagraphTag},
    {"base", kVoidTag},
    {"blockquote", kParagraphTag},
    {"body", kParagraphTag | kCandidateTag},
    {"br", kVoidTag},
    {"button", kNeverShownTag},
    {"caption", kParagraphTag},
    {"center", kParagraphTag | kCandidateTag | kLinkListTag},
    {"col", kVoidTag},
    {"dd", kParagraphTag},
    {"div", kParagraphTag | kCandidateTag | kLinkListTag | kTeaserTag | kBoxTag},
    {"dl", kParagraphTag | kLinkListTag},
    {"dt", kParagraphTag},
    {"embed", kVoidTag},
    {"figcaption", kParagraphTag},
    {"figure", kParagraphTag | kBoxTag},
    {"footer", kFrameTag | kParagraphTag},
    {"form", kParagraphTag},
    {"h1", kParagraphTag | kHeadingTag},
    {"h2", kParagraphTag | kHeadingTag},
    {"h3", kParagraphTag | kHeadingTag},
    {"h4", kParagraphTag | kHeadingTag},
    {"h5", kParagraphTag | kHeadingTag},
    {"h6", kParagraphTag | kHeadingTag},
    {"header", kFrameTag | kParagraphTag},
    {"hr", kVoidTag},
    {"iframe", kNeverShownTag},
    {"img", kVoidTag},
    {"input", kVoidTag},
    {"keygen", kVoidTag},
    {"li", kParagraphTag | kTeaserTag},
    {"link", kVoidTag},
    {"main", kParagraphTag | kCandidateTag},
    {"meta", kVoidTag},
    {"nav", kFrameTag | kParagraphTag},
    {"noscript", kNeverShownTag},
    {"ol", kParagraphTag | kLinkListTag},
    {"p", kParagraphTag | kLinkListTag},
    {"param", kVoidTag},
    {"pre", kParagraphTag},
    {"script", kNeverShownTag},
    {"section", kParagraphTag | kCandidateTag | kLinkListTag | kTeaserTag | kBoxTag},
    {"select", kNeverShownTag},
    {"source", kVoidTag},
    {"style", kNeverShownTag},
    {"svg", kNeverShownTag},
    {"table", kParagraphTag | kCandidateTag | kLinkListTag},
    {"td", kCandidateTag},
    {"template", kNeverShownTag},
    {"tr", kParagraphTag},
    {"track", kVoidTag},
    {"ul", kParagraphTag | kLinkListTag},
    {"wbr", kVoidTag},
};

// Where the names of each first letter start in kKinds ('a' to 'z', and one
// past the last): every tag of a page is looked up, so a lookup reads only
// the few names of its letter.
struct TLetterRanges {
  std::array<unsigned char, 27> Start{};
  constexpr TLetterRanges() {
    size_t k = 0;
    for (int letter = 0; letter < 26; ++letter) {
      Start[letter] = static_cast<unsigned char>(k);
      while (k < std::size(kKinds) && kKinds[k].Name[0] == 'a' + letter) ++k;
    }
    Start[26] = static_cast<unsigned char>(k);
  }
};
constexpr TLetterRanges kLetters;

}  // namespace

unsigned TagKind(std::string_view name) {
  if (name.empty() || name[0] < 'a' || name[0] > 'z') return 0;
  const int letter = name[0] - 'a';
  for (size_t k = kLetters.Start[letter]; k < kLetters.Start[letter + 1]; ++k)
    if (kKinds[k].Name == name) return kKinds[k].Kind;
  return 0;
}

namespace {

// Marks that end or split a sentence: article text has them every few words,
// menus and lists of headlines hardly ever. Besides the ASCII ones, the
// marks of scripts Windows-1251 lacks, which a page in another code page
// brings as character references: the ideographic comma and full stop, the
// full-width forms, the ellipsis, the Arabic comma and question mark, the
// Devanagari danda.
bool IsPunctuationPoint(char32_t point) {
  return point == 0x3001 || point == 0x3002 || point == 0xFF01 || point == 0xFF0C ||
         point == 0xFF0E || point == 0xFF1A || point == 0xFF1B || point == 0xFF1F ||
         point == 0x2026 || point == 0x060C || point == 0x061F || point == 0x06D4 ||
         point == 0x0964;
}

// The code point of a numeric character reference ("#12290", "#x3002"), 0
// for any other.
char32_t ReferencedPoint(std::string_view name) {
  if (name.size() < 2 || name[0] != '#') return 0;
  const bool hex = name[1] == 'x' || name[1] == 'X';
  char32_t point = 0;
  for (size_t i = hex ? 2 : 1; i < name.size(); ++i) {
    const char c = name[i];
    const int digit = c >= '0' && c <= '9'          ? c - '0'
                      : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                    : -1;
    if (digit < 0 || point > 0x10FFFF) return 0;
    point = point * (hex ? 16 : 10) + static_cast<char32_t>(digit);
  }
  return point;
}

// The longest character reference read ("&#x10FFFF;" and the named ones).
constexpr size_t kReferenceLength = 10;

int64_t PunctuationOf(std::string_view text) {
  int64_t marks = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '&') {
      // A reference is one character: its ";" is no mark of its own.
      const size_t end = text.find(';', i);
      if (end != std::string_view::npos && end - i <= kReferenceLength) {
        const std::string_view name = text.substr(i + 1, end - i - 1);
        marks += IsPunctuationPoint(ReferencedPoint(name)) || name == "hellip";
        i = end;
        continue;
      }
    }
    marks += c == '.' || c == ',' || c == ';' || c == ':' || c == '!' || c == '?';
  }
  return marks;
}

// Latin and Cyrillic letters (Windows-1251), those of character references
// ("&nbsp;") not counted.
int64_t LettersOf(std::string_view text) {
  int64_t letters = 0;
  bool reference = false;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '&') reference = true;
    if (reference) {
      reference = c != ';' && c != ' ';
      continue;
    }
    letters += (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || byte >= 0xC0 ||
               byte == 0xA8 || byte == 0xB8;
  }
  return letters;
}

// A comment the normalisation broke into lines because it holds markup
// ("<!--script ...>", old browsers' conditional comments "<!--[if lt ie 9]>"
// ... "<![endif]-->") reads to browsers as one comment. Returns the line that
// ends it when line i opens one, i itself otherwise; a conditional comment
// that reveals its content ("<!--[if ...]>" followed by "<!-->") ends on that
// next line.
int CommentEnd(const LineList& lines, int i) {
  const std::string& line = lines[i];
  if (line.size() < 4 || line[1] != '!' || !line.starts_with("<!--") ||
      line.find("-->", 4) != std::string::npos)
    return i;
  int end = i + 1;
  while (end < LineCount(lines) - 1 && lines[end].find("-->") == std::string::npos) ++end;
  return std::min(end, LineCount(lines) - 1);
}

// Calls f(i, line) for each line from body on that no comment spread over
// lines holds.
template <typename F>
void ForEachLineOutsideComments(const LineList& lines, int body, F f) {
  for (int i = body; i < LineCount(lines); ++i) {
    const int comment_end = CommentEnd(lines, i);
    if (comment_end != i) {
      i = comment_end;
      continue;
    }
    f(i, lines[i]);
  }
}

// Tag names are ASCII letters and digits, whatever the locale says of other bytes.
bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
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
  while (pos < line.size() && IsNameChar(line[pos])) ++pos;
  return line.substr(start, pos - start);
}

int64_t ShownText(const LineList& lines, int body) {
  int64_t text = 0;
  int never_shown = 0;
  ForEachLineOutsideComments(lines, body, [&](int, const std::string& line) {
    if (!IsTag(line)) {
      if (never_shown == 0) text += static_cast<int64_t>(line.size());
      return;
    }
    bool closing = false;
    if ((TagKind(TagName(line, closing)) & kNeverShownTag) == 0 || line.ends_with("/>")) return;
    never_shown = closing ? std::max(0, never_shown - 1) : never_shown + 1;
  });
  return text;
}

TPageTree ReadTree(const LineList& lines, int body) {
  TPageTree tree;
  tree.OpenedAt.assign(lines.size(), -1);
  // At most one element for each tag line, and a page is about half tags.
  tree.Elements.reserve((lines.size() - std::min<size_t>(lines.size(), body)) / 2);
  std::vector<int> open;                  // the open elements, innermost last
  std::vector<int> anchors;               // the open links, innermost last
  std::vector<int> headings;              // the open headings, innermost last
  std::vector<int> awaiting;              // elements opened since the last text run
  std::vector<TTagAttribute> attributes;  // scratch for each tag line
  int hidden = 0;
  auto close_to = [&](size_t depth, int line) {
    while (open.size() > depth) {
      TElement& element = tree.Elements[open.back()];
      element.Close = line;
      if (element.Hidden) --hidden;
      if (element.Link) anchors.pop_back();
      if ((element.Kind & kHeadingTag) != 0) headings.pop_back();
      open.pop_back();
      // Visible text passes up through frames, not out of hidden elements.
      if (!element.Hidden && element.Parent >= 0)
        tree.Elements[element.Parent].Visible += element.Visible;
      else if (!element.Hidden)
        tree.Visible += element.Visible;
    }
  };
  ForEachLineOutsideComments(lines, body, [&](int i, const std::string& line) {
    if (!IsTag(line)) {
      if (hidden > 0 || open.empty()) return;
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
      paragraph.Letters += LettersOf(line);
      if (!anchors.empty()) {
        paragraph.LinkText += length;
        tree.Elements[anchors.back()].Anchor += length;
      } else {
        paragraph.Text += length;
        paragraph.Punctuation += PunctuationOf(line);
      }
      return;
    }
    bool closing = false;
    const std::string_view name = TagName(line, closing);
    if (name.empty()) return;
    if (closing) {
      for (size_t depth = open.size(); depth-- > 0;)
        if (tree.Elements[open[depth]].Name == name) {
          close_to(depth, i);
          break;
        }
      return;
    }
    const unsigned kind = TagKind(name);
    if (name == "img" && hidden == 0 && !open.empty() &&
        !ReadTagSigns(name, line, attributes).Hidden)
      ++tree.Elements[open.back()].Pictures;
    if ((kind & kVoidTag) != 0 || line.ends_with("/>")) return;
    if ((name == "p" || name == "li") && !open.empty() && tree.Elements[open.back()].Name == name)
      close_to(open.size() - 1, i - 1);
    const TTagSigns signs = ReadTagSigns(name, line, attributes);
    TElement element;
    element.Name = name;
    element.Kind = kind;
    element.Open = i;
    element.Parent = open.empty() ? -1 : open.back();
    element.Hint = signs.Article;
    element.Link = name == "a" && signs.Href;
    element.Hidden = (kind & kNeverShownTag) != 0 || signs.Hidden;
    element.Frame = (kind & kFrameTag) != 0 || (!element.Hint && signs.Clutter);
    element.Aside = element.Hidden || element.Frame ||
                    (element.Parent >= 0 && tree.Elements[element.Parent].Aside);
    const int index = static_cast<int>(tree.Elements.size());
    element.Paragraph = (kind & kParagraphTag) != 0 || element.Parent < 0
                            ? index
                            : tree.Elements[element.Parent].Paragraph;
    tree.Elements.push_back(element);
    tree.OpenedAt[i] = index;
    open.push_back(index);
    if (element.Hidden) ++hidden;
    if (element.Link) anchors.push_back(index);
    if ((kind & kHeadingTag) != 0) headings.push_back(index);
    awaiting.push_back(index);
  });
  // What never closes ends with the page.
  close_to(0, LineCount(lines) - 1);
  return tree;
}

}  // namespace tavex
