#include "clean/page_address.h"

#include <algorithm>
#include <cctype>

#include "clean/tag_attributes.h"
#include "clean/web_reference.h"
#include "platform/text.h"

namespace tavex {
namespace {

constexpr std::string_view kSavedFrom = "saved from url=(";

// The length of "http://" or "https://" at the start; 0 for other addresses.
size_t WebSchemeLength(std::string_view address) {
  if (address.starts_with("http://")) return 7;
  if (address.starts_with("https://")) return 8;
  return 0;
}

std::string WithoutEntities(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size(); ++at) {
    out += text[at];
    if (text.compare(at, 5, "&amp;") == 0) at += 4;
  }
  return out;
}

void AddAddress(std::string_view address, std::vector<std::string>& addresses) {
  std::string text = WithoutEntities(TrimSpaces(address));
  if (WebSchemeLength(text) == 0) return;
  if (std::find(addresses.begin(), addresses.end(), text) == addresses.end())
    addresses.push_back(std::move(text));
}

// The address of a "saved from url=(0023)https://example.com/a" comment.
std::string_view SavedFromAddress(std::string_view head) {
  const size_t at = head.find(kSavedFrom);
  if (at == std::string_view::npos) return {};
  size_t digits_end = at + kSavedFrom.size();
  size_t length = 0;
  while (digits_end < head.size() && std::isdigit(static_cast<unsigned char>(head[digits_end])))
    length = length * 10 + (head[digits_end++] - '0');
  if (digits_end >= head.size() || head[digits_end] != ')') return {};
  std::string_view address = head.substr(digits_end + 1, length);
  // A wrong length must not swallow the comment's end.
  return address.substr(0, std::min(address.find(' '), address.find("-->")));
}

bool HasToken(std::string_view list, std::string_view token) {
  size_t at = 0;
  while (at < list.size()) {
    while (at < list.size() && list[at] == ' ') ++at;
    const size_t end = std::min(list.find(' ', at), list.size());
    if (list.substr(at, end - at) == token) return true;
    at = end;
  }
  return false;
}

// The path's start in an absolute address: after "scheme://host".
size_t PathStart(std::string_view address) {
  const size_t host = address.find("//");
  if (host == std::string_view::npos) return address.size();
  return std::min(address.find_first_of("/?#", host + 2), address.size());
}

// The path with its "." and ".." segments resolved; path starts with "/".
std::string WithoutDotSegments(std::string_view path) {
  std::vector<std::string_view> segments;
  size_t at = 1;
  bool ends_in_folder = false;
  while (at <= path.size()) {
    const size_t end = std::min(path.find('/', at), path.size());
    const std::string_view segment = path.substr(at, end - at);
    ends_in_folder = segment == "." || segment == "..";
    if (segment == "..") {
      if (!segments.empty()) segments.pop_back();
    } else if (segment != ".") {
      segments.push_back(segment);
    }
    at = end + 1;
  }
  std::string out;
  for (std::string_view segment : segments) {
    out += '/';
    out += segment;
  }
  if (ends_in_folder || out.empty()) out += '/';
  return out;
}

}  // namespace

std::vector<std::string> SavedPageAddresses(std::string_view head) {
  const std::string lower = LowerCase(head);
  std::vector<std::string> addresses;
  AddAddress(SavedFromAddress(lower), addresses);
  std::string_view og_url, canonical;
  for (size_t at = lower.find('<'); at != std::string::npos; at = lower.find('<', at + 1)) {
    const std::string_view rest = std::string_view(lower).substr(at);
    const bool meta = rest.starts_with("<meta");
    if (!meta && !rest.starts_with("<link")) continue;
    const size_t close = rest.find('>');
    if (close == std::string_view::npos) break;
    const auto attributes = TagAttributes(rest.substr(0, close + 1));
    const TTagAttribute* key = FindAttribute(attributes, meta ? "property" : "rel");
    if (meta && !(key && key->value == "og:url")) key = FindAttribute(attributes, "name");
    const TTagAttribute* value = FindAttribute(attributes, meta ? "content" : "href");
    if (!key || !value) continue;
    if (meta && key->value == "og:url" && og_url.empty()) og_url = value->value;
    if (!meta && HasToken(key->value, "canonical") && canonical.empty()) canonical = value->value;
  }
  AddAddress(og_url, addresses);
  AddAddress(canonical, addresses);
  return addresses;
}

std::string AddressKey(std::string_view address) {
  std::string text = LowerCase(TrimSpaces(address));
  text = WithoutEntities(text);
  std::string_view key = text;
  if (const size_t scheme = WebSchemeLength(key)) {
    key.remove_prefix(scheme);
  } else if (key.starts_with("//")) {
    key.remove_prefix(2);
  } else {
    return {};
  }
  key = key.substr(0, key.find('#'));
  if (key.starts_with("www.")) key.remove_prefix(4);
  while (!key.empty() && (key.back() == '/' || key.back() == '?')) key.remove_suffix(1);
  return std::string(key);
}

std::string ResolveAddress(std::string_view base, std::string_view reference) {
  const size_t scheme = WebSchemeLength(base);
  if (scheme == 0) return {};
  if (IsOutsideReference(reference) && !reference.starts_with("/")) return std::string(reference);
  if (reference.starts_with("//"))
    return std::string(base.substr(0, scheme - 2)) + std::string(reference);
  const size_t path_at = PathStart(base);
  const std::string origin(base.substr(0, path_at));
  std::string_view base_path = base.substr(path_at);
  base_path = base_path.substr(0, base_path.find_first_of("?#"));
  if (base_path.empty()) base_path = "/";
  if (reference.empty() || reference[0] == '#')
    return std::string(base.substr(0, base.find('#'))) + std::string(reference);
  if (reference[0] == '?') return origin + std::string(base_path) + std::string(reference);
  // The path and what follows it ("?query", "#fragment") are resolved apart.
  const size_t tail_at = std::min(reference.find_first_of("?#"), reference.size());
  const std::string_view tail = reference.substr(tail_at);
  std::string path;
  if (reference[0] == '/') {
    path = std::string(reference.substr(0, tail_at));
  } else {
    path = std::string(base_path.substr(0, base_path.rfind('/') + 1)) +
           std::string(reference.substr(0, tail_at));
  }
  return origin + WithoutDotSegments(path) + std::string(tail);
}

}  // namespace tavex
