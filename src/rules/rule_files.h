// Discovery and reading of the editor's rule files.
//
// Rule files live in the folder "HtmClear" of the current folder and in its
// sub-folders to any depth. Each file holds one rule; its kind is told by the
// extension (".bet" cut, ".txt" delete, ".cha" replace, ".ins" insert). The
// program only reads them: it never creates, changes or deletes a rule file.
#pragma once

#include <functional>
#include <string_view>

#include "clean/line_list.h"

namespace tavex {

class MainWindow;

inline constexpr std::string_view kRuleFolder = "HtmClear";

// Appends to list the path text of every file under folder, sub-folders
// searched depth first where the listing meets them, whose extension (from the
// last "." of the name, "." included) equals extension with letter case
// ignored. So "Rule.BET" is a ".bet" rule and "rule.bet.old" is none. Entries
// are taken in name order with letter case ignored, the same on every machine.
// Paths keep the names as listed (a case-sensitive file system needs them);
// only the comparison folds case. A missing folder adds nothing. Lets pending
// window messages run before each entry (window may be null).
void FindRuleFiles(std::string_view folder, std::string_view extension, LineList& list,
                   MainWindow* window);

// Finds the rule files of one kind in "HtmClear" and, for each in order, lets
// pending window messages run, loads it and hands its lines to apply. The
// folder is searched anew on every call, so a rule edited during a build takes
// effect for the next article. Fails with "Cannot open file %s".
void ForEachRuleFile(std::string_view extension, MainWindow& window,
                     const std::function<void(const LineList& rule)>& apply);

// Rule lines [first, end) as a fragment in the article's normalised form, so a
// fragment may be written on one line or many, in any letter case and spacing.
LineList NormalisedFragment(const LineList& rule, int first, int end);
// The same after the issue-number token of every line is replaced by the
// current issue number (replace and insert rules only).
LineList NormalisedFragmentWithIssueNumber(const LineList& rule, int first, int end,
                                           const MainWindow& window);

}  // namespace tavex
