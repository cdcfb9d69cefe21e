// The content-table pass, in nine steps:
//   1. normalise the list and wrap the body in a table of the pass's own;
//   2. discover every table and its closing line, emptying closing cell and
//      row tags that nothing opened;
//   3. rank the tables by their own text: the first with the most wins;
//   4. empty link-heavy leaf tables outside the winner;
//   5. empty link-heavy cells and cells with neither text nor picture;
//   6. take the head;
//   7. take the tables that the keep rules keep (6 and 7 move the lines up
//      within the list, which becomes the article);
//   8. close the page;
//   9. empty the cell and row pairs with nothing between them.
// Emptied lines stay in the list until step 7, so line indices hold still.
#include "clean/content_table.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/main_window.h"
#include "clean/line_helpers.h"
#include "clean/table_measure.h"
#include "platform/text.h"

namespace tavex {

namespace {

// The table register: one entry per line containing "<table", in line order.
// It has no fixed size limit; each entry costs a few bytes.
using TTableRegister = std::vector<TTableSpan>;

// Emptying keeps the lines in the list, so indices do not move.
void EmptyLines(LineList& lines, int first, int last) {
  for (int i = first; i <= last; ++i) lines[i].clear();
}

// ---------------------------------------------------------------------------
// Table discovery support.
//
// Discovery scans every table from its opening line on, with the nesting count
// and two counters (open cells, open rows) that run on from one scan to the
// next. Walking the lines of each scan makes a page with thousands of unclosed
// tables quadratic, as each of them scans to the end of the list. The three
// counts are therefore kept as per-line steps in trees that answer "where does
// this count, started here at this value, first fall below 0?" in logarithmic
// time and take a changed line in logarithmic time too.

// What one line does to a count that never goes below 0: Rise is the change
// over the line, Low the lowest point reached within it relative to its start
// (never above 0).
struct TStep {
  int Rise = 0;
  int Low = 0;
};

// The steps of all lines in a binary tree whose every node holds the joined
// step of the lines below it.
class TCountTree {
 public:
  explicit TCountTree(const std::vector<TStep>& steps) {
    while (size_ < static_cast<int>(steps.size())) size_ *= 2;
    nodes_.assign(2 * static_cast<size_t>(size_), TStep{});
    std::copy(steps.begin(), steps.end(), nodes_.begin() + size_);
    for (int node = size_ - 1; node >= 1; --node)
      nodes_[node] = Join(nodes_[2 * node], nodes_[2 * node + 1]);
  }

  void Set(int line, TStep step) {
    int node = size_ + line;
    nodes_[node] = step;
    for (node /= 2; node >= 1; node /= 2)
      nodes_[node] = Join(nodes_[2 * node], nodes_[2 * node + 1]);
  }

  // Runs the count from value over the lines from..to. Returns the first line
  // at which it falls below 0, value being what it was just before that line,
  // or -1 when it never does, value being what it is after line to.
  int FirstFall(int from, int to, int64_t& value) const {
    if (from > to) return -1;
    return FirstFall(1, 0, size_ - 1, from, to, value);
  }

 private:
  static TStep Join(TStep a, TStep b) { return {a.Rise + b.Rise, std::min(a.Low, a.Rise + b.Low)}; }

  int FirstFall(int node, int lo, int hi, int from, int to, int64_t& value) const {
    if (hi < from || lo > to) return -1;
    if (from <= lo && hi <= to && value + nodes_[node].Low >= 0) {
      value += nodes_[node].Rise;
      return -1;
    }
    if (lo == hi) return lo;
    const int mid = lo + (hi - lo) / 2;
    const int fall = FirstFall(2 * node, lo, mid, from, to, value);
    return fall >= 0 ? fall : FirstFall(2 * node + 1, mid + 1, hi, from, to, value);
  }

  int size_ = 1;              // leaves: a power of two, at least the number of lines
  std::vector<TStep> nodes_;  // node k covers nodes 2k and 2k + 1; leaves from size_
};

// The nesting count of a table's scan starts at 0 and the table closes at the
// first line containing "</table" while it is 0, that is where the count would
// fall below 0. A line with both "<table" and "</table" closes the table at
// count 0 and changes nothing deeper down, hence its dip.
TStep NestingStep(std::string_view line) {
  const bool opens = LineContains(line, "<table");
  const bool closes = LineContains(line, "</table");
  if (opens && closes) return {0, -1};
  if (opens) return {1, 0};
  if (closes) return {-1, -1};
  return {};
}

// An open-cell or open-row counter; a closing tag that would take it below 0
// is emptied instead.
TStep CounterStep(std::string_view line, std::string_view opening, std::string_view closing) {
  if (LineBeginsWith(line, opening)) return {1, 0};
  if (LineBeginsWith(line, closing)) return {-1, -1};
  return {};
}
TStep CellStep(std::string_view line) {
  return CounterStep(line, "<td", "</td");
}
TStep RowStep(std::string_view line) {
  return CounterStep(line, "<tr", "</tr");
}

// A count tree over the lines whose step is not zero (the lines of table,
// cell and row tags, a small share of a page): lines that change nothing add
// nothing to a count, so leaving them out answers every question the same,
// and the tree of a 50 MB page stays small.
class TSparseCountTree {
 public:
  template <typename StepOf>
  TSparseCountTree(const LineList& lines, StepOf step_of) : tree_(Steps(lines, step_of)) {}

