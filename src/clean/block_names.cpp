#include "clean/block_names.h"

#include <algorithm>

namespace tavex {
namespace {

bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Whether f answers true for a word of the text.
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

// Whether the word begins with one of parts; parts are grouped by their
// first letter so that a word is held against the few that can match.
template <size_t N>
bool StartsWithAny(std::string_view word, const std::string_view (&parts)[N]) {
  for (std::string_view part : parts)
    if (part[0] == word[0] && word.starts_with(part)) return true;
  return false;
}

// Words that name what is not the article, as the start of a class or id
// word ("commentlist", "sharebar", "relatedposts"; not
// "showingreadnextsidebar", a state of the page). "coment", "koment" and
// "kament" are the spellings Russian sites use besides "comment"; "otzyv" is
// a review or comment, "reklama" an advert.
constexpr std::string_view kClutterStarts[] = {
    "comment", "coment",  "komment",    "koment",   "kament",  "disqus",    "otzyv",
    "sidebar", "share",   "social",     "sponsor",  "promo",   "footer",    "related",
    "advert",  "reklama", "breadcrumb", "tagcloud", "gallery", "slideshow", "carousel"};
constexpr std::string_view kArticleStarts[] = {"article", "content", "entry",
                                               "main",    "post",    "story"};

bool IsClutterWord(std::string_view word) {
  return StartsWithAny(word, kClutterStarts) || word == "tags" || word == "reply" ||
         word == "replies" || word == "respond";
}

bool IsArticleWord(std::string_view word) {
  return StartsWithAny(word, kArticleStarts);
}

// Whole class names that style sheets hide.
bool IsHiddenClass(std::string_view name) {
  return name == "hidden" || name == "hide" || name == "none" || name == "d-none" ||
         name == "is-hidden" || name == "invisible";
}

bool HasHiddenClass(std::string_view classes) {
  size_t i = 0;
  while (i < classes.size()) {
    const size_t end = std::min(classes.find(' ', i), classes.size());
    if (IsHiddenClass(classes.substr(i, end - i))) return true;
    i = end + 1;
  }
  return false;
}

// display:none or visibility:hidden among the declarations of a style,
// spaces allowed around the colon.
bool HidingStyle(std::string_view style) {
  for (std::string_view property : {std::string_view("display"), std::string_view("visibility")}) {
    const std::string_view hiding = property == "display" ? "none" : "hidden";
    for (size_t at = style.find(property); at != std::string_view::npos;
         at = style.find(property, at)) {
      at += property.size();
      size_t value = style.find_first_not_of(' ', at);
      if (value == std::string_view::npos || style[value] != ':') continue;
      value = style.find_first_not_of(' ', value + 1);
      if (value != std::string_view::npos && style.substr(value).starts_with(hiding)) return true;
    }
  }
  return false;
}

}  // namespace

TTagSigns ReadTagSigns(std::string_view name, std::string_view line,
                       std::vector<TTagAttribute>& attributes) {
  TTagSigns signs;
  signs.Article = name == "article" || name == "main";
  // Most tag lines of a page carry no attribute: nothing more to read.
  if (line.find(' ') == std::string_view::npos) return signs;
  ReadTagAttributes(line, attributes);
  bool clutter_word = false, article_word = false;
  for (const TTagAttribute& attribute : attributes) {
    const std::string_view value = attribute.value;
    if (attribute.name == "hidden") {
      signs.Hidden = true;
    } else if (attribute.name == "href") {
      signs.Href = true;
    } else if (attribute.name == "aria-hidden") {
      signs.Hidden = signs.Hidden || value == "true";
    } else if (attribute.name == "style") {
      signs.Hidden = signs.Hidden || HidingStyle(value);
    } else if (attribute.name == "role") {
      signs.Article = signs.Article || value == "main";
    } else if (attribute.name == "itemprop") {
      signs.Article = signs.Article || value == "articlebody";
    } else if (attribute.name == "class" || attribute.name == "id") {
      if (attribute.name == "class") signs.Hidden = signs.Hidden || HasHiddenClass(value);
      article_word = article_word || AnyWord(value, IsArticleWord);
      clutter_word = clutter_word || AnyWord(value, IsClutterWord);
    }
  }
  signs.Clutter = clutter_word && !article_word && name != "html" && name != "body";
  return signs;
}

}  // namespace tavex
