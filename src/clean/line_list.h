// Line lists: the text of one file as ordered lines of Windows-1251 text.
//
// Lines are indexed from 0; character positions inside a line, where a routine
// speaks of them, count from 1. A file is split at CR LF, lone CR or lone LF,
// its text ending at the first NUL; a final line break adds no empty line. A
// list is saved with CR LF after every line, the last one included.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavex {

using LineList = std::vector<std::string>;

// The number of lines as a signed index, for arithmetic that may go below 0.
inline int LineCount(const LineList& lines) {
  return static_cast<int>(lines.size());
}

LineList SplitIntoLines(std::string_view text);
std::string JoinLines(const LineList& lines);

// Fails with "Cannot open file %s".
LineList LoadLines(std::string_view path);
// Writes the whole file, then moves it into place; fails with "Cannot create file %s".
void SaveLines(std::string_view path, const LineList& lines);

}  // namespace tavex
