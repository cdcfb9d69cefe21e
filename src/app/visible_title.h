// An article's title as a reader sees it on the page, for the front ends: the
// review list shows it, and the command line's --exclude matches it.
#pragma once

#include <string>
#include <string_view>

namespace tavex {

// The Windows-1251 title in UTF-8 with its character references decoded:
// "&#252;", "&#xFC;" and the HTML names ("&mdash;", "&uuml;", "&nbsp;", ...)
// become their characters, as a browser shows them. Numeric references in
// 128..159 mean the Windows-1252 characters there (browsers read "&#151;" as
// an em dash); 0, surrogates and numbers past U+10FFFF become U+FFFD. A name
// not in the table, or a reference without its ";" (names) or digits
// (numbers), stays as written. Each reference is read once: "&amp;lt;" gives
// "&lt;". One pass, linear in the title's length.
std::string VisibleTitle(std::string_view title);

}  // namespace tavex
