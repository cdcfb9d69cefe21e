#include "clean/picture_name_case.h"

#include <algorithm>

#include "platform/files.h"
#include "platform/text.h"

namespace tavex {
namespace {

bool HasCapital(std::string_view text) {
  for (char c : text)
    if (LowerChar(c) != c) return true;
  return false;
}

// A reference that can name a file beside the article: no scheme, no root.
bool IsLocal(std::string_view reference) {
  if (reference.empty() || reference.front() == '/' || reference.front() == '\\') return false;
  const size_t colon = reference.find(':');
  return colon == std::string_view::npos || reference.find_first_of("/\\") < colon;
}

// The reference as a path text below folder, as the picture pass reads it.
std::string PathOf(std::string_view folder, std::string_view reference) {
  std::string relative(reference);
  std::replace(relative.begin(), relative.end(), '/', '\\');
  UndoPictureEscapes(relative);
  return std::string(folder) + "\\" + relative;
}

}  // namespace

std::optional<std::string> KeepPictureNameCase(std::string_view article_folder,
                                               std::string_view reference) {
  if (article_folder.empty() || !IsLocal(reference) || !HasCapital(reference)) return std::nullopt;
  const std::string exact = PathOf(article_folder, reference);
  const std::string lowered = PathOf(article_folder, LowerCase(reference));
  if (!FileExists(exact) || RealPath(exact) == RealPath(lowered)) return std::nullopt;
  static const char kHex[] = "0123456789ABCDEF";
  std::string kept;
  for (char c : reference) {
    if (LowerChar(c) == c) {
      kept += c;
      continue;
    }
    const auto byte = static_cast<unsigned char>(c);
    kept += '%';
    kept += kHex[byte >> 4];
    kept += kHex[byte & 15];
  }
  return kept;
}

void UndoPictureEscapes(std::string& path) {
  if (path.find('%') == std::string::npos) return;
  std::string out;
  out.reserve(path.size());
  for (size_t i = 0; i < path.size(); ++i) {
    const int high = i + 2 < path.size() && path[i] == '%' ? HexDigitValue(path[i + 1]) : -1;
    const int low = high >= 0 ? HexDigitValue(path[i + 2]) : -1;
    const char byte = static_cast<char>(high * 16 + low);
    if (low >= 0 && (byte == ' ' || LowerChar(byte) != byte)) {
      out += byte;
      i += 2;
    } else {
      out += path[i];
    }
  }
  path = std::move(out);
}

}  // namespace tavex
