#include "epub/page_source.h"

#include <libxml/encoding.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "platform/failure.h"
#include "platform/text.h"

namespace tavex {
namespace {

// The encoding is chosen before parsing (PageEncoding), so a page's own meta
// declaration is ignored; HUGE lifts the depth limit that would cut off
// layouts of hundreds of nested tables.
constexpr int kParseOptions = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                              HTML_PARSE_NONET | HTML_PARSE_IGNORE_ENC | XML_PARSE_HUGE;

// Declarations are looked for where the cleaner looks: in the first 4096
// bytes, inside a <meta> tag or an XML prologue (not in the article's text).
constexpr size_t kDeclarationWindow = 4096;

bool IsCharsetChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' ||
         c == ':';
}

// True when position pos of the lower-case head lies inside a <meta> tag or
// an XML prologue.
bool InsideDeclaringTag(const std::string& head, size_t pos) {
  const size_t open = head.rfind('<', pos);
  if (open == std::string::npos || head.find('>', open) < pos) return false;
  return head.compare(open, 5, "<meta") == 0 || head.compare(open, 5, "<?xml") == 0;
}

// Every charset="..." and encoding="..." value of a declaring tag near the
// start, lower-case, in page order.
std::vector<std::string> DeclaredCharsets(std::string_view bytes) {
  const std::string head = LowerCase(bytes.substr(0, kDeclarationWindow));
  std::vector<std::pair<size_t, std::string>> found;
  for (std::string_view key : {"charset=", "encoding="}) {
    for (size_t pos = head.find(key); pos != std::string::npos; pos = head.find(key, pos)) {
      const bool declaring = InsideDeclaringTag(head, pos);
      pos += key.size();
      while (pos < head.size() && (head[pos] == '"' || head[pos] == '\'' || head[pos] == ' '))
        ++pos;
      size_t end = pos;
      while (end < head.size() && IsCharsetChar(head[end])) ++end;
      if (declaring && end > pos) found.emplace_back(pos, head.substr(pos, end - pos));
    }
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> names;
  for (auto& [pos, name] : found) names.push_back(std::move(name));
  return names;
}

bool IsCp1251Name(std::string_view name) {
  return name == "windows-1251" || name == "cp1251" || name == "x-cp1251" || name == "win-1251";
}

bool ParserKnows(const std::string& name) {
  xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler(name.c_str());
  if (handler == nullptr) return false;
  xmlCharEncCloseFunc(handler);
  return true;
}

}  // namespace

std::string PageEncoding(std::string_view bytes) {
  const std::vector<std::string> declared = DeclaredCharsets(bytes);
  // The cleaner converts UTF-8 and KOI8-R pages and then declares
  // Windows-1251, leaving any other declaration in place: that one wins.
  for (const std::string& name : declared)
    if (IsCp1251Name(name)) return "windows-1251";
  for (const std::string& name : declared)
    if (name != "utf-8" && name != "utf8" && ParserKnows(name)) return name;
  return "windows-1251";
}

TXmlDocPtr ParsePage(std::string_view bytes, std::string_view file_for_messages) {
  const Failure cannot_convert("Cannot convert file " + std::string(file_for_messages) +
                               " into XHTML");
  if (bytes.size() > static_cast<size_t>(INT_MAX)) throw cannot_convert;  // the parser's limit
  std::string encoding = PageEncoding(bytes);
  std::string converted;
  if (encoding == "windows-1251") {
    // Our own exact table rather than iconv's: iconv stops at the unassigned
    // byte 0x98, and libxml2 would drop the rest of the page with it.
    converted = Cp1251ToUtf8(bytes);
    bytes = converted;
    encoding = "UTF-8";
  }
  TXmlDocPtr doc(htmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                encoding.c_str(), kParseOptions));
  if (!doc || xmlDocGetRootElement(doc.get()) == nullptr) throw cannot_convert;
  return doc;
}

std::string HtmlToText(std::string_view html_1251) {
  const std::string utf8 = "<html><body><div>" + Cp1251ToUtf8(html_1251) + "</div></body></html>";
  TXmlDocPtr doc(
      htmlReadMemory(utf8.data(), static_cast<int>(utf8.size()), nullptr, "UTF-8", kParseOptions));
  std::string raw;
  if (doc) {
    xmlNode* root = xmlDocGetRootElement(doc.get());
    for (xmlNode* child = root ? root->children : nullptr; child; child = child->next) {
      if (child->type != XML_ELEMENT_NODE || xmlStrcmp(child->name, BAD_CAST "body") != 0) continue;
      xmlChar* content = xmlNodeGetContent(child);
      if (content) raw = reinterpret_cast<const char*>(content);
      xmlFree(content);
    }
  }
  std::string text;
  for (char c : raw) {
    const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
    if (blank) {
      if (!text.empty() && text.back() != ' ') text += ' ';
    } else {
      text += c;
    }
  }
  if (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace tavex
