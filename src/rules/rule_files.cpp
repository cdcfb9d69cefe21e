#include "rules/rule_files.h"

#include <filesystem>
#include <set>
#include <string>

#include "app/main_window.h"
#include "clean/line_helpers.h"
#include "platform/files.h"
#include "platform/text.h"

namespace tavex {
namespace {

// The extension of a file name, "." included; empty when the name has none.
std::string_view ExtensionOf(std::string_view name) {
  size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

// A folder reached again through a link is not searched twice, so a link that
// points back up the tree cannot make the search endless.
void SearchFolder(const std::string& folder, const std::string& wanted, LineList& list,
                  MainWindow* window, std::set<std::filesystem::path>& searched) {
  std::error_code ec;
  auto real = std::filesystem::weakly_canonical(NativePath(folder), ec);
  if (ec || !searched.insert(real).second) return;

  std::string prefix = folder;
  if (prefix.empty() || (prefix.back() != '\\' && prefix.back() != '/')) prefix += '\\';
  for (const DirEntry& entry : ListFolder(folder)) {
    if (window) window->ProcessMessages();
    std::string path = prefix + entry.name;
    if (entry.is_folder) {
      SearchFolder(path, wanted, list, window, searched);
    } else if (LowerCase(ExtensionOf(entry.name)) == wanted) {
      list.push_back(std::move(path));
    }
  }
}

}  // namespace

void FindRuleFiles(std::string_view folder, std::string_view extension, LineList& list,
                   MainWindow* window) {
  std::set<std::filesystem::path> searched;
  SearchFolder(std::string(folder), LowerCase(extension), list, window, searched);
}

void ForEachRuleFile(std::string_view extension, MainWindow& window,
                     const std::function<void(const LineList& rule)>& apply) {
  LineList files;
  FindRuleFiles(kRuleFolder, extension, files, &window);
  for (const std::string& path : files) {
    window.ProcessMessages();
    apply(LoadLines(path));
  }
}

LineList NormalisedFragment(const LineList& rule, int first, int end) {
  LineList fragment;
  if (first < end) fragment.assign(rule.begin() + first, rule.begin() + end);
  SplitTagsToLines(fragment);
  return fragment;
}

LineList NormalisedFragmentWithIssueNumber(const LineList& rule, int first, int end,
                                           const MainWindow& window) {
  LineList fragment;
  for (int i = first; i < end; ++i) fragment.push_back(SubstituteIssueNumber(rule[i], window));
  SplitTagsToLines(fragment);
  return fragment;
}

}  // namespace tavex
