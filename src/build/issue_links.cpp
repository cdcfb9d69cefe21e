#include "build/issue_links.h"

#include <string>
#include <vector>

#include "app/main_window.h"
#include "build/start_run.h"
#include "clean/page_address.h"
#include "clean/page_encoding.h"
#include "platform/files.h"
#include "platform/text.h"

namespace tavex {
namespace {

// The addresses sit in the head; 64 KB holds the head of nearly every page,
// inline styles and scripts included, and reading no further keeps the map
// cheap next to the cleaning.
constexpr size_t kHeadBytes = 64 * 1024;

std::vector<std::string> AddressesOfPage(const std::string& file) {
  const auto bytes = ReadFileBytes(file, kHeadBytes);
  if (!bytes) return {};
  std::string head = PageTo1251(*bytes);
  const size_t body = LowerCase(head).find("<body");
  if (body != std::string::npos) head.resize(body);
  return SavedPageAddresses(head);
}

}  // namespace

TIssueArticles MapIssueArticles(const std::vector<std::optional<TRubricFiles>>& rubric_files) {
  TIssueArticles issue;
  int page = 0;
  for (const auto& files : rubric_files)
    if (files)
      for (const std::string& file : *files) issue.Add(file, AddressesOfPage(file), page++);
  return issue;
}

}  // namespace tavex
