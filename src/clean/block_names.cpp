#include "clean/block_names.h"

#include <algorithm>
#include <initializer_list>
#include <string>

#include "clean/attribute_value.h"

namespace tavex {
namespace {

bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Calls f with each word of the text; stops when f answers true, and answers
// whether it did.
template <typename F>
bool AnyWord(std::string_view text, F f) {
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && !IsWordChar(text[i])) ++i;
    const size_t start = i;
    while (i < text.size() && IsWordChar(text[i])) ++i;
    if (i > start && f(text.substr(start, i - start))) return true;
  }
  return false;
}

bool HoldsAny(std::string_view text, std::initializer_list<std::string_view> parts) {
  return std::any_of(parts.begin(), parts.end(), [&](std::string_view part) {
    return text.find(part) != std::string_view::npos;
  });
}

bool StartsWithAny(std::string_view text, std::initializer_list<std::string_view> parts) {
  return std::any_of(parts.begin(), parts.end(),
                     [&](std::string_view part) { return text.starts_with(part); });
}

// Words that name what is not the article, as the start of a class or id
// word ("commentlist", "sharebar", "relatedposts"; not
// "showingreadnextsidebar", a state of the page). "coment", "koment" and
// "kament" are the spellings Russian sites use besides "comment"; "otzyv" is
// a review or comment, "reklama" an advert.
bool IsClutterWord(std::string_view word) {
  return StartsWithAny(word,
                       {"comment", "coment",    "komment", "koment",  "kament",     "disqus",
                        "otzyv",   "sidebar",   "share",   "social",  "sponsor",    "promo",
                        "footer",  "related",   "advert",  "reklama", "breadcrumb", "tagcloud",
                        "gallery", "slideshow", "carousel"}) ||
         word == "tags" || word == "reply" || word == "replies" || word == "respond";
}

bool IsArticleWord(std::string_view word) {
  return StartsWithAny(word, {"article", "content", "entry", "main", "post", "story"});
}

// The attribute's name must stand on its own: " hidden" in
// class="a hidden b" is a class.
bool HasBareAttribute(std::string_view line, std::string_view name) {
  bool quoted = false;
  char quote = 0;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      quoted = c != quote;
      continue;
    }
    if (c == '"' || c == '\'') {
      quoted = true;
      quote = c;
    } else if (c == ' ' && line.substr(i + 1).starts_with(name)) {
      const size_t after = i + 1 + name.size();
      if (after >= line.size() || line[after] == ' ' || line[after] == '=' || line[after] == '>' ||
          line[after] == '/')
        return true;
    }
  }
  return false;
}

// Classes that every style sheet of a site defines as display:none: the
// site's scripts show the element on a click (a dialog, a "copy the code"
// box), a browser showing the saved page does not.
bool HasHiddenClass(std::string_view line) {
  const std::string_view classes = AttributeValue(line, " class=");
  size_t i = 0;
  while (i < classes.size()) {
    const size_t end = std::min(classes.find(' ', i), classes.size());
    const std::string_view name = classes.substr(i, end - i);
    if (name == "hidden" || name == "hide" || name == "none" || name == "d-none" ||
        name == "is-hidden" || name == "invisible")
      return true;
    i = end + 1;
  }
  return false;
}

}  // namespace

bool HiddenByAttributes(std::string_view line) {
  if (HasBareAttribute(line, "hidden") || HasHiddenClass(line)) return true;
  if (AttributeValue(line, " aria-hidden=") == "true") return true;
  const std::string_view style = AttributeValue(line, " style=");
  if (style.empty()) return false;
  std::string squeezed;
  for (char c : style)
    if (c != ' ') squeezed += c;
  return HoldsAny(squeezed, {"display:none", "visibility:hidden"});
}

bool NamedAsClutter(std::string_view name, std::string_view line) {
  // The page's own classes on its html and body tell its layout
  // ("two-sidebars"), not a part of it.
  if (name == "html" || name == "body") return false;
  const std::string_view names[] = {AttributeValue(line, " class="), AttributeValue(line, " id=")};
  bool clutter = false;
  for (std::string_view name : names) {
    if (AnyWord(name, IsArticleWord)) return false;
    clutter = clutter || AnyWord(name, IsClutterWord);
  }
  return clutter;
}

bool MarkedAsArticle(std::string_view name, std::string_view line) {
  return name == "article" || name == "main" || AttributeValue(line, " role=") == "main" ||
         AttributeValue(line, " itemprop=") == "articlebody";
}

}  // namespace tavex
