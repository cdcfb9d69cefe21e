#include "clean/table_measure.h"

#include <algorithm>
#include <limits>
#include <string>

#include "app/main_window.h"
#include "platform/text.h"

namespace tavex {

namespace {

// The table depth change of one line for a measurement: +1 when it contains
// "<table", then -1 when it contains "</table".
int TableDepthChange(std::string_view line) {
  return (LineContains(line, "<table") ? 1 : 0) - (LineContains(line, "</table") ? 1 : 0);
}

// A line opens a link when it holds "href=" or a form field ("input"), unless
// it names a ".gif" or ".jpg" picture or carries a "#" (page anchors, but also
// colour values).
bool IsLinkLine(std::string_view line) {
  return (LineContains(line, "href=") || LineContains(line, "input")) &&
         !LineContains(line, ".gif") && !LineContains(line, ".jpg") && !LineContains(line, "#");
}

// Whether text line i is the visible text of a link: the nearest line above it
// that is a text line or holds "href=" (line 0 at the latest) holds "href=".
// The walk may leave the table. Each walk stops at the previous text line, so
// the walks of one measurement cover every line at most once.
bool IsLinkText(const LineList& lines, int i) {
  int n = i - 1;
  while (n > 0 && IsTagLine(lines[n]) && !LineContains(lines[n], "href=")) --n;
  return LineContains(lines[n], "href=");
}

int64_t SaturatingAdd(int64_t a, int64_t b) {
  int64_t sum;
  if (!__builtin_add_overflow(a, b, &sum)) return sum;
  return b > 0 ? std::numeric_limits<int64_t>::max() : std::numeric_limits<int64_t>::min();
}

// The measurement itself; next(i) gives the line examined after line i.
template <typename NextLine>
int64_t Measure(const LineList& lines, TTableSpan& span, const MainWindow& window, NextLine next) {
  const bool prefer_fewer_links = window.IsChecked(Switch::PreferFewerLinks);
  span.Links = 1;
  span.PictureArea = 1;
  int64_t text_length = 0;
  const int last = std::min(span.LastLine, LineCount(lines) - 1);
  for (int i = span.FirstLine + 1; i <= last; i = next(i)) {
    const std::string& line = lines[i];
    // An empty line adds 0 either way, so it needs no look-back.
    if (IsTextLine(line) && !line.empty() && !(prefer_fewer_links && IsLinkText(lines, i)))
      text_length += static_cast<int64_t>(line.size());
    if (IsLinkLine(line)) ++span.Links;
    if (LineBeginsWith(line, "<img")) {
      const int64_t width = AttributeNumber("width=", line);
      span.PictureArea = SaturatingAdd(span.PictureArea, width * AttributeNumber("height=", line));
    }
  }
  return text_length;
}

bool IsDecimal(std::string_view value) {
  if (!value.empty() && (value[0] == '+' || value[0] == '-')) value.remove_prefix(1);
  if (value.empty()) return false;
  for (char c : value)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

TNestingIndex::TNestingIndex(const LineList& lines) {
  const int n = LineCount(lines);
  // depth[k]: the depth just before line k, counted from the top of the list.
  std::vector<int> depth(n + 1, 0);
  for (int k = 0; k < n; ++k) depth[k + 1] = depth[k] + TableDepthChange(lines[k]);
  // Walking up from the bottom, remember the nearest line below with each depth.
  std::vector<int> nearest(2 * static_cast<size_t>(n) + 1, n);
  next_.assign(n, n);
  for (int k = n - 1; k >= 0; --k) {
    int& slot = nearest[depth[k] + n];
    next_[k] = slot;
    slot = k;
  }
}

int32_t AttributeNumber(std::string_view name, std::string_view line) {
  const size_t at = line.find(name);
  if (at == std::string_view::npos) return 0;
  const std::string_view rest = line.substr(at + name.size());
  size_t end = rest.find(' ');
  if (end == std::string_view::npos) end = rest.find('>');
  if (end == std::string_view::npos) return 0;  // the value is empty
  std::string value;
  for (char c : rest.substr(0, end))
    if (c != '"') value += c;
  // The decimal form only: the system's number reading would also take "$1f".
  if (!IsDecimal(value)) return 0;
  return TryParseInt(value).value_or(0);
}

int64_t MeasureTable(const LineList& lines, TTableSpan& span, const MainWindow& window) {
  // Walk on from line i until the depth is back where it was before it.
  const int last = std::min(span.LastLine, LineCount(lines) - 1);
  return Measure(lines, span, window, [&lines, last](int i) {
    int depth = TableDepthChange(lines[i]);
    int j = i + 1;
    while (depth != 0 && j <= last) depth += TableDepthChange(lines[j++]);
    return j;
  });
}

int64_t MeasureTable(const LineList& lines, TTableSpan& span, const MainWindow& window,
                     const TNestingIndex& nesting) {
  return Measure(lines, span, window, [&nesting](int i) { return nesting.NextAtSameDepth(i); });
}

bool IsLeafTable(const LineList& lines, const TTableSpan& span) {
  if (span.FirstLine >= span.LastLine) return false;
  const int last = std::min(span.LastLine, LineCount(lines) - 1);
  for (int i = span.FirstLine + 1; i <= last; ++i)
    if (LineContains(lines[i], "<table")) return false;
  return true;
}

}  // namespace tavex
