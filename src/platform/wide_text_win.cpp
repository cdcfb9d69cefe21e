// Conversions between the core's texts and UTF-16, built on the code page
// tables of text.cpp so Windows and POSIX agree byte for byte.
#include "platform/wide_text_win.h"

#include <windows.h>

#include <cerrno>

#include "platform/name_text.h"
#include "platform/text.h"

namespace tavex {
namespace {

// Calls add with each code point of a UTF-16 text; an unpaired surrogate
// comes through as U+FFFD.
template <typename Add>
void ForEachCodePoint(std::wstring_view text, Add add) {
  for (size_t i = 0; i < text.size(); ++i) {
    const char32_t unit = static_cast<char16_t>(text[i]);
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size()) {
      const char32_t low = static_cast<char16_t>(text[i + 1]);
      if (low >= 0xDC00 && low < 0xE000) {
        add(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    add(unit >= 0xD800 && unit < 0xE000 ? char32_t{0xFFFD} : unit);
  }
}

void AppendUtf16(std::wstring& out, char32_t cp) {
  if (cp < 0x10000) {
    out.push_back(static_cast<wchar_t>(cp));
    return;
  }
  cp -= 0x10000;
  out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
  out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
}

}  // namespace

std::wstring WideOf1251(std::string_view text) {
  std::wstring wide;
  wide.reserve(text.size());
  for (unsigned char byte : text) AppendUtf16(wide, UnicodeOf1251(byte));
  return wide;
}

std::string Cp1251OfWide(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  ForEachCodePoint(text, [&](char32_t cp) {
    const int byte = Cp1251Of(cp);
    out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
  });
  return out;
}

std::string NameTextOfWide(std::wstring_view name) {
  std::u32string code_points;
  code_points.reserve(name.size());
  for (size_t i = 0; i < name.size(); ++i) {
    const char32_t unit = static_cast<char16_t>(name[i]);
    const char32_t low = i + 1 < name.size() ? static_cast<char16_t>(name[i + 1]) : 0;
    if (unit >= 0xD800 && unit < 0xDC00 && low >= 0xDC00 && low < 0xE000) {
      code_points += 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
      ++i;
    } else {
      code_points += unit;  // a lone surrogate stays itself
    }
  }
  return NameTextOfCodePoints(code_points);
}

std::wstring WideOfNameText(std::string_view text) {
  std::wstring wide;
  wide.reserve(text.size());
  for (char32_t cp : CodePointsOfNameText(text)) AppendUtf16(wide, cp);
  return wide;
}

std::wstring WideOfUtf8(std::string_view utf8) {
  std::wstring wide;
  wide.reserve(utf8.size());
  size_t pos = 0;
  while (pos < utf8.size()) AppendUtf16(wide, DecodeUtf8(utf8, pos).value_or(0xFFFD));
  return wide;
}

std::string Utf8OfWide(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  ForEachCodePoint(text, [&](char32_t cp) { AppendUtf8(out, cp); });
  return out;
}

void SetErrnoFromLastError() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      errno = ENOENT;
      break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      errno = EEXIST;
      break;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      errno = ENOSPC;
      break;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      errno = EBUSY;
      break;
    default:
      errno = EACCES;
  }
}

}  // namespace tavex
