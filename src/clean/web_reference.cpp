#include "clean/web_reference.h"

#include <cctype>

#include "platform/text.h"

namespace tavex {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The byte of a "%XX" escape at text[at]; -1 when there is none there.
int EscapedByte(std::string_view text, size_t at) {
  if (at + 2 >= text.size() || text[at] != '%') return -1;
  const int high = HexDigit(text[at + 1]);
  const int low = HexDigit(text[at + 2]);
  return high < 0 || low < 0 ? -1 : high * 16 + low;
}

bool IsValidUtf8(std::string_view bytes) {
  for (size_t at = 0; at < bytes.size();)
    if (!DecodeUtf8(bytes, at)) return false;
  return true;
}

// Appends a run of escaped bytes: as UTF-8 when it is that, else as they are.
void AppendEscapedRun(std::string& out, const std::string& run) {
  out += IsValidUtf8(run) ? Utf8To1251(run) : run;
}

}  // namespace

bool IsOutsideReference(std::string_view reference) {
  if (reference.empty()) return false;
  if (reference[0] == '/' || reference[0] == '\\') return true;
  // A scheme is a letter, then letters, digits, "+", "-" or ".", then ":".
  if (!std::isalpha(static_cast<unsigned char>(reference[0]))) return false;
  for (char c : reference.substr(1)) {
    if (c == ':') return true;
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.')
      return false;
  }
  return false;
}

std::string_view WithoutQuery(std::string_view reference) {
  return reference.substr(0, reference.find_first_of("?#"));
}

std::string_view FragmentOf(std::string_view reference) {
  const size_t hash = reference.find('#');
  return hash == std::string_view::npos ? std::string_view() : reference.substr(hash);
}

std::string DecodeFileReference(std::string_view reference) {
  std::string out;
  out.reserve(reference.size());
  std::string run;  // escaped bytes not yet appended
  for (size_t at = 0; at < reference.size();) {
    const int byte = EscapedByte(reference, at);
    if (byte >= 0) {
      run += static_cast<char>(byte);
      at += 3;
      continue;
    }
    AppendEscapedRun(out, run);
    run.clear();
    if (reference.compare(at, 5, "&amp;") == 0) {
      out += '&';
      at += 5;
    } else {
      out += reference[at] == '/' ? '\\' : reference[at];
      ++at;
    }
  }
  AppendEscapedRun(out, run);
  return out;
}

std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

std::string_view LastPathPart(std::string_view path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace tavex
