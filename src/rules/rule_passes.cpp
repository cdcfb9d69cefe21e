// PLACEHOLDER until the rule passes land: no rule changes anything.
#include "rules/rule_passes.h"

namespace tavex {

void ApplyCutRules(LineList&, MainWindow&) {}
void ApplyDeleteRules(LineList&, MainWindow&) {}
void ApplyReplaceRules(LineList&, MainWindow&) {}
void ApplyInsertRules(LineList&, MainWindow&) {}

}  // namespace tavex
