// What an element's tag line says about its part in the page: hidden, named
// as clutter, or marked as the article. For the article-block pass.
//
// Lines are normalised tag lines: lower case, attributes as the page wrote
// them. Only general signals count (attributes of the HTML standard, ARIA and
// schema.org, and the words sites of every language use in their class and
// id names), never one site's own markup.
#pragma once

#include <string_view>

namespace tavex {

// The page hides the element: the hidden attribute, aria-hidden="true", or an
// inline style of display:none or visibility:hidden. A browser shows none of
// it, so neither does the article.
bool HiddenByAttributes(std::string_view line);

// The element's class or id, read as words (split at every character that
// is not a Latin letter or a digit), has a word that begins by naming a
// comment thread, a sidebar, sharing or social buttons, sponsors, adverts,
// promotions, a footer, related links, tags or a breadcrumb trail. A class or
// id that also has a word beginning with one of the article's own (article,
// content, entry, main, post, story) is the article's wrapper and does not
// count: "post comments-open" wraps the article, "footer_text" is a footer.
// The html and body elements never count. name is the element's name.
bool NamedAsClutter(std::string_view name, std::string_view line);

// The page's own marks of its article: the article and main elements, the
// main landmark and the article body of schema.org's markup.
bool MarkedAsArticle(std::string_view name, std::string_view line);

}  // namespace tavex
