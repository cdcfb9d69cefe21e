// The last step of an article page, after every pass and rule: what any page
// needs to be read right, whatever the saved page lacked.
//
//  - A standards-mode start: a page without a document type is shown in
//    quirks mode. The page's own "<!doctype" line, when it is not first, is
//    moved to line 0; a page without one gets "<!DOCTYPE html>" there.
//  - A body: the help compiler's full-text search (chmcmd) indexes only the
//    text between "<body" and "</body>", and article pages often have none.
//    A page with no "<body" line (and no "<frameset") gets "<body>" after its
//    first "</head>" line and "</body>" before the first "</html>" line after
//    it (at the end when there is none).
//  - The title once: when the first text below the heading step's centred
//    heading repeats the title (spaces squeezed, letter case ignored) as the
//    only text of a heading (h1 to h6), a paragraph or a div, maybe inside a
//    link, bold or the like, that block goes: the page's own title line.
//
// Works on the normalised form (one tag or one run of text a line, tags
// lower-case). Linear in the article's size.
#pragma once

#include <string>

#include "clean/line_list.h"

namespace tavex {

void FinishArticlePage(LineList& article, const std::string& title);

}  // namespace tavex
