// Links between the articles of one issue, and links that lead out of it.
//
// A saved page links to other pages by their saved files or by their web
// addresses. In the issue each article is a numbered page ("..\pub\7.htm"), so
// a link to an article of the same issue must lead there to work offline, and
// a link to anything else (a web address, a file the issue does not hold)
// leads nowhere offline: its text stays, the link goes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "clean/line_list.h"

namespace tavex {

// The articles of one issue: the saved file of each and the web addresses its
// page states (clean/page_address.h), with the number of its page. The first
// article registered under a file or address keeps it.
class TIssueArticles {
 public:
  void Add(std::string_view file, const std::vector<std::string>& addresses, int page);

  std::optional<int> PageOfFile(std::string_view path) const;
  std::optional<int> PageOfAddress(std::string_view address) const;
  // The first address the file's page states, the base of its relative
  // links; empty when it states none or is not an article of the issue.
  std::string AddressOfFile(std::string_view path) const;

 private:
  std::unordered_map<std::string, int> page_of_file_;     // FileKey -> page
  std::unordered_map<std::string, int> page_of_address_;  // AddressKey -> page
  std::unordered_map<std::string, std::string> address_of_file_;
};

// The key under which two spellings of one local path meet: lower case, "/"
// as "\", "." and ".." segments and doubled separators resolved as text.
std::string FileKey(std::string_view path);

// Rewrites every "<a" line of the article cleaned from source_path that has
// an href, except links within the page ("#..."), empty ones and mailto:. A
// link to an article of issue (by its file beside this page, by its web
// address, or by a relative link read against this page's own address)
// gets href="..\pub\N.htm", its fragment kept, its other attributes as they
// were. Any other link is unwrapped: its line empties, and so does the next
// "</a>" line unless another "<a" comes first; a link that is also an anchor
// (name= or id=) keeps those and the "</a>". With issue null every such link
// is unwrapped. The number of lines never changes, so insert rules that count
// lines still find theirs.
void RewritePageLinks(LineList& article, std::string_view source_path, const TIssueArticles* issue);

}  // namespace tavex
