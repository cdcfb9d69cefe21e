#include "clean/tag_attributes.h"

#include <algorithm>

namespace tavex {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// One past the last character of a run that stops at white space or at one of
// stops (at most a few characters, compared one by one: a search of stops for
// each character of every tag costs more than the run itself).
size_t RunEnd(std::string_view text, size_t at, std::string_view stops) {
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (IsSpace(c)) return at;
    for (char stop : stops)
      if (c == stop) return at;
  }
  return at;
}

size_t SkipSpaces(std::string_view text, size_t at) {
  while (at < text.size() && IsSpace(text[at])) ++at;
  return at;
}

}  // namespace

std::vector<TTagAttribute> TagAttributes(std::string_view tag) {
  std::vector<TTagAttribute> attributes;
  ReadTagAttributes(tag, attributes);
  return attributes;
}

void ReadTagAttributes(std::string_view tag, std::vector<TTagAttribute>& attributes) {
  attributes.clear();
  size_t at = tag.empty() || tag[0] != '<' ? 0 : RunEnd(tag, 1, "/>");  // past the tag's name
  while (true) {
    while (at < tag.size() && (IsSpace(tag[at]) || tag[at] == '/')) ++at;
    if (at >= tag.size() || tag[at] == '>') break;
    TTagAttribute attribute;
    attribute.begin = at;
    // "=" may not start a name, so a stray one is a name of its own.
    const size_t name_end = std::max(RunEnd(tag, at, "=>/"), at + 1);
    attribute.name = tag.substr(at, name_end - at);
    at = name_end;
    const size_t after_name = SkipSpaces(tag, at);
    if (after_name < tag.size() && tag[after_name] == '=') {
      at = SkipSpaces(tag, after_name + 1);
      if (at < tag.size() && (tag[at] == '"' || tag[at] == '\'')) {
        const size_t close = tag.find(tag[at], at + 1);
        const size_t value_end = close == std::string_view::npos ? tag.size() : close;
        attribute.value = tag.substr(at + 1, value_end - at - 1);
        at = close == std::string_view::npos ? tag.size() : close + 1;
      } else {
        const size_t value_end = RunEnd(tag, at, ">");
        attribute.value = tag.substr(at, value_end - at);
        at = value_end;
      }
    }
    attribute.end = at;
    attributes.push_back(attribute);
  }
}

const TTagAttribute* FindAttribute(const std::vector<TTagAttribute>& attributes,
                                   std::string_view name) {
  for (const TTagAttribute& attribute : attributes)
    if (attribute.name == name) return &attribute;
  return nullptr;
}

std::string EditTag(std::string_view tag, const std::vector<TTagAttribute>& attributes,
                    const TAttributeEdit& edit) {
  std::string out;
  out.reserve(tag.size());
  size_t done = 0;
  for (const TTagAttribute& attribute : attributes) {
    const std::optional<std::string> replacement = edit(attribute);
    if (!replacement) continue;
    size_t from = attribute.begin;
    if (replacement->empty())
      while (from > done && IsSpace(tag[from - 1])) --from;
    out.append(tag, done, from - done);
    out += *replacement;
    done = attribute.end;
  }
  out.append(tag, done, std::string_view::npos);
  return out;
}

}  // namespace tavex
