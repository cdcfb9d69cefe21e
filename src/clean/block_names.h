// What an element's tag line says about its part in the page: hidden, named
// as clutter, or marked as the article. For the article-block pass.
//
// Lines are normalised tag lines: lower case, attributes as the page wrote
// them. Only general signals count (attributes of the HTML standard, ARIA and
// schema.org, and the words sites of every language use in their class and
// id names), never one site's own markup.
#pragma once

#include <string_view>
#include <vector>

#include "clean/tag_attributes.h"

namespace tavex {

struct TTagSigns {
  // The page hides the element: the hidden attribute, aria-hidden="true", an
  // inline style of display:none or visibility:hidden, or a class that every
  // site's style sheet hides ("hidden", "hide", "none", "d-none",
  // "is-hidden", "invisible"; whole class names, so "hidden-xs" is none). A
  // browser shows none of it, so neither does the article.
  bool Hidden = false;
  // The element's class or id, read as words (split at every character that
  // is not a Latin letter or a digit), has a word that begins by naming a
  // comment thread, a sidebar, sharing or social buttons, sponsors, adverts,
  // promotions, a footer, related links, tags, a breadcrumb trail or a
  // gallery. A class or id that also has a word beginning with one of the
  // article's own (article, content, entry, main, post, story) is the
  // article's wrapper and does not count: "post comments-open" wraps the
  // article, "footer_text" is a footer. The html and body elements, whose
  // classes tell the page's layout ("two-sidebars"), never count.
  bool Clutter = false;
  // The page's own marks of its article: the article and main elements, the
  // main landmark and the article body of schema.org's markup.
  bool Article = false;
  // The tag has an href attribute.
  bool Href = false;
};

// The signs of the tag line of an element named name. attributes is scratch
// space, kept by the caller so that reading every tag of a page allocates
// once. One pass over the line.
TTagSigns ReadTagSigns(std::string_view name, std::string_view line,
                       std::vector<TTagAttribute>& attributes);

}  // namespace tavex
