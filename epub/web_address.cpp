#include "epub/web_address.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/text.h"

namespace tavex {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsPercentEscape(std::string_view text, size_t i) {
  return text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
         HexValue(text[i + 2]) >= 0;
}

bool IsUrlChar(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         (c != 0 && std::strchr("-._~:/?@!$&'()*+,;=", c) != nullptr);
}

// Lower case for the letters a host name is likely to hold (Latin, Latin-1,
// Cyrillic); hosts compare without case and their encoded form is lower-case.
char32_t LowerLetter(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xc0 && c <= 0xde && c != 0xd7) return c + 32;
  if (c >= 0x410 && c <= 0x42f) return c + 32;
  if (c >= 0x400 && c <= 0x40f) return c + 80;
  return c;
}

// Punycode's bias adaptation (RFC 3492, section 6.1).
uint32_t Adapt(uint32_t delta, uint32_t points, bool first) {
  delta = first ? delta / 700 : delta / 2;
  delta += delta / points;
  uint32_t k = 0;
  while (delta > ((36 - 1) * 26) / 2) {
    delta /= 36 - 1;
    k += 36;
  }
  return k + (36 * delta) / (delta + 38);
}

char PunycodeDigit(uint32_t d) {
  return static_cast<char>(d < 26 ? 'a' + d : '0' + d - 26);
}

// The host part of an address: after "scheme://" up to the next "/", "?" or
// "#"; empty (begin == end) when the address has none.
void FindHost(std::string_view address, size_t& begin, size_t& end) {
  const size_t mark = address.find("://");
  if (mark == std::string_view::npos) {
    begin = end = 0;
    return;
  }
  begin = mark + 3;
  end = std::min(address.find_first_of("/?#", begin), address.size());
}

std::optional<std::string> EncodeHost(std::string_view host) {
  // The user information before an "@" may hold escapes; the host name after
  // it never does ("https://%3C?php...", a page's unfilled template, names no
  // host at all).
  const size_t at = host.rfind('@');
  if (host.find('%', at == std::string_view::npos ? 0 : at + 1) != std::string_view::npos)
    return std::nullopt;
  std::string encoded;
  size_t start = 0;
  while (start <= host.size()) {
    size_t dot = std::min(host.find('.', start), host.size());
    const std::string_view label = host.substr(start, dot - start);
    const bool ascii =
        std::all_of(label.begin(), label.end(), [](char c) { return (c & 0x80) == 0; });
    if (ascii) {
      for (char c : label)
        if (!IsUrlChar(static_cast<unsigned char>(c)) && c != '%') return std::nullopt;
      encoded += label;
    } else {
      auto punycode = PunycodeLabel(label);
      if (!punycode) return std::nullopt;
      encoded += *punycode;
    }
    if (dot < host.size()) encoded += '.';
    start = dot + 1;
  }
  return encoded;
}

}  // namespace

std::optional<std::string> PunycodeLabel(std::string_view label) {
  std::vector<char32_t> input;
  for (size_t pos = 0; pos < label.size();) {
    const auto c = DecodeUtf8(label, pos);
    if (!c) return std::nullopt;
    input.push_back(LowerLetter(*c));
  }
  std::string output;
  for (char32_t c : input)
    if (c < 0x80) output += static_cast<char>(c);
  const uint32_t basic = static_cast<uint32_t>(output.size());
  if (basic == input.size()) return output;
  if (basic > 0) output += '-';
  uint32_t n = 0x80, delta = 0, bias = 72, handled = basic;
  while (handled < input.size()) {
    char32_t m = 0x10ffff;
    for (char32_t c : input)
      if (c >= n && c < m) m = c;
    delta += (m - n) * (handled + 1);
    n = m;
    for (char32_t c : input) {
      if (c < n) ++delta;
      if (c != n) continue;
      uint32_t q = delta;
      for (uint32_t k = 36;; k += 36) {
        const uint32_t t = k <= bias ? 1 : k >= bias + 26 ? 26 : k - bias;
        if (q < t) break;
        output += PunycodeDigit(t + (q - t) % (36 - t));
        q = (q - t) / (36 - t);
      }
      output += PunycodeDigit(q);
      bias = Adapt(delta, handled + 1, handled == basic);
      delta = 0;
      ++handled;
    }
    ++delta;
    ++n;
  }
  return "xn--" + output;
}

std::optional<std::string> EncodeWebAddress(std::string_view address) {
  static const char kHex[] = "0123456789ABCDEF";
  size_t host_begin, host_end;
  FindHost(address, host_begin, host_end);
  std::string encoded;
  bool fragment = false;
  for (size_t i = 0; i < address.size(); ++i) {
    if (i == host_begin && host_end > host_begin) {
      auto host = EncodeHost(address.substr(host_begin, host_end - host_begin));
      if (!host) return std::nullopt;
      encoded += *host;
      i = host_end - 1;
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(address[i]);
    bool keep = IsUrlChar(c) || IsPercentEscape(address, i);
    if (c == '#' && !fragment) keep = fragment = true;
    if (keep) {
      encoded += static_cast<char>(c);
    } else {
      encoded += '%';
      encoded += kHex[c >> 4];
      encoded += kHex[c & 15];
    }
  }
  return encoded;
}

}  // namespace tavex
