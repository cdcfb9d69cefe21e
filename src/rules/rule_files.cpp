#include "rules/rule_files.h"

#include <string>

#include "app/main_window.h"
#include "clean/line_helpers.h"
#include "platform/files.h"
#include "platform/text.h"

namespace tavex {

void FindRuleFiles(std::string_view folder, std::string_view extension, LineList& list,
                   MainWindow* window) {
  const std::string wanted = LowerCase(extension);
  WalkFiles(
      folder,
      [window] {
        if (window) window->ProcessMessages();
      },
      [&](const std::string& path, std::string_view name) {
        if (LowerCase(ExtensionOf(name)) == wanted) list.push_back(path);
      });
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
