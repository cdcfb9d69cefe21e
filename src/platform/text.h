// Text in the core: 8-bit Windows-1251 strings.
//
// Letter case is folded with the code page's own mapping (Latin A-Z and every
// Cyrillic capital of the code page); folding never changes the length, so a
// position found in a folded copy is valid in the original text.
//
// Conversion to and from UTF-8 happens only at the edges (file names on POSIX,
// the terminal, Qt). A character that Windows-1251 cannot hold becomes "?".
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tavex {

namespace text_detail {

// The lower-case byte of every Windows-1251 byte, built at compile time so
// that LowerChar is inlined into the scanning loops that call it per byte.
constexpr std::array<unsigned char, 256> MakeLowerTable() {
  std::array<unsigned char, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(i);
  for (int i = 'A'; i <= 'Z'; ++i) t[i] = static_cast<unsigned char>(i + 32);
  for (int i = 0xC0; i <= 0xDF; ++i) t[i] = static_cast<unsigned char>(i + 32);
  // Capitals outside the main block: Ђ Ѓ Љ Њ Ќ Ћ Џ Ў Ј Ґ Ё Є Ї І Ѕ.
  constexpr std::pair<int, int> pairs[] = {{0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C},
                                           {0x8D, 0x9D}, {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2},
                                           {0xA3, 0xBC}, {0xA5, 0xB4}, {0xA8, 0xB8}, {0xAA, 0xBA},
                                           {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE}};
  for (auto [upper, lower] : pairs) t[upper] = static_cast<unsigned char>(lower);
  return t;
}

inline constexpr std::array<unsigned char, 256> kLower = MakeLowerTable();

}  // namespace text_detail

// Lower-case one Windows-1251 character.
inline char LowerChar(char c) {
  return static_cast<char>(text_detail::kLower[static_cast<unsigned char>(c)]);
}
// Lower-case a whole Windows-1251 text; the result has the same length.
std::string LowerCase(std::string_view text);
// True when both texts are equal after folding letter case.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// The Unicode code point of a Windows-1251 byte (0x98, unassigned, maps to U+0098
// so that the round trip is exact).
char32_t UnicodeOf1251(unsigned char byte);
// The Windows-1251 byte of a code point, or -1 when the code page lacks it.
int Cp1251Of(char32_t code_point);

// Decodes one UTF-8 sequence starting at pos and advances pos past it. Returns
// nullopt for a malformed or overlong sequence, then pos has moved by one byte.
std::optional<char32_t> DecodeUtf8(std::string_view text, size_t& pos);
// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t code_point);

std::string Utf8To1251(std::string_view utf8);  // unknown characters become "?"
// The pattern with each "%s" or "%d" replaced by the next of values, in order;
// a placeholder without a value stays as it is.
std::string FillIn(std::string_view pattern, std::initializer_list<std::string_view> values);
std::string Cp1251ToUtf8(std::string_view text);  // exact

// The value of a hexadecimal digit (either letter case), or -1.
int HexDigitValue(char c);

// HTML's and URLs' white space: space, tab, LF, FF and CR.
bool IsAsciiSpace(char c);
// The text without that white space at either end.
std::string_view TrimAsciiSpace(std::string_view text);

// Whole-number parsing as the system reads a field: optional leading blanks, then
// an optional sign and decimal digits within the signed 32-bit range, or "$", "x"
// or "0x" and up to eight hexadecimal digits. Nothing may follow; empty fails.
std::optional<int32_t> TryParseInt(std::string_view text);
// The same, failing with "'%s' is not a valid integer value".
int32_t ParseInt(std::string_view text);

}  // namespace tavex
