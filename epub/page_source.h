// Reading a cleaned issue page into a libxml2 tree.
//
// The cleaner writes pages in Windows-1251 (converting UTF-8 and KOI8-R ones
// and declaring the new encoding), but a page in an encoding it does not
// convert (ISO-8859-1, GB2312, say) keeps its bytes and its declaration. The
// page is decoded to UTF-8 here and the parser is told so, so no declaration
// inside the page overrides the choice.
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

// The encoding to read a page in, as iconv names it. The cleaner has turned
// UTF-8 and KOI8-R pages into Windows-1251, so that is the rule:
// "windows-1251" when any declaration near the start (a meta charset, an
// http-equiv content type, an XML prologue) names it (the cleaner's own),
// otherwise the first declared charset other than UTF-8 that iconv knows (a
// page in an encoding the cleaner passes through), read as browsers read it
// (ISO-8859-1 as Windows-1252, GB2312 as GB18030), otherwise "windows-1251".
std::string PageEncoding(std::string_view bytes);

// The page's bytes as UTF-8, read in encoding (a PageEncoding answer;
// Windows-1251 through the core's own table, which, unlike iconv's, has the
// unassigned byte 0x98). A byte that the encoding does not have is read as
// Windows-1251, the core's code page, and the rest goes on: the cleaner puts
// its own lines (the magazine's) into pages it does not convert.
std::string PageToUtf8(std::string_view bytes, const std::string& encoding);

// Parses a page with libxml2's forgiving HTML parser. Fails (Failure naming
// the file, a Windows-1251 path text) only when the parser makes no document.
TXmlDocPtr ParsePage(std::string_view bytes, std::string_view file_for_messages);

// A title or rubric name as the navigation page shows it (Windows-1251 HTML:
// entities, stray tags) turned into plain UTF-8 text with blanks squeezed.
std::string HtmlToText(std::string_view html_1251);

}  // namespace tavex
