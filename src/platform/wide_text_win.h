// Text at the Windows edge: the core's Windows-1251 path texts and the native
// texts of std::filesystem (UTF-8 in libstdc++ on Windows) to and from the
// UTF-16 of the wide API, and the Win32 error code as an errno value.
#pragma once

#include <string>
#include <string_view>

namespace tavex {

// A Windows-1251 text as UTF-16, exactly (every byte has a code point).
std::wstring WideOf1251(std::string_view text);
// UTF-16 as Windows-1251: a character the code page lacks becomes one "?"
// (a surrogate pair is one character); an unpaired surrogate becomes "?" too.
std::string Cp1251OfWide(std::wstring_view text);
// A file name's UTF-16 as a path text and back (name_text.h): characters the
// code page lacks, lone surrogates included, as character references, so the
// way back is exact.
std::string NameTextOfWide(std::wstring_view name);
std::wstring WideOfNameText(std::string_view text);
// UTF-8 to UTF-16 and back; a malformed sequence becomes U+FFFD.
std::wstring WideOfUtf8(std::string_view utf8);
std::string Utf8OfWide(std::wstring_view text);

// Sets errno from GetLastError(), for callers that read errno as on POSIX.
void SetErrnoFromLastError();

}  // namespace tavex
