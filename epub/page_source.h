// Reading a cleaned issue page into a libxml2 tree.
//
// The cleaner writes pages in Windows-1251 (converting UTF-8 and KOI8-R ones
// and declaring the new encoding), but a page in an encoding it does not
// convert (ISO-8859-1, say) keeps its bytes and its declaration. The parser
// is told the encoding chosen here, so no later declaration overrides it.
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

// The encoding to read a page in. The cleaner has turned UTF-8 and KOI8-R
// pages into Windows-1251, so that is the rule: "windows-1251" when any
// declaration near the start names it (the cleaner's own), otherwise the first
// declared charset other than UTF-8 that the parser knows (a page in an
// encoding the cleaner passes through), otherwise "windows-1251".
std::string PageEncoding(std::string_view bytes);

// Parses a page with libxml2's forgiving HTML parser. Fails (Failure naming
// the file, a Windows-1251 path text) only when the parser makes no document.
TXmlDocPtr ParsePage(std::string_view bytes, std::string_view file_for_messages);

// A title or rubric name as the navigation page shows it (Windows-1251 HTML:
// entities, stray tags) turned into plain UTF-8 text with blanks squeezed.
std::string HtmlToText(std::string_view html_1251);

}  // namespace tavex
