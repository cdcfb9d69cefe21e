// File names between the system's own spelling and the core's path texts.
//
// A path text is Windows-1251. A name the system lists may hold characters
// that code page lacks ("☃.gif"), and on POSIX bytes that are no UTF-8 at all.
// Each such character is written as a decimal character reference, "&#9731;",
// as a page's own text keeps such characters; a byte that is no UTF-8 is
// written as the reference of U+DC00 plus the byte (a lone surrogate, which no
// real character is); and an "&" that a reference could be read into is
// written "&#38;". So every name a folder lists has a text of its own, two
// names never share one, and the text leads back to exactly that name: a file
// found by listing is reached again by the text it was listed as.
#pragma once

#include <string>
#include <string_view>

namespace tavex {

// The text of a name the system spells in UTF-8 (POSIX), and back.
std::string NameTextOfUtf8(std::string_view utf8);
std::string Utf8OfNameText(std::string_view text);

// The text of a name given as code points (Windows' UTF-16, decoded), and
// back; a lone surrogate of the name stands for itself.
std::string NameTextOfCodePoints(const std::u32string& code_points);
std::u32string CodePointsOfNameText(std::string_view text);

}  // namespace tavex
