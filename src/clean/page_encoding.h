// The encoding of a saved page, and its conversion to the core's Windows-1251.
//
// Only CleanArticle's load uses this: templates, rule files, settings and
// contents files are Windows-1251 by definition. Pages saved today are mostly
// UTF-8 and older Russian pages often KOI8-R; read as Windows-1251 their
// titles turn to mojibake, lower-casing a tag garbles their Cyrillic, and a
// Cyrillic picture name is never found.
#pragma once

#include <string>
#include <string_view>

namespace tavex {

enum class TPageEncoding { Cp1251, Utf8, Koi8r };

// Decides a page's encoding from its bytes, in this order:
// 1. a UTF-8 byte order mark: UTF-8;
// 2. the first charset declared in the first 4096 bytes by a "<meta" tag
//    (charset=... or the content type of an http-equiv meta), or by an XML
//    prologue's encoding=... (XHTML pages saved as XML), that names
//    UTF-8, KOI8-R or Windows-1251 in one of their common spellings; other
//    names (iso-8859-1, a bogus "_CHARSET") are passed over;
// 3. bytes that are valid UTF-8 with at least one multi-byte sequence: UTF-8;
// 4. otherwise Windows-1251.
// UTF-8 from steps 1 and 2 is taken only when the bytes are valid UTF-8: a
// page that says UTF-8 but is not (a copy saved with a wrapper's declaration)
// is left alone as Windows-1251 rather than garbled.
TPageEncoding DetectPageEncoding(std::string_view page);

// The page in Windows-1251. UTF-8 and KOI8-R pages are converted: a character
// that Windows-1251 lacks is written as a decimal character reference
// ("&#128512;"), a UTF-8 byte order mark is dropped, every declaration (a
// meta tag's charset, an XML prologue's encoding) is rewritten to
// "windows-1251" whatever it named, and an XML prologue without an encoding
// (which means UTF-8) is dropped: the cleaned page must not claim an encoding
// its bytes are no longer in. A Windows-1251 page comes back byte for byte.
// Linear in the page's size.
std::string PageTo1251(std::string_view page);
// The same in place: a Windows-1251 page is not copied, a converted one holds
// its old bytes and the new ones at once only while it is converted.
void ConvertPageTo1251(std::string& page);

}  // namespace tavex