  // As TCountTree: line indices of the list, from..to inclusive.
  int FirstFall(int from, int to, int64_t& value) const {
    const int first = EventAtOrAfter(from);
    const int last = EventAtOrAfter(to + 1) - 1;
    const int fall = tree_.FirstFall(first, last, value);
    return fall < 0 ? -1 : lines_[fall];
  }

  // Only ever clears a line; a line without a step has nothing to clear.
  void Clear(int line) {
    const int event = EventAtOrAfter(line);
    if (event < static_cast<int>(lines_.size()) && lines_[event] == line) tree_.Set(event, {});
  }

 private:
  template <typename StepOf>
  std::vector<TStep> Steps(const LineList& lines, StepOf step_of) {
    std::vector<TStep> steps;
    for (int i = 0; i < LineCount(lines); ++i) {
      const TStep step = step_of(lines[i]);
      if (step.Rise == 0 && step.Low == 0) continue;
      steps.push_back(step);
      lines_.push_back(i);
    }
    return steps;
  }

  // Index of the first event line at or after line.
  int EventAtOrAfter(int line) const {
    return static_cast<int>(std::lower_bound(lines_.begin(), lines_.end(), line) - lines_.begin());
  }

  std::vector<int> lines_;  // the lines with a step, ascending; filled before tree_
  TCountTree tree_;
};

// Step 2. Each table's scan covers the lines after its opening line up to,
// not including, its closing line (to the end of the list when it has none).
// A closing cell or row tag met while its counter is 0 is emptied. Emptying
// happens only to lines the scan has already passed, so the closing line found
// before the scan stays valid; later scans see the emptied lines.
class TTableDiscovery {
 public:
  explicit TTableDiscovery(LineList& lines)
      : lines_(lines),
        nesting_(lines, NestingStep),
        cells_(lines, CellStep),
        rows_(lines, RowStep) {}

  TTableRegister Run() {
    TTableRegister tables;
    const int n = LineCount(lines_);
    for (int i = 0; i < n; ++i) {
      if (!LineContains(lines_[i], "<table")) continue;  // perhaps emptied by an earlier scan
      TTableSpan table;
      table.FirstLine = i;
      int64_t nesting = 0;
      const int closing = nesting_.FirstFall(i + 1, n - 1, nesting);
      if (closing >= 0) table.LastLine = closing;
      const int last_scanned = closing >= 0 ? closing - 1 : n - 1;
      RunCounter(cells_, open_cells_, i + 1, last_scanned);
      RunCounter(rows_, open_rows_, i + 1, last_scanned);
      tables.push_back(table);
    }
    return tables;
  }

 private:
  // A line that begins with "</td" cannot begin with "<tr" or "</tr" (and the
  // other way round), so running the two counters one after the other over a
  // scan gives what running them together line by line gives.
  void RunCounter(TSparseCountTree& counter, int64_t& open, int from, int to) {
    while (from <= to) {
      const int fall = counter.FirstFall(from, to, open);
      if (fall < 0) return;
      EmptyLine(fall);  // the counter stays at 0
      from = fall + 1;
    }
  }

  void EmptyLine(int line) {
    lines_[line].clear();
    nesting_.Clear(line);
    cells_.Clear(line);
    rows_.Clear(line);
  }

