#include "clean/site_name.h"

#include <string_view>
#include <vector>

#include "clean/attribute_value.h"
#include "platform/text.h"

namespace tavex {
namespace {

// Separators between a title and the site's name, in Windows-1251 ("\x97" is
// the em dash, "\x96" the en dash, "\xab" the left guillemet).
constexpr std::string_view kSeparators[] = {" | ",       " - ",  " \x97 ", " &mdash; ", " \x96 ",
                                            " &ndash; ", " :: ", " \xab ", " &laquo; "};

bool EndsWithIgnoreCase(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() &&
         EqualsIgnoreCase(text.substr(text.size() - tail.size()), tail);
}
bool StartsWithIgnoreCase(std::string_view text, std::string_view head) {
  return text.size() >= head.size() && EqualsIgnoreCase(text.substr(0, head.size()), head);
}

// The title without the name at one of its ends; empty when the name is not there.
std::string_view Without(std::string_view title, std::string_view name) {
  for (std::string_view separator : kSeparators) {
    const size_t cut = separator.size() + name.size();
    if (title.size() <= cut) continue;
    const std::string_view tail = title.substr(title.size() - cut);
    if (tail.starts_with(separator) && EndsWithIgnoreCase(tail, name))
      return title.substr(0, title.size() - cut);
    const std::string_view head = title.substr(0, cut);
    if (head.ends_with(separator) && StartsWithIgnoreCase(head, name)) return title.substr(cut);
  }
  return {};
}

}  // namespace

std::vector<std::string> StatedSiteNames(const LineList& article) {
  std::vector<std::string> names;
  for (const std::string& line : article) {
    if (!line.starts_with("<meta")) continue;
    if (line.find("og:site_name") == std::string::npos &&
        line.find("application-name") == std::string::npos)
      continue;
    std::string name(AttributeValue(line, " content="));
    if (!name.empty()) names.push_back(std::move(name));
  }
  return names;
}

std::string TrimSiteName(const std::string& title, const LineList& article) {
  for (const std::string& name : StatedSiteNames(article)) {
    const std::string_view rest = Without(title, name);
    if (!rest.empty()) return std::string(rest);
  }
  return title;
}

}  // namespace tavex
