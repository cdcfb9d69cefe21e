// Title recovery: the article's title for the navigation page, and a centred
// heading with it on the page when the page has none.
#pragma once

#include <string>

#include "clean/line_list.h"

namespace tavex {

// "Непонятный заголовок": the title of an article in which none was found.
extern const char kUnknownTitle[];

// The first run of text after the first centred heading ("<h2 align="center">"
// or "<h2 align=center>", exact), tag lines right after the heading skipped;
// failing that, the run of text after the first "<title>" line. The text lines
// of a run are joined by single spaces. kUnknownTitle when neither gives a
// text: no such line, an empty title element, or no text line before the end
// of the list. A heading that reads kUnknownTitle itself gives no title, so
// the title element is read as for a page without a heading. Linear in the
// article's size. Reads the article, changes nothing. The RecoverTitle switch is
// not consulted: the title element is always the fallback, as it always was,
// and an article without a title would only be listed under the marker.
std::string FindArticleTitle(const LineList& article);

// The heading step: inserts "<h2 align="center">" + title + "</h2>" right
// after the "</head>" line, unless the page has a centred heading already,
// the title is kUnknownTitle, or no "</head>" stands after line 0.
void AddTitleHeading(LineList& article, const std::string& title);

// The line the heading step inserts for a title.
std::string TitleHeadingLine(const std::string& title);

}  // namespace tavex
