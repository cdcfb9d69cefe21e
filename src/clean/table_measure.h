// Table measure: how much text, how many links and how much picture area one
// table of a normalised article holds by itself.
//
// Lines are indexed from 0. A tag line is a line whose first character is "<";
// every other line is a text line, an emptied line included (length 0). All
// line tests respect letter case: the list is normalised, so tags are already
// lower-case.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "clean/line_list.h"

namespace tavex {

class MainWindow;

// One entry of the content-table register.
struct TTableSpan {
  int FirstLine = 0;  // the line that opens the table (contains "<table")
  int LastLine = 0;   // the line that closes it (contains "</table"), 0 when none was found
  // One plus the link lines of the last measurement, so never 0 and safe as a
  // divisor; 1 means no link line.
  int64_t Links = 1;
  // One plus the sum of width x height (pixels) of the last measurement's
  // pictures; 1 means none. 64 bits, and the sum saturates, so absurd picture
  // sizes cannot wrap around into a negative area.
  int64_t PictureArea = 1;
};

// Case-significant line tests shared by the measure and the content-table pass.
inline bool LineContains(std::string_view line, std::string_view literal) {
  return line.find(literal) != std::string_view::npos;
}
inline bool LineBeginsWith(std::string_view line, std::string_view literal) {
  return line.starts_with(literal);
}
inline bool IsTagLine(std::string_view line) {
  return !line.empty() && line[0] == '<';
}
inline bool IsTextLine(std::string_view line) {
  return !IsTagLine(line);
}

// For a list whose lines do not change, where each line's next line at the
// same table depth lies, so that a measurement skips a nested table in one
// step instead of walking its lines. Building it is linear in the list; it
// must be built again once a line has changed.
class TNestingIndex {
 public:
  explicit TNestingIndex(const LineList& lines);
  // The first line after line at which the depth is again what it was just
  // before line; the number of lines when there is none.
  int NextAtSameDepth(int line) const { return next_[line]; }

 private:
  std::vector<int> next_;
};

// The value of an attribute in a tag line. name includes its equals sign
// ("width="); its first occurrence anywhere in the line counts. The value runs
// to the first space, or without one to the first ">", double quotes removed,
// and must be a decimal whole number with an optional sign; anything else
// (missing, "100%", single quotes) gives 0.
int32_t AttributeNumber(std::string_view name, std::string_view line);

// Measures the table's own lines, FirstLine + 1 to LastLine, skipping the
// lines of tables nested in it (their opening line still counts, as a tag
// line). Returns the length in characters of its text lines and rewrites
// span.Links and span.PictureArea. With PreferFewerLinks on (read from the
// window now) a text line that is the visible text of a link adds nothing.
// A table without a closing line measures 0, Links 1, PictureArea 1.
int64_t MeasureTable(const LineList& lines, TTableSpan& span, const MainWindow& window);
// The same, skipping nested tables through an index built on these lines.
int64_t MeasureTable(const LineList& lines, TTableSpan& span, const MainWindow& window,
                     const TNestingIndex& nesting);

// True when the table has a closing line and none of its lines after the
// opening one contains "<table".
bool IsLeafTable(const LineList& lines, const TTableSpan& span);

}  // namespace tavex
