// Writing a parsed page as the body of a well-formed EPUB 3 XHTML document.
//
// The page tree that libxml2's HTML parser builds from tag soup still breaks
// HTML5's content rules (a table inside a <b>, a <div> inside a <p>, text
// between table rows, scripts, form fields). The writer walks the tree once and
// writes only what the book may hold: each element by its role
// (element_roles.h), blocks met where only inline content may stand reduced to
// their content and a line break, rows and list items wrapped where they are
// missing, and just the attributes an e-reader needs. Past a hundred levels of
// nesting the rest of a subtree is written flat (its text, line breaks and
// pictures), so a page nested tens of thousands deep still comes out whole,
// without recursion on its depth, and the book stays within the 256 levels
// that common XML parsers accept.
//
// References leave the page only where they resolve inside the book: links to
// other issue pages ("..\pub\N.htm") and pictures ("..\Images\N.gif") through
// TPageLinks, web addresses as they are, links to anchors of the same page only
// when the anchor is written. A picture that does not resolve is dropped; a link
// that does not resolve keeps its text.
#pragma once

#include <libxml/tree.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tavex {

struct TPageLinks {
  // The href of the book document for an issue page file name such as "3.htm"
  // (any letter case), or nothing when that page is not in the book.
  std::function<std::optional<std::string>(std::string_view page_name)> document;
  // The href of the book's copy of an issue picture such as "1.gif", or
  // nothing when the picture is missing or not of a type the book can hold.
  std::function<std::optional<std::string>(std::string_view picture_name)> picture;
};

// The body content of the page (what goes between <body> and </body>), UTF-8.
std::string WriteXhtmlBody(xmlDoc* page, const TPageLinks& links);

// Appends UTF-8 text with "&", "<", ">" (and in attributes '"') escaped. Bytes
// that are not UTF-8 and characters that XML or HTML forbid (control
// characters other than tab and line feed) are left out.
void AppendEscaped(std::string& out, std::string_view utf8);

}  // namespace tavex
