#include "platform/name_text.h"

#include "platform/text.h"

namespace tavex {
namespace {

// U+DC00 plus a byte that is no UTF-8: the reference a POSIX name's stray byte
// is written as.
constexpr char32_t kByteMark = 0xDC00;

void AppendReference(std::string& text, char32_t code_point) {
  text += "&#";
  text += std::to_string(static_cast<uint32_t>(code_point));
  text += ';';
}

// A reference "&#digits;" at text[at]: its code point, and end just past it.
bool ReadReference(std::string_view text, size_t at, char32_t& code_point, size_t& end) {
  if (text.substr(at, 2) != "&#") return false;
  size_t i = at + 2;
  uint32_t value = 0;
  while (i < text.size() && i < at + 10 && text[i] >= '0' && text[i] <= '9')
    value = value * 10 + static_cast<uint32_t>(text[i++] - '0');
  if (i == at + 2 || i >= text.size() || text[i] != ';' || value > 0x10FFFF) return false;
  code_point = value;
  end = i + 1;
  return true;
}

// Appends one character of a name: itself when the code page holds it (an
// "&" that could start a reference as "&#38;"), its reference otherwise.
void AppendNameChar(std::string& text, char32_t code_point, bool before_hash) {
  if (code_point == '&' && before_hash) {
    AppendReference(text, '&');
    return;
  }
  const int byte = Cp1251Of(code_point);
  if (byte >= 0) {
    text += static_cast<char>(byte);
  } else {
    AppendReference(text, code_point);
  }
}

// Calls emit with each code point the text stands for, references read.
template <typename Emit>
void EachNameChar(std::string_view text, Emit emit) {
  for (size_t i = 0; i < text.size();) {
    char32_t code_point = 0;
    size_t end = 0;
    if (ReadReference(text, i, code_point, end)) {
      emit(code_point);
      i = end;
    } else {
      emit(UnicodeOf1251(static_cast<unsigned char>(text[i++])));
    }
  }
}

}  // namespace

std::string NameTextOfUtf8(std::string_view utf8) {
  std::string text;
  text.reserve(utf8.size());
  for (size_t pos = 0; pos < utf8.size();) {
    const size_t from = pos;
    const auto code_point = DecodeUtf8(utf8, pos);
    if (code_point && (*code_point < 0xD800 || *code_point > 0xDFFF)) {
      AppendNameChar(text, *code_point, pos < utf8.size() && utf8[pos] == '#');
    } else {
      pos = from + 1;
      AppendReference(text, kByteMark + static_cast<unsigned char>(utf8[from]));
    }
  }
  return text;
}

std::string Utf8OfNameText(std::string_view text) {
  std::string utf8;
  utf8.reserve(text.size());
  EachNameChar(text, [&](char32_t code_point) {
    if (code_point >= kByteMark + 0x80 && code_point <= kByteMark + 0xFF) {
      utf8 += static_cast<char>(code_point - kByteMark);
    } else {
      AppendUtf8(utf8, code_point);
    }
  });
  return utf8;
}

std::string NameTextOfCodePoints(const std::u32string& code_points) {
  std::string text;
  text.reserve(code_points.size());
  for (size_t i = 0; i < code_points.size(); ++i) {
    const char32_t c = code_points[i];
    if (c >= 0xD800 && c <= 0xDFFF) {
      AppendReference(text, c);
    } else {
      AppendNameChar(text, c, i + 1 < code_points.size() && code_points[i + 1] == '#');
    }
  }
  return text;
}

std::u32string CodePointsOfNameText(std::string_view text) {
  std::u32string code_points;
  code_points.reserve(text.size());
  EachNameChar(text, [&](char32_t code_point) { code_points += code_point; });
  return code_points;
}

}  // namespace tavex
