#include "clean/web_reference.h"

#include <cctype>
#include <optional>

#include "platform/text.h"

namespace tavex {
namespace {

// The byte of a "%XX" escape at text[at]; -1 when there is none there.
int EscapedByte(std::string_view text, size_t at) {
  if (at + 2 >= text.size() || text[at] != '%') return -1;
  const int high = HexDigitValue(text[at + 1]);
  const int low = HexDigitValue(text[at + 2]);
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

// The five components of an address; a component that is absent is nullopt,
// which differs from one that is present and empty ("http://x.ru/?" has an
// empty query).
struct Components {
  std::optional<std::string_view> scheme, authority, query;
  std::string_view path;
};

Components Split(std::string_view address) {
  Components c;
  if (const size_t hash = address.find('#'); hash != std::string_view::npos)
    address = address.substr(0, hash);
  // A scheme: a letter, then letters, digits, "+", "-" or ".", then ":".
  size_t i = 0;
  while (i < address.size() && (std::isalnum(static_cast<unsigned char>(address[i])) ||
                                address[i] == '+' || address[i] == '-' || address[i] == '.'))
    ++i;
  if (i > 0 && i < address.size() && address[i] == ':' &&
      std::isalpha(static_cast<unsigned char>(address[0]))) {
    c.scheme = address.substr(0, i);
    address.remove_prefix(i + 1);
  }
  if (address.substr(0, 2) == "//") {
    const size_t end = address.find_first_of("/?", 2);
    c.authority = address.substr(2, end == std::string_view::npos ? end : end - 2);
    address.remove_prefix(end == std::string_view::npos ? address.size() : end);
  }
  if (const size_t question = address.find('?'); question != std::string_view::npos) {
    c.query = address.substr(question + 1);
    address = address.substr(0, question);
  }
  c.path = address;
  return c;
}

// RFC 3986, 5.2.4: "." and ".." segments taken out of a path, in one pass.
std::string RemoveDotSegments(std::string_view in) {
  std::string out;
  while (!in.empty()) {
    if (in.substr(0, 3) == "../") {
      in.remove_prefix(3);
    } else if (in.substr(0, 2) == "./") {
      in.remove_prefix(2);
    } else if (in.substr(0, 3) == "/./") {
      in.remove_prefix(2);
    } else if (in == "/.") {
      in = "/";
    } else if (in.substr(0, 4) == "/../" || in == "/..") {
      in = in.size() == 3 ? std::string_view("/") : in.substr(3);
      const size_t slash = out.rfind('/');
      out.resize(slash == std::string::npos ? 0 : slash);
    } else if (in == "." || in == "..") {
      in = {};
    } else {
      const size_t next = in.find('/', 1);
      const size_t length = next == std::string_view::npos ? in.size() : next;
      out.append(in.substr(0, length));
      in.remove_prefix(length);
    }
  }
  return out;
}

// RFC 3986, 5.2.3: the reference's path beside the base's last segment.
std::string MergePaths(const Components& base, std::string_view path) {
  if (base.authority && base.path.empty()) return "/" + std::string(path);
  const size_t slash = base.path.rfind('/');
  if (slash == std::string_view::npos) return std::string(path);
  return std::string(base.path.substr(0, slash + 1)) + std::string(path);
}

std::string Join(const Components& c, std::string_view path) {
  std::string out;
  if (c.scheme) out.append(*c.scheme).append(":");
  if (c.authority) out.append("//").append(*c.authority);
  out.append(path);
  if (c.query) out.append("?").append(*c.query);
  return out;
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

std::string ResolveWebReference(std::string_view base, std::string_view reference) {
  const Components r = Split(reference);
  if (base.empty() || r.scheme) {
    Components target = r;
    const std::string path = r.scheme ? RemoveDotSegments(r.path) : std::string(r.path);
    return Join(target, path);
  }
  const Components b = Split(base);
  Components target;
  target.scheme = b.scheme;
  std::string path;
  if (r.authority) {
    target.authority = r.authority;
    target.query = r.query;
    path = RemoveDotSegments(r.path);
  } else {
    target.authority = b.authority;
    if (r.path.empty()) {
      path = std::string(b.path);
      target.query = r.query ? r.query : b.query;
    } else {
      const std::string merged =
          r.path.front() == '/' ? std::string(r.path) : MergePaths(b, r.path);
      path = RemoveDotSegments(merged);
      // A relative base ("news/1.html") keeps the result relative.
      if (merged.front() != '/' && !path.empty() && path.front() == '/') path.erase(0, 1);
      target.query = r.query;
    }
  }
  return Join(target, path);
}

}  // namespace tavex
