#include "clean/page_encoding.h"

#include <array>
#include <optional>
#include <utility>

#include "platform/text.h"

namespace tavex {
namespace {

constexpr size_t kDeclarationWindow = 4096;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Code points of the KOI8-R bytes 0x80..0xFF (box drawing, then the Cyrillic
// small letters at 0xC0 and the capitals at 0xE0, in KOI8 order).
constexpr std::array<char16_t, 128> kKoi8rHighHalf = {
    0x2500, 0x2502, 0x250C, 0x2510, 0x2514, 0x2518, 0x251C, 0x2524,  // 80
    0x252C, 0x2534, 0x253C, 0x2580, 0x2584, 0x2588, 0x258C, 0x2590,  // 88
    0x2591, 0x2592, 0x2593, 0x2320, 0x25A0, 0x2219, 0x221A, 0x2248,  // 90
    0x2264, 0x2265, 0x00A0, 0x2321, 0x00B0, 0x00B2, 0x00B7, 0x00F7,  // 98
    0x2550, 0x2551, 0x2552, 0x0451, 0x2553, 0x2554, 0x2555, 0x2556,  // A0
    0x2557, 0x2558, 0x2559, 0x255A, 0x255B, 0x255C, 0x255D, 0x255E,  // A8
    0x255F, 0x2560, 0x2561, 0x0401, 0x2562, 0x2563, 0x2564, 0x2565,  // B0
    0x2566, 0x2567, 0x2568, 0x2569, 0x256A, 0x256B, 0x256C, 0x00A9,  // B8
    0x044E, 0x0430, 0x0431, 0x0446, 0x0434, 0x0435, 0x0444, 0x0433,  // C0
    0x0445, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E,  // C8
    0x043F, 0x044F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0436, 0x0432,  // D0
    0x044C, 0x044B, 0x0437, 0x0448, 0x044D, 0x0449, 0x0447, 0x044A,  // D8
    0x042E, 0x0410, 0x0411, 0x0426, 0x0414, 0x0415, 0x0424, 0x0413,  // E0
    0x0425, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E,  // E8
    0x041F, 0x042F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0416, 0x0412,  // F0
    0x042C, 0x042B, 0x0417, 0x0428, 0x042D, 0x0429, 0x0427, 0x042A,  // F8
};

// One declaration (a meta tag's charset, an XML prologue's encoding): where
// its value stands in the page (0-based), and the encoding it names, if it is
// one of ours.
struct TDeclaration {
  size_t at = 0;
  size_t length = 0;
  std::optional<TPageEncoding> encoding;
};

bool IsAsciiSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

std::optional<TPageEncoding> EncodingNamed(std::string_view name) {
  const std::string n = LowerCase(name);
  if (n == "utf-8" || n == "utf8") return TPageEncoding::Utf8;
  if (n == "koi8-r" || n == "koi8r" || n == "koi8_r" || n == "cskoi8r") return TPageEncoding::Koi8r;
  if (n == "windows-1251" || n == "cp1251" || n == "cp-1251" || n == "win-1251" ||
      n == "x-cp1251" || n == "windows1251")
    return TPageEncoding::Cp1251;
  return std::nullopt;
}

// The declaration that names its value after `word` in the tag that starts at
// tag and ends before tag_end, if it has one.
std::optional<TDeclaration> DeclarationIn(std::string_view page, size_t tag, size_t tag_end,
                                          std::string_view word) {
  const std::string lower = LowerCase(page.substr(tag, tag_end - tag));
  const size_t found = lower.find(word);
  if (found == std::string::npos) return std::nullopt;
  size_t at = found + word.size();
  while (at < lower.size() && IsAsciiSpace(lower[at])) ++at;
  if (at >= lower.size() || lower[at] != '=') return std::nullopt;
  ++at;
  while (at < lower.size() && (IsAsciiSpace(lower[at]) || lower[at] == '"' || lower[at] == '\''))
    ++at;
  size_t end = at;
  while (end < lower.size() && !IsAsciiSpace(lower[end]) &&
         std::string_view("\"';/?>").find(lower[end]) == std::string_view::npos)
    ++end;
  if (end == at) return std::nullopt;
  return TDeclaration{tag + at, end - at, EncodingNamed(lower.substr(at, end - at))};
}

// Whether the page holds the tag name (lower case) at `at`, followed by a space.
bool TagNamed(std::string_view page, size_t at, std::string_view name) {
  return at + name.size() < page.size() && EqualsIgnoreCase(page.substr(at, name.size()), name) &&
         IsAsciiSpace(page[at + name.size()]);
}

// One "<meta" tag or "<?xml" prologue: where it stands (0-based, end just
// past its ">" or at the page's end), and its declaration if it has one.
struct TDeclaringTag {
  size_t at = 0;
  size_t end = 0;
  bool is_prologue = false;
  std::optional<TDeclaration> declaration;
};

// Calls visit for every "<meta" tag and "<?xml" prologue that starts before
// limit, in page order; stops when visit returns false. Each tag is read once.
template <typename Visit>
void ForEachDeclaringTag(std::string_view page, size_t limit, Visit visit) {
  size_t at = 0;
  while (at < page.size() && at < limit) {
    const size_t tag = page.find('<', at);
    if (tag == std::string_view::npos || tag >= limit) return;
    at = tag + 1;
    std::string_view word;
    const bool is_prologue = TagNamed(page, tag, "<?xml");
    if (is_prologue) {
      word = "encoding";
    } else if (TagNamed(page, tag, "<meta")) {
      word = "charset";
    } else {
      continue;
    }
    size_t tag_end = page.find('>', tag);
    tag_end = tag_end == std::string_view::npos ? page.size() : tag_end + 1;
    at = tag_end;
    if (!visit(TDeclaringTag{tag, tag_end, is_prologue, DeclarationIn(page, tag, tag_end, word)}))
      return;
  }
}

std::optional<TPageEncoding> DeclaredEncoding(std::string_view page) {
  std::optional<TPageEncoding> found;
  ForEachDeclaringTag(page, kDeclarationWindow, [&](const TDeclaringTag& tag) {
    if (tag.declaration) found = tag.declaration->encoding;
    return !found;
  });
  return found;
}

bool IsAscii(char c) {
  return static_cast<unsigned char>(c) < 0x80;
}

// Whether the page is valid UTF-8, and whether it holds a multi-byte sequence.
// Runs of ASCII, most of any page, are skipped without decoding.
bool IsValidUtf8(std::string_view page, bool& has_multibyte) {
  has_multibyte = false;
  size_t pos = 0;
  while (pos < page.size()) {
    if (IsAscii(page[pos])) {
      ++pos;
      continue;
    }
    if (!DecodeUtf8(page, pos)) return false;
    has_multibyte = true;
  }
  return true;
}

void AppendCharacter(std::string& out, char32_t code_point) {
  const int byte = Cp1251Of(code_point);
  if (byte >= 0) {
    out += static_cast<char>(byte);
  } else {
    out += "&#" + std::to_string(static_cast<uint32_t>(code_point)) + ';';
  }
}

void AppendUtf8As1251(std::string& out, std::string_view piece) {
  size_t pos = 0;
  while (pos < piece.size()) {
    size_t end = pos;
    while (end < piece.size() && IsAscii(piece[end])) ++end;
    out.append(piece.substr(pos, end - pos));
    pos = end;
    if (pos == piece.size()) break;
    // Only valid pages get here; a stray byte would still become "?" rather
    // than stop the load.
    auto code_point = DecodeUtf8(piece, pos);
    AppendCharacter(out, code_point ? *code_point : U'?');
  }
}

void AppendKoi8rAs1251(std::string& out, std::string_view piece) {
  for (char c : piece) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else {
      AppendCharacter(out, kKoi8rHighHalf[byte - 0x80]);
    }
  }
}

// The page converted by append, piece by piece, in one pass into one new
// text, with its declarations rewritten on the way: every declaration names
// windows-1251, whatever it named before (the page's own encoding, another
// one that was wrong, a bogus name), since after the conversion any other
// name is false; an XML prologue without an encoding says UTF-8 to an XML
// reader, so it goes. Declarations start and end at ASCII characters, so no
// piece cuts a character in two.
template <typename Append>
std::string Converted(std::string_view page, Append append) {
  std::string out;
  out.reserve(page.size() + page.size() / 16);
  size_t done = 0;
  ForEachDeclaringTag(page, page.size(), [&](const TDeclaringTag& tag) {
    if (tag.declaration) {
      append(out, page.substr(done, tag.declaration->at - done));
      out += "windows-1251";
      done = tag.declaration->at + tag.declaration->length;
    } else if (tag.is_prologue) {
      append(out, page.substr(done, tag.at - done));
      done = tag.end;
    }
    return true;
  });
  append(out, page.substr(done));
  return out;
}

// The converted page, or nullopt when the page is Windows-1251 already.
std::optional<std::string> ConvertedOrNone(std::string_view page) {
  switch (DetectPageEncoding(page)) {
    case TPageEncoding::Utf8:
      if (page.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        page.remove_prefix(kByteOrderMark.size());
      return Converted(page, AppendUtf8As1251);
    case TPageEncoding::Koi8r:
      return Converted(page, AppendKoi8rAs1251);
    case TPageEncoding::Cp1251:
      break;
  }
  return std::nullopt;
}

}  // namespace

TPageEncoding DetectPageEncoding(std::string_view page) {
  bool has_multibyte = false;
  const bool valid_utf8 = IsValidUtf8(page, has_multibyte);
  const bool has_mark = page.substr(0, kByteOrderMark.size()) == kByteOrderMark;
  std::optional<TPageEncoding> declared = has_mark ? TPageEncoding::Utf8 : DeclaredEncoding(page);
  if (declared == TPageEncoding::Utf8)
    return valid_utf8 ? TPageEncoding::Utf8 : TPageEncoding::Cp1251;
  if (declared) return *declared;
  return valid_utf8 && has_multibyte ? TPageEncoding::Utf8 : TPageEncoding::Cp1251;
}

std::string PageTo1251(std::string_view page) {
  auto converted = ConvertedOrNone(page);
  return converted ? std::move(*converted) : std::string(page);
}

void ConvertPageTo1251(std::string& page) {
  if (auto converted = ConvertedOrNone(page)) page = std::move(*converted);
}

}  // namespace tavex
