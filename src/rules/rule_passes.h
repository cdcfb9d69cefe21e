// The four passes over the editor's rule files in "HtmClear" (in the current
// folder) and its sub-folders. Each changes the article in place.
#pragma once

#include "clean/line_list.h"

namespace tavex {

class MainWindow;

void ApplyCutRules(LineList& article, MainWindow& window);      // ".bet"
void ApplyDeleteRules(LineList& article, MainWindow& window);   // ".txt"
void ApplyReplaceRules(LineList& article, MainWindow& window);  // ".cha"
void ApplyInsertRules(LineList& article, MainWindow& window);   // ".ins"

}  // namespace tavex
