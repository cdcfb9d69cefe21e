#include "app/visible_title.h"

#include <cstdint>

#include "platform/text.h"

namespace tavex {
namespace {

struct NamedReference {
  const char* name;
  char32_t code_point;
};

// The HTML 4 names, the ones saved pages use, plus "numero" for "№".
// U+00A0..U+00FF in code order, then the rest.
constexpr const char* kLatin1Names[96] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",
    "copy",   "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn",
    "sup2",   "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",
    "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde",
    "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave",
    "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde",
    "Ouml",   "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",
    "szlig",  "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil",
    "egrave", "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",
    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave",
    "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

constexpr NamedReference kOtherNames[] = {
    {"quot", 0x22},     {"amp", 0x26},      {"apos", 0x27},     {"lt", 0x3C},
    {"gt", 0x3E},       {"OElig", 0x152},   {"oelig", 0x153},   {"Scaron", 0x160},
    {"scaron", 0x161},  {"Yuml", 0x178},    {"fnof", 0x192},    {"circ", 0x2C6},
    {"tilde", 0x2DC},   {"ensp", 0x2002},   {"emsp", 0x2003},   {"thinsp", 0x2009},
    {"zwnj", 0x200C},   {"zwj", 0x200D},    {"lrm", 0x200E},    {"rlm", 0x200F},
    {"ndash", 0x2013},  {"mdash", 0x2014},  {"lsquo", 0x2018},  {"rsquo", 0x2019},
    {"sbquo", 0x201A},  {"ldquo", 0x201C},  {"rdquo", 0x201D},  {"bdquo", 0x201E},
    {"dagger", 0x2020}, {"Dagger", 0x2021}, {"bull", 0x2022},   {"hellip", 0x2026},
    {"permil", 0x2030}, {"prime", 0x2032},  {"Prime", 0x2033},  {"lsaquo", 0x2039},
    {"rsaquo", 0x203A}, {"euro", 0x20AC},   {"numero", 0x2116}, {"trade", 0x2122},
    {"larr", 0x2190},   {"uarr", 0x2191},   {"rarr", 0x2192},   {"darr", 0x2193},
    {"minus", 0x2212},  {"infin", 0x221E},  {"ne", 0x2260},     {"le", 0x2264},
    {"ge", 0x2265},
};

// Windows-1252's characters at 0x80..0x9F; 0 where it has none.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

constexpr char32_t kReplacement = 0xFFFD;
// The longest name in the tables; a longer run of letters is no name.
constexpr size_t kLongestName = 6;

bool IsAsciiLetterOrDigit(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

char32_t NamedCodePoint(std::string_view name) {
  for (int i = 0; i < 96; ++i)
    if (name == kLatin1Names[i]) return 0xA0 + i;
  for (const NamedReference& named : kOtherNames)
    if (name == named.name) return named.code_point;
  return 0;
}

char32_t NumericCodePoint(uint32_t value) {
  if (value >= 0x80 && value <= 0x9F && kWindows1252High[value - 0x80])
    return kWindows1252High[value - 0x80];
  if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return kReplacement;
  return value;
}

// The reference starting at text[pos] ("&"): its character and its length, or
// a length of 0 when there is none.
std::pair<char32_t, size_t> ReadReference(std::string_view text, size_t pos) {
  size_t i = pos + 1;
  if (i < text.size() && text[i] == '#') {
    ++i;
    const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
    if (hex) ++i;
    const size_t digits_from = i;
    uint32_t value = 0;
    bool too_big = false;
    for (; i < text.size(); ++i) {
      const char c = text[i];
      int digit = -1;
      if (c >= '0' && c <= '9')
        digit = c - '0';
      else if (hex && c >= 'a' && c <= 'f')
        digit = c - 'a' + 10;
      else if (hex && c >= 'A' && c <= 'F')
        digit = c - 'A' + 10;
      if (digit < 0) break;
      if (value > 0x10FFFF)
        too_big = true;  // keeps the sum from wrapping
      else
        value = value * (hex ? 16 : 10) + static_cast<uint32_t>(digit);
    }
    if (i == digits_from) return {0, 0};
    if (i < text.size() && text[i] == ';') ++i;
    return {too_big ? kReplacement : NumericCodePoint(value), i - pos};
  }
  size_t end = i;
  while (end < text.size() && end - i <= kLongestName && IsAsciiLetterOrDigit(text[end])) ++end;
  if (end == i || end >= text.size() || text[end] != ';') return {0, 0};
  const char32_t code_point = NamedCodePoint(text.substr(i, end - i));
  if (code_point == 0) return {0, 0};
  return {code_point, end + 1 - pos};
}

}  // namespace

std::string VisibleTitle(std::string_view title) {
  const std::string utf8 = Cp1251ToUtf8(title);
  std::string visible;
  visible.reserve(utf8.size());
  size_t pos = 0;
  while (pos < utf8.size()) {
    const size_t amp = utf8.find('&', pos);
    visible.append(utf8, pos, (amp == std::string::npos ? utf8.size() : amp) - pos);
    if (amp == std::string::npos) break;
    const auto [code_point, length] = ReadReference(utf8, amp);
    if (length == 0) {
      visible += '&';
      pos = amp + 1;
    } else {
      AppendUtf8(visible, code_point);
      pos = amp + length;
    }
  }
  return visible;
}

}  // namespace tavex
