#include "clean/data_picture.h"

#include <array>

#include "platform/text.h"

namespace tavex {
namespace {

// "%41" as "A"; a "%" without two hexadecimal digits stays as it is.
std::string PercentDecoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    int high = -1, low = -1;
    if (text[i] == '%' && i + 2 < text.size()) {
      high = HexDigitValue(text[i + 1]);
      low = HexDigitValue(text[i + 2]);
    }
    if (high >= 0 && low >= 0) {
      out += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// Forgiving base64 as browsers decode data: addresses: white space is
// ignored, one or two "=" may end the text, and without them the last group
// may be short; any other character, or a single character in the last group,
// is an error.
std::optional<std::string> Base64Decoded(std::string_view text) {
  static const std::array<int, 256> kValue = [] {
    std::array<int, 256> value{};
    value.fill(-1);
    const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int i = 0; i < 64; ++i) value[static_cast<unsigned char>(alphabet[i])] = i;
    return value;
  }();
  std::string symbols;
  symbols.reserve(text.size());
  for (char c : text)
    if (!IsAsciiSpace(c)) symbols += c;
  if (symbols.size() % 4 == 0 && !symbols.empty() && symbols.back() == '=') {
    symbols.pop_back();
    if (symbols.back() == '=') symbols.pop_back();
  }
  if (symbols.size() % 4 == 1) return std::nullopt;
  std::string out;
  out.reserve(symbols.size() / 4 * 3 + 2);
  uint32_t bits = 0;
  int count = 0;
  for (char c : symbols) {
    const int value = kValue[static_cast<unsigned char>(c)];
    if (value < 0) return std::nullopt;
    bits = bits << 6 | static_cast<uint32_t>(value);
    if (++count == 4) {
      out += static_cast<char>(bits >> 16 & 0xFF);
      out += static_cast<char>(bits >> 8 & 0xFF);
      out += static_cast<char>(bits & 0xFF);
      bits = 0;
      count = 0;
    }
  }
  if (count == 3) {
    out += static_cast<char>(bits >> 10 & 0xFF);
    out += static_cast<char>(bits >> 2 & 0xFF);
  } else if (count == 2) {
    out += static_cast<char>(bits >> 4 & 0xFF);
  }
  return out;
}

}  // namespace

std::string_view PictureExtensionOf(std::string_view media_type) {
  const size_t semicolon = media_type.find(';');
  const std::string type = LowerCase(TrimAsciiSpace(media_type.substr(0, semicolon)));
  if (type == "image/png" || type == "image/apng") return ".png";
  if (type == "image/jpeg" || type == "image/jpg" || type == "image/pjpeg") return ".jpg";
  if (type == "image/gif") return ".gif";
  if (type == "image/webp") return ".webp";
  if (type == "image/svg+xml") return ".svg";
  return {};
}

std::optional<TDataPicture> DecodeDataPicture(std::string_view address) {
  address = TrimAsciiSpace(address);
  if (address.size() < 5 || LowerCase(address.substr(0, 5)) != "data:") return std::nullopt;
  address.remove_prefix(5);
  const size_t comma = address.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  std::string_view header = TrimAsciiSpace(address.substr(0, comma));
  // ";base64" ends the header, white space allowed around the ";".
  bool base64 = false;
  if (const size_t semicolon = header.rfind(';');
      semicolon != std::string_view::npos &&
      LowerCase(TrimAsciiSpace(header.substr(semicolon + 1))) == "base64") {
    base64 = true;
    header = header.substr(0, semicolon);
  }
  TDataPicture picture;
  picture.extension = PictureExtensionOf(header);
  if (picture.extension.empty()) return std::nullopt;
  std::string body = PercentDecoded(address.substr(comma + 1));
  if (base64) {
    auto decoded = Base64Decoded(body);
    if (!decoded) return std::nullopt;
    body = std::move(*decoded);
  }
  if (body.empty()) return std::nullopt;
  picture.bytes = std::move(body);
  return picture;
}

}  // namespace tavex
