#include "epub/page_source.h"

#include <errno.h>
#include <iconv.h>

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

// iconv's name for a declared charset. Browsers read these labels as the
// wider code page (the WHATWG Encoding Standard): pages declared Latin-1 hold
// Windows-1252 quotes and dashes, pages declared GB2312 hold GBK characters.
std::string IconvName(const std::string& declared) {
  static const std::pair<std::string_view, std::string_view> kWider[] = {
      {"iso-8859-1", "WINDOWS-1252"},
      {"iso8859-1", "WINDOWS-1252"},
      {"latin1", "WINDOWS-1252"},
      {"l1", "WINDOWS-1252"},
      {"us-ascii", "WINDOWS-1252"},
      {"ascii", "WINDOWS-1252"},
      {"iso-8859-9", "WINDOWS-1254"},
      {"latin5", "WINDOWS-1254"},
      {"gb2312", "GB18030"},
      {"gbk", "GB18030"},
      {"x-gbk", "GB18030"},
      {"csgb2312", "GB18030"},
      {"chinese", "GB18030"},
      {"big5", "BIG5-HKSCS"},
      {"shift_jis", "CP932"},
      {"sjis", "CP932"},
      {"x-sjis", "CP932"},
      {"euc-kr", "CP949"},
      {"ks_c_5601-1987", "CP949"},
  };
  for (const auto& [label, name] : kWider)
    if (declared == label) return std::string(name);
  return declared;
}

bool IconvKnows(const std::string& name) {
  const iconv_t converter = iconv_open("UTF-8", name.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(converter);
  return true;
}

// Appends what iconv has made so far and empties its buffer.
void TakeConverted(std::string& out, std::vector<char>& buffer, char*& at, size_t& room) {
  out.append(buffer.data(), static_cast<size_t>(at - buffer.data()));
  at = buffer.data();
  room = buffer.size();
}

}  // namespace

std::string PageEncoding(std::string_view bytes) {
  const std::vector<std::string> declared = DeclaredCharsets(bytes);
  // The cleaner converts UTF-8 and KOI8-R pages and then declares
  // Windows-1251, leaving any other declaration in place: that one wins.
  for (const std::string& name : declared)
    if (IsCp1251Name(name)) return "windows-1251";
  for (const std::string& name : declared) {
    if (name == "utf-8" || name == "utf8") continue;
    const std::string iconv_name = IconvName(name);
    if (IconvKnows(iconv_name)) return iconv_name;
  }
  return "windows-1251";
}

std::string PageToUtf8(std::string_view bytes, const std::string& encoding) {
  if (IsCp1251Name(LowerCase(encoding))) return Cp1251ToUtf8(bytes);
  const iconv_t converter = iconv_open("UTF-8", encoding.c_str());
  if (converter == reinterpret_cast<iconv_t>(-1)) return Cp1251ToUtf8(bytes);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  std::vector<char> buffer(64 * 1024);
  char* in = const_cast<char*>(bytes.data());
  size_t left = bytes.size();
  char* at = buffer.data();
  size_t room = buffer.size();
  while (left > 0) {
    if (iconv(converter, &in, &left, &at, &room) != static_cast<size_t>(-1)) break;
    TakeConverted(out, buffer, at, room);
    if (errno == E2BIG) continue;
    // A byte the page's encoding does not have (or a sequence cut off at the
    // end) is read as Windows-1251, and the rest of the page goes on.
    out += Cp1251ToUtf8(std::string_view(in, 1));
    ++in;
    --left;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
  }
  iconv(converter, nullptr, nullptr, &at, &room);  // the closing shift of a stateful encoding
  TakeConverted(out, buffer, at, room);
  iconv_close(converter);
  return out;
}

TXmlDocPtr ParsePage(std::string_view bytes, std::string_view file_for_messages) {
  const Failure cannot_convert("Cannot convert file " + std::string(file_for_messages) +
                               " into XHTML");
  if (bytes.size() > static_cast<size_t>(INT_MAX)) throw cannot_convert;  // the parser's limit
  // Decoded here rather than by the parser, which stops at the first byte its
  // encoding lacks and drops the rest of the page with it.
  const std::string utf8 = PageToUtf8(bytes, PageEncoding(bytes));
  if (utf8.size() > static_cast<size_t>(INT_MAX)) throw cannot_convert;
  TXmlDocPtr doc(
      htmlReadMemory(utf8.data(), static_cast<int>(utf8.size()), nullptr, "UTF-8", kParseOptions));
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
