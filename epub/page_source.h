// Reading a cleaned issue page into a libxml2 tree.
//
// The cleaner keeps a page's bytes in the encoding the page was saved in: mostly
// Windows-1251, but pages saved as UTF-8 or KOI8-R come through unchanged. The
// parser is told the encoding, so a page's own (often wrong) declaration never
// decides it.
#pragma once

#include <libxml/HTMLparser.h>

#include <memory>
#include <string>
#include <string_view>

namespace tavex {

struct TXmlDocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using TXmlDocPtr = std::unique_ptr<xmlDoc, TXmlDocFree>;

// The encoding to read a page in: "UTF-8" when every byte sequence is valid
// UTF-8 and some byte is not ASCII (Cyrillic 8-bit text practically never is);
// otherwise the charset the page declares when the parser knows it; otherwise
// "windows-1251", the program's own code page.
std::string PageEncoding(std::string_view bytes);

// Parses a page with libxml2's forgiving HTML parser. Fails (Failure naming
// the file, a Windows-1251 path text) only when the parser makes no document.
TXmlDocPtr ParsePage(std::string_view bytes, std::string_view file_for_messages);

// A title or rubric name as the navigation page shows it (Windows-1251 HTML:
// entities, stray tags) turned into plain UTF-8 text with blanks squeezed.
std::string HtmlToText(std::string_view html_1251);

}  // namespace tavex
