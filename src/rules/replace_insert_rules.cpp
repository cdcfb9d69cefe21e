// Replace rules (".cha") and insert rules (".ins"): the passes that change or
// add content. Their fragments get the issue number in place of the token
// "#x1" before they are normalised, so a rule can put it into the article.
#include <string_view>

#include "app/main_window.h"
#include "clean/line_helpers.h"
#include "platform/failure.h"
#include "platform/text.h"
#include "rules/fragment_edits.h"
#include "rules/rule_files.h"
#include "rules/rule_passes.h"

namespace tavex {
namespace {

constexpr std::string_view kReplaceMarker = "<<*>>";
constexpr std::string_view kPositionMarker = "<*>";
constexpr std::string_view kAfterAnchor = "<>*";
constexpr std::string_view kBeforeAnchor = "*<>";
// The position form reads at most this many characters after "<*>".
constexpr size_t kPositionTextLength = 255;

std::string_view FirstThree(const std::string& line) {
  return std::string_view(line).substr(0, 3);
}

// Find fragment: the lines before the first line equal to "<<*>>";
// replacement: the lines after it, none when there is no such line. Answers
// the marker's line from 1 (1 without a marker).
int ApplyReplaceRule(LineList& article, const LineList& rule, MainWindow& window) {
  // The first line is read before anything else, so an empty file fails on it.
  if (rule.empty()) throw ListIndexOutOfBounds(0);
  int m = 0;
  while (m < LineCount(rule) && rule[m] != kReplaceMarker) ++m;
  const LineList find = NormalisedFragmentWithIssueNumber(rule, 0, m, window);
  const LineList replacement =
      NormalisedFragmentWithIssueNumber(rule, m + 1, LineCount(rule), window);
  ReplaceBlockEverywhere(article, find, replacement, &window);
  return m < LineCount(rule) ? m + 1 : 1;
}

// Position form: line 0 is "<*>" and a line index, the rest is the fragment.
// Anchor form: the anchor, a marker line beginning with "*<>" or "<>*", the
// fragment. Only a marker line that is exactly "<>*" inserts after the anchor;
// "<>*" with anything behind it inserts before, like "*<>". Answers the
// marker's line from 1 (line 1 in the position form).
int ApplyInsertRule(LineList& article, const LineList& rule, MainWindow& window) {
  if (rule.empty()) throw ListIndexOutOfBounds(0);
  int m = 0;
  int position = 0;
  if (FirstThree(rule[0]) == kPositionMarker) {
    position = ParseInt(std::string_view(rule[0]).substr(3, kPositionTextLength));
  } else {
    for (;; ++m) {
      if (m >= LineCount(rule)) throw ListIndexOutOfBounds(m);
      if (FirstThree(rule[m]) == kBeforeAnchor || FirstThree(rule[m]) == kAfterAnchor) break;
    }
  }
  const LineList fragment = NormalisedFragmentWithIssueNumber(rule, m + 1, LineCount(rule), window);
  // Nothing before the marker: the fragment goes to the top, whatever the
  // marker says.
  if (m == 0) {
    InsertBlockIfAbsent(article, fragment, position, &window);
    return 1;
  }
  const LineList anchor = NormalisedFragmentWithIssueNumber(rule, 0, m, window);
  int p = 0;
  if (!FindBlock(0, article, anchor, p, &window)) return m + 1;
  if (rule[m] == kAfterAnchor) p += LineCount(anchor);
  InsertBlockIfAbsent(article, fragment, p, &window);
  return m + 1;
}

}  // namespace

void ApplyReplaceRules(LineList& article, MainWindow& window, TRuleFolder* rules) {
  ForEachRuleFile(
      ".cha", window, [&](const LineList& rule) { return ApplyReplaceRule(article, rule, window); },
      rules, &article);
}

void ApplyInsertRules(LineList& article, MainWindow& window, TRuleFolder* rules) {
  ForEachRuleFile(
      ".ins", window, [&](const LineList& rule) { return ApplyInsertRule(article, rule, window); },
      rules, &article);
}

}  // namespace tavex
