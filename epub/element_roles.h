// What becomes of each HTML element of a cleaned page in the book's XHTML.
//
// Cleaned pages are old tag soup (font, center, layout tables, forms, scripts).
// The book may only hold what an EPUB 3 reading system and epubcheck accept,
// so every element name maps to one role: kept under an HTML5 name, replaced
// by its content, or dropped with its content. Unknown names keep their content.
#pragma once

#include <string_view>

namespace tavex {

enum class TRoleKind {
  Drop,       // the element and everything in it go (scripts, forms' fields, frames)
  Unwrap,     // the element goes, its content stays (font, span, form, unknown)
  Block,      // a block that holds flow or phrasing content (see content)
  Phrasing,   // an inline element that holds phrasing content
  List,       // ul, ol: only li children
  Table,      // table: only rows and cells inside
  Link,       // a
  Picture,    // img
  LineBreak,  // br
  Rule,       // hr
};

struct TElementRole {
  TRoleKind kind = TRoleKind::Unwrap;
  const char* name = "";          // the XHTML element written for it
  const char* css_class = "";     // a class of the book's style sheet, or empty
  bool phrasing_content = false;  // a Block whose content must be phrasing (p, h1, pre)
};

// The role of an element by its lower-case HTML name (as libxml2 reports it).
TElementRole RoleOf(std::string_view html_name);

// True for roles that a phrasing context cannot hold as they are.
inline bool IsBlockRole(TRoleKind kind) {
  return kind == TRoleKind::Block || kind == TRoleKind::List || kind == TRoleKind::Table ||
         kind == TRoleKind::Rule;
}

}  // namespace tavex
