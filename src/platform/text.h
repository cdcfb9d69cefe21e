// Text in the core: 8-bit Windows-1251 strings.
//
// Letter case is folded with the code page's own mapping (Latin A-Z and every
// Cyrillic capital of the code page); folding never changes the length, so a
// position found in a folded copy is valid in the original text.
//
// Conversion to and from UTF-8 happens only at the edges (file names on POSIX,
// the terminal, Qt). A character that Windows-1251 cannot hold becomes "?".
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace tavex {

// Lower-case one Windows-1251 character.
char LowerChar(char c);
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
