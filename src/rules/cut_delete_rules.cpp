// Cut rules (".bet") and delete rules (".txt"): the passes that only remove
// lines from the article.
#include <array>

#include "app/main_window.h"
#include "clean/line_helpers.h"
#include "platform/failure.h"
#include "rules/fragment_edits.h"
#include "rules/rule_files.h"
#include "rules/rule_passes.h"

namespace tavex {
namespace {

// A cut marker reads as two arrows around the removed stretch "*": the left
// one says whether the start fragment goes with it ("<<") or stays (">>"), the
// right one the same for the end fragment (">>" goes, "<<" stays).
struct TCutMarker {
  const char* text;
  bool removes_start;
  bool removes_end;
};
constexpr std::array<TCutMarker, 4> kCutMarkers = {{
    {"<<*<<", true, false},
    {"<<*>>", true, true},
    {">>*<<", false, false},
    {">>*>>", false, true},
}};

// The marker a whole line equals exactly (no spaces around it), or null.
const TCutMarker* CutMarkerOf(const std::string& line) {
  for (const TCutMarker& marker : kCutMarkers)
    if (line == marker.text) return &marker;
  return nullptr;
}

// Acts once: on the first occurrence of the start fragment and the first
// occurrence of the end fragment at or below the start fragment's first line.
// Answers the marker's line, from 1.
int ApplyCutRule(LineList& article, const LineList& rule, MainWindow& window) {
  // Reading past the last line without meeting a marker is the rule's failure.
  int m = 0;
  const TCutMarker* marker = nullptr;
  for (;; ++m) {
    if (m >= LineCount(rule)) throw ListIndexOutOfBounds(m);
    if ((marker = CutMarkerOf(rule[m]))) break;
  }
  const int marker_line = m + 1;
  const LineList start = NormalisedFragment(rule, 0, m);
  int s = 0;
  if (!FindBlock(0, article, start, s, &window)) return marker_line;
  const LineList end = NormalisedFragment(rule, m + 1, LineCount(rule));
  int e = 0;
  if (!FindBlock(s, article, end, e, &window)) return marker_line;

  const int from = marker->removes_start ? s : s + LineCount(start);
  const int to = marker->removes_end ? e + LineCount(end) : e;
  if (to > from) article.erase(article.begin() + from, article.begin() + to);
  return marker_line;
}

}  // namespace

void ApplyCutRules(LineList& article, MainWindow& window, TRuleFolder* rules) {
  ForEachRuleFile(
      ".bet", window, [&](const LineList& rule) { return ApplyCutRule(article, rule, window); },
      rules, &article);
}

void ApplyDeleteRules(LineList& article, MainWindow& window, TRuleFolder* rules) {
  // A delete rule is its whole file: its rule starts on line 1.
  ForEachRuleFile(
      ".txt", window,
      [&](const LineList& rule) {
        DeleteBlockEverywhere(article, rule);
        return 1;
      },
      rules, &article);
}

}  // namespace tavex