  LineList& lines_;
  TSparseCountTree nesting_;
  TSparseCountTree cells_;
  TSparseCountTree rows_;
  int64_t open_cells_ = 0;  // not reset between tables
  int64_t open_rows_ = 0;
};

// ---------------------------------------------------------------------------
// The steps of the pass.

// Step 1 (after normalising): a table around the body, so that the text
// outside all of the page's own tables is measured like a table. head_end is
// the "</head>" line.
void InsertWrapperTable(LineList& lines, int head_end) {
  lines.insert(lines.begin() + head_end + 1, "<table>");
  int page_end = FindLine("</html>", lines);
  if (page_end == 0) page_end = LineCount(lines) - 1;
  lines.insert(lines.begin() + page_end, "</table>");
}

// Step 3: the content table is the first entry with the most text.
int RankTables(const LineList& lines, TTableRegister& tables, const MainWindow& window) {
  const TNestingIndex nesting(lines);
  int content = -1;
  int64_t most = 0;
  for (int k = 0; k < static_cast<int>(tables.size()); ++k) {
    const int64_t text_length = MeasureTable(lines, tables[k], window, nesting);
    if (content < 0 || text_length > most) {
      content = k;
      most = text_length;
    }
  }
  return content;
}

// Step 4: empties leaf tables outside the content table with little text per
// link. Emptying changes lines, so these measurements walk the lines instead
// of using a nesting index. The leaf test stops at the first "<table" line and
// a leaf holds none, so each table costs at most the lines up to the next
// table's opening line: linear in all.
void CutLinkHeavyTables(LineList& lines, TTableRegister& tables, int content,
                        const MainWindow& window) {
  const int content_first = tables[content].FirstLine;
  const int content_last = tables[content].LastLine;
  for (int k = 0; k < static_cast<int>(tables.size()); ++k) {
    TTableSpan& table = tables[k];
    if (k == content) continue;
    if (table.FirstLine >= content_first && table.FirstLine <= content_last) continue;
    if (!IsLeafTable(lines, table)) continue;
    const int64_t text_length = MeasureTable(lines, table, window);
    const double ratio = static_cast<double>(text_length) / static_cast<double>(table.Links);
    const int threshold = ParseInt(window.FieldText(Field::CutTablesThreshold));
    if (ratio < threshold && table.Links > 1) EmptyLines(lines, table.FirstLine, table.LastLine);
  }
}

// The line that decides a cell: a tag line other than a picture that begins
// with "<table" (the cell is kept) or contains "</td>" (the cell is judged).
bool IsCellEnd(std::string_view line) {
  return IsTagLine(line) && !LineBeginsWith(line, "<img") &&
         (LineBeginsWith(line, "<table") || LineContains(line, "</td>"));
}

bool IsCellLink(std::string_view line) {
  return LineContains(line, "href=") && !LineContains(line, ".gif") && !LineContains(line, ".jpg");
}

// Step 5: empties the cells with little text per link, and those with neither
// text nor picture. Every line containing "<td" starts a cell, also inside an
// unclosed cell. A cut empties the lines from the cell's "<td" line to its end,
// and later cells start below that end, so every cell reads the lines as they
// were when the step began: one pass of running totals and of "next cell end"
// answers each cell at once instead of walking it.
void CutLinkHeavyCells(LineList& lines, const MainWindow& window) {
  const int n = LineCount(lines);
  // Totals over the lines before line k.
  std::vector<int64_t> text(n + 1, 0), links(n + 1, 0), pictures(n + 1, 0);
  for (int k = 0; k < n; ++k) {
    const std::string& line = lines[k];
    const bool picture = LineBeginsWith(line, "<img");
    text[k + 1] = text[k] + (IsTextLine(line) ? static_cast<int64_t>(line.size()) : 0);
    links[k + 1] = links[k] + (IsCellLink(line) ? 1 : 0);
    pictures[k + 1] = pictures[k] + (picture ? 1 : 0);
  }
  std::vector<int> end_after(n, -1);  // the first cell end below each line, -1 when none
  for (int k = n - 1, upcoming = -1; k >= 0; --k) {
    end_after[k] = upcoming;
    if (IsCellEnd(lines[k])) upcoming = k;
  }
  for (int i = 0; i < n; ++i) {
    if (!LineContains(lines[i], "<td")) continue;
    const int end = end_after[i];
    if (end < 0) continue;                               // the list ends first: nothing is cut
    if (LineBeginsWith(lines[end], "<table")) continue;  // a cell that holds a table stays
    // The end line is a tag line other than a picture: only its link counts.
    const int64_t cell_text = text[end] - text[i + 1];
    const int64_t cell_links = 1 + links[end + 1] - links[i + 1];
    const int64_t cell_pictures = pictures[end] - pictures[i + 1];
    const int threshold = ParseInt(window.FieldText(Field::CutCellsThreshold));
    if ((cell_text / cell_links < threshold && cell_links > 1) ||
        (cell_text == 0 && cell_pictures == 0))
      EmptyLines(lines, i, end);
  }
}

// The keep rules of step 7, in their order. The measurement of rule 2 updates
// the entry, so rule 3 reads the most recent figures in every case.
bool IsKept(const LineList& lines, TTableSpan& table, bool is_content, bool keep_rich,
            const MainWindow& window, const TNestingIndex& nesting) {
  if (is_content) return true;
  if (keep_rich) {
    const int64_t text_length = MeasureTable(lines, table, window, nesting);
    if (text_length / table.Links > ParseInt(window.FieldText(Field::KeepTablesThreshold)))
      return true;
  }
  return table.PictureArea > 100000 && table.Links == 1;
}

// Step 7: the tables the keep rules keep, as spans of lines (first, last) in
// page order. A kept table is taken whole with the tables nested in it, which
// are not examined again. The last line of the list is never examined.
using TLineSpans = std::vector<std::pair<int, int>>;
TLineSpans KeptTables(const LineList& lines, TTableRegister& tables, int content,
                      const MainWindow& window) {
  const int n = LineCount(lines);
  std::vector<int> table_at(n, -1);  // register entry opening at each line
  for (int k = 0; k < static_cast<int>(tables.size()); ++k) table_at[tables[k].FirstLine] = k;
  const bool keep_rich = window.IsChecked(Switch::KeepTablesAboveRatio);
  const TNestingIndex nesting(lines);  // the lines no longer change
  TLineSpans spans;
  for (int i = 0; i < n - 1;) {
    const int k = table_at[i];
    // A kept table without a closing line takes nothing and the walk goes on.
    if (k >= 0 && IsKept(lines, tables[k], k == content, keep_rich, window, nesting) &&
        tables[k].LastLine > i) {
      spans.emplace_back(i, tables[k].LastLine);
      i = tables[k].LastLine + 1;
    } else {
      ++i;
    }
  }
  return spans;
}

// Steps 6 and 7 together: the list becomes its head, the lines down to the
// first "</head>" line at head_end, followed by the kept spans, all without
// empty lines. The lines are moved, not copied; when every span lies below
// the head, as it does on every sane page, they are moved up within the list
// itself, so no second list of a large page is ever built.
void TakeKeptLines(LineList& lines, int head_end, const TLineSpans& spans) {
  TLineSpans taken = {{0, head_end}};
  taken.insert(taken.end(), spans.begin(), spans.end());
  const bool in_order = spans.empty() || spans.front().first > head_end;
  LineList kept;  // only for a table that starts in the head
  int w = 0;
  for (const auto& [first, last] : taken) {
    for (int j = first; j <= last; ++j) {
      if (lines[j].empty()) continue;
      if (!in_order) {
        kept.push_back(lines[j]);  // a line may be taken twice: copied
      } else if (w++ != j) {
        lines[w - 1] = std::move(lines[j]);
      }
    }
  }
  if (in_order) {
    lines.resize(w);
  } else {
    lines = std::move(kept);
  }
}

// Step 9: cell and row pairs with nothing between them become empty lines, in
// one pass from the top.
void EmptyPairs(LineList& lines) {
  for (int j = 0; j + 1 < LineCount(lines); ++j) {
    const std::string& line = lines[j];
    const std::string& next = lines[j + 1];
    if ((LineBeginsWith(line, "<td") && LineBeginsWith(next, "</td")) ||
        (LineBeginsWith(line, "<tr") && LineBeginsWith(next, "</tr")))
      EmptyLines(lines, j, j + 1);
  }
}

}  // namespace

void SelectContentTable(LineList& article, MainWindow& window) {
  // An article in normalised form, as the pipeline hands it over, is worked
  // on in place, so a page of 50 MB is not held twice; a failure (a threshold
  // that is not a number) ends the run, and the article in progress is never
  // written. Any other list is worked on as a normalised copy, so that one
  // the pass does not handle stays exactly as it was.
  std::optional<LineList> copy;
  if (!IsNormalised(article)) SplitTagsToLines(copy.emplace(article));
  LineList& lines = copy ? *copy : article;
  const int head_end = FindLine("</head>", lines);
  // Without a head end the head would take in the whole page and the kept
  // tables would follow it a second time: such an article stays as it is.
  if (head_end == 0 || lines[head_end] != "</head>") return;

  InsertWrapperTable(lines, head_end);
  TTableRegister tables = TTableDiscovery(lines).Run();
  const int content = RankTables(lines, tables, window);
  // The wrapper's opening line is never emptied, so the register is never empty.
  if (content >= 0 && window.IsChecked(Switch::CutTablesBelowRatio))
    CutLinkHeavyTables(lines, tables, content, window);
  if (window.IsChecked(Switch::CutCellsBelowRatio)) CutLinkHeavyCells(lines, window);

  TakeKeptLines(lines, head_end, KeptTables(lines, tables, content, window));
  lines.push_back("</html>");  // step 8
  EmptyPairs(lines);
  if (copy) article = std::move(*copy);
}

}  // namespace tavex
