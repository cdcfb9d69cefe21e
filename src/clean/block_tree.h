// A page's body as a tree of elements, each text run charged to its
// paragraph, for the article-block pass.
//
// Lines are indexed from 0; text lengths are in characters (bytes of
// Windows-1251 text). The list is in the normalised form: one lower-case tag
// or one run of text per line.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "clean/line_list.h"

namespace tavex {

// What an element's name makes of it, as bits of TagKind's answer.
enum : unsigned {
  kVoidTag = 1u << 0,        // no closing tag: img, br, meta, ...
  kNeverShownTag = 1u << 1,  // style, noscript, template, svg, iframe, script, select, button
  kFrameTag = 1u << 2,       // nav, header, footer, aside
  kParagraphTag = 1u << 3,   // the text runs inside are charged to it (p, div, li, tr, ...)
  kHeadingTag = 1u << 4,     // h1 to h6
  kCandidateTag = 1u << 5,   // may hold the article: div, section, article, main, body, td, ...
  kLinkListTag = 1u << 6,    // left out inside the article when mostly links: div, ul, p, ...
  kTeaserTag = 1u << 7,      // may be one of a list of teasers: div, li, article, section
  kBoxTag = 1u << 8,         // left out when empty: div, section, figure
};
// The kinds of an element by its lower-case name; 0 for any other element.
unsigned TagKind(std::string_view name);

struct TElement {
  std::string_view Name;
  unsigned Kind = 0;   // TagKind(Name)
  int Open = 0;        // the line of its opening tag
  int Close = -1;      // the line of its closing tag; the last line when it never closes
  int Parent = -1;     // index of the enclosing element, -1 for none
  int Paragraph = -1;  // the element itself when it is a paragraph, else its parent's
  // Never shown: script-like elements and elements the page hides (the hidden
  // attribute, aria-hidden, display:none, visibility:hidden).
  bool Hidden = false;
  // Frames the page rather than holds its article: nav, header, footer,
  // aside, and blocks whose class or id names comments, sidebars, sharing,
  // adverts, footers or related links.
  bool Frame = false;
  // One of a list of teasers (see clean/block_score.h): its text counts as
  // clutter and it is left out.
  bool Teaser = false;
  bool Aside = false;  // hidden, a frame or a teaser, or inside one: never the article
  bool Hint = false;   // the page marks it as the article or its main part
  // A link: an "a" element with an address (one with a name alone is a
  // place in the page, its text no link text).
  bool Link = false;
  // The paragraph's own text outside links, its link text and its sentence
  // punctuation outside links (the marks that end or split a sentence).
  int64_t Text = 0, LinkText = 0, Punctuation = 0;
  // The paragraph's letters, in links or not, outside character references.
  int64_t Letters = 0;
  // Summed over the element's tree by the scoring; frames and hidden
  // elements pass nothing up.
  int64_t Good = 0, Clutter = 0;
  // All text, all link text and the pictures of the element's tree, as
  // counted by ReadTree for the element alone and summed by the scoring.
  int64_t AllText = 0, AllLinks = 0, Pictures = 0, AllLetters = 0;
  // Text outside hidden elements, frames included, summed by ReadTree over
  // the tree: what a reader of the whole page would see.
  int64_t Visible = 0;
  // For a link: the text inside it, outside links nested in it.
  int64_t Anchor = 0;
  // The link (innermost) that holds the element's first run of text, -1
  // when that run lies in no link or the element has none.
  int LeadAnchor = -1;
  // For a heading (h1 to h6): it holds link text.
  bool LinkedHeading = false;
};

// The elements in the order their tags open: a child comes after its parent
// and within the parent's lines.
struct TPageTree {
  std::vector<TElement> Elements;
  std::vector<int> OpenedAt;  // per line: the element it opens, -1 for none
  int64_t Visible = 0;        // the visible text of the whole body
};

// The lower-case name of the tag on a tag line ("div" for "<div class=x>" and
// for "</div>"); empty for comments, declarations and text lines.
std::string_view TagName(std::string_view line, bool& closing);

// Reads the lines from body on. Closing tags close the nearest open element
// of their name and every element opened inside it; a closing tag with no
// such element is ignored. A "p" or "li" closes an open one of its kind, as
// browsers do. A comment that spans lines (the normalisation breaks one that
// holds markup into lines) is skipped whole. Linear in the number of lines
// and their length; no recursion, whatever the nesting.
TPageTree ReadTree(const LineList& lines, int body);

// The characters of text from line body on, outside comments and the
// elements that are never shown (script, style, ...): a cheaper count than a
// tree's Visible, which also leaves out what the page's attributes hide.
int64_t ShownText(const LineList& lines, int body);

// Whether an element opened after outer lies inside it.
inline bool Inside(const TPageTree& tree, int inner, int outer) {
  return tree.Elements[inner].Open <= tree.Elements[outer].Close;
}

}  // namespace tavex
