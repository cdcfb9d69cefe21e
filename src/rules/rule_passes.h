// The four passes over the editor's rule files in "HtmClear" (in the current
// folder) and its sub-folders. Each changes the article, a line list in
// normalised form, in place, applying its rule files in discovery order (see
// rules/rule_files.h), each to the article as the rules before it left it. A
// malformed rule file fails with "List index out of bounds (%d)" or "'%s' is
// not a valid integer value", an unreadable one with "Cannot open file %s";
// the failure names the rule file on its second line. rules, when given, is
// the article's listing of the rule folder, shared by its four passes;
// without it each pass lists the folder itself.
#pragma once

#include "clean/line_list.h"

namespace tavex {

class MainWindow;
class TRuleFolder;

// ".bet": removes the stretch between the first start fragment and the first
// end fragment at or below it, with or without the fragments as the marker says.
void ApplyCutRules(LineList& article, MainWindow& window, TRuleFolder* rules = nullptr);
// ".txt": removes the file's fragment wherever it occurs.
void ApplyDeleteRules(LineList& article, MainWindow& window, TRuleFolder* rules = nullptr);
// ".cha": replaces every occurrence of the find fragment by the replacement.
void ApplyReplaceRules(LineList& article, MainWindow& window, TRuleFolder* rules = nullptr);
// ".ins": inserts a fragment at a line or beside an anchor, unless present.
void ApplyInsertRules(LineList& article, MainWindow& window, TRuleFolder* rules = nullptr);

}  // namespace tavex
