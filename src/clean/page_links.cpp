#include "clean/page_links.h"

#include "clean/page_address.h"
#include "clean/tag_attributes.h"
#include "clean/web_reference.h"
#include "platform/text.h"

namespace tavex {
namespace {

template <typename Map>
std::optional<int> Lookup(const Map& map, const std::string& key) {
  if (key.empty()) return std::nullopt;
  const auto found = map.find(key);
  return found == map.end() ? std::nullopt : std::optional<int>(found->second);
}

// Whether a link works offline as it is: within the page, the page itself,
// or a mail address.
bool WorksOffline(std::string_view href) {
  return href.empty() || href[0] == '#' || href.starts_with("mailto:");
}

// The issue page a link leads to; nothing when it leads out of the issue.
std::optional<int> LinkedPage(std::string_view href, std::string_view folder,
                              std::string_view page_address, const TIssueArticles& issue) {
  if (!IsOutsideReference(href)) {
    const std::string local = std::string(folder) + "\\" + DecodeFileReference(WithoutQuery(href));
    if (auto page = issue.PageOfFile(local)) return page;
  }
  if (auto page = issue.PageOfAddress(href)) return page;
  if (page_address.empty()) return std::nullopt;
  return issue.PageOfAddress(ResolveAddress(page_address, href));
}

// An unwrapped link that is also an anchor: "<a" with its name and id only.
std::string AnchorOnly(const std::string& line, const std::vector<TTagAttribute>& attributes) {
  return EditTag(line, attributes, [](const TTagAttribute& attribute) {
    return attribute.name == "name" || attribute.name == "id" ? std::nullopt
                                                              : std::optional<std::string>("");
  });
}

}  // namespace

void TIssueArticles::Add(std::string_view file, const std::vector<std::string>& addresses,
                         int page) {
  const std::string key = FileKey(file);
  if (!page_of_file_.try_emplace(key, page).second) return;
  if (!addresses.empty()) address_of_file_.try_emplace(key, addresses.front());
  for (const std::string& address : addresses) {
    std::string address_key = AddressKey(address);
    if (!address_key.empty()) page_of_address_.try_emplace(std::move(address_key), page);
  }
}

std::optional<int> TIssueArticles::PageOfFile(std::string_view path) const {
  return Lookup(page_of_file_, FileKey(path));
}

std::optional<int> TIssueArticles::PageOfAddress(std::string_view address) const {
  return Lookup(page_of_address_, AddressKey(address));
}

std::string TIssueArticles::AddressOfFile(std::string_view path) const {
  const auto found = address_of_file_.find(FileKey(path));
  return found == address_of_file_.end() ? std::string() : found->second;
}

std::string FileKey(std::string_view path) {
  std::vector<std::string> parts;
  std::string part;
  const std::string lower = LowerCase(path);
  bool rooted = !lower.empty() && (lower[0] == '\\' || lower[0] == '/');
  for (size_t at = 0; at <= lower.size(); ++at) {
    if (at < lower.size() && lower[at] != '\\' && lower[at] != '/') {
      part += lower[at];
      continue;
    }
    if (part == "..") {
      if (!parts.empty() && parts.back() != "..") {
        parts.pop_back();
      } else {
        parts.push_back(part);
      }
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    part.clear();
  }
  std::string key = rooted ? "\\" : "";
  for (size_t i = 0; i < parts.size(); ++i) key += (i ? "\\" : "") + parts[i];
  return key;
}

void RewritePageLinks(LineList& article, std::string_view source_path,
                      const TIssueArticles* issue) {
  const size_t slash = source_path.find_last_of("\\/");
  const std::string_view folder =
      slash == std::string_view::npos ? std::string_view(".") : source_path.substr(0, slash);
  const std::string page_address = issue ? issue->AddressOfFile(source_path) : std::string();
  bool unwrapped_open = false;  // the last "<a" lost its link and its "</a>" is still to come
  for (std::string& line : article) {
    if (line.starts_with("</a")) {
      if (unwrapped_open) line.clear();
      unwrapped_open = false;
      continue;
    }
    if (!line.starts_with("<a ")) continue;
    unwrapped_open = false;  // a new link closes the one before
    const std::vector<TTagAttribute> attributes = TagAttributes(line);
    const TTagAttribute* href_attribute = FindAttribute(attributes, "href");
    if (!href_attribute) continue;
    const std::string_view href = TrimSpaces(href_attribute->value);
    if (WorksOffline(href)) continue;
    const std::optional<int> page =
        issue ? LinkedPage(href, folder, page_address, *issue) : std::nullopt;
    if (page) {
      const std::string target = "href=\"..\\pub\\" + std::to_string(*page) + ".htm" +
                                 std::string(FragmentOf(href)) + "\"";
      line = EditTag(line, attributes, [&](const TTagAttribute& attribute) {
        return &attribute == href_attribute ? std::optional<std::string>(target) : std::nullopt;
      });
    } else if (FindAttribute(attributes, "name") || FindAttribute(attributes, "id")) {
      line = AnchorOnly(line, attributes);
    } else {
      line.clear();
      unwrapped_open = true;
    }
  }
}

}  // namespace tavex
