// Content table selection: keeps the page's head and the table that holds the
// article's text, with the tables that pass the keep rules, and empties
// link-heavy tables and cells.
#pragma once

#include "clean/line_list.h"

namespace tavex {

class MainWindow;

// Changes the article in place. Reads PreferFewerLinks, the cut and keep
// switches and their thresholds from the window when each step runs.
//
// The result is the head (down to the "</head>" line), the kept tables in page
// order and "</html>", without empty lines except the cell and row pairs with
// nothing between them, which stay as empty lines. The body outside all tables
// counts as one more table that wraps it. A list without a "</head>" line
// (after normalising) is left exactly as it is, and so is the list when the
// pass fails. Fails with "'%s' is not a valid integer value" when
// CutCellsThreshold is needed and is not a whole number.
//
// Time grows with the number of lines times its logarithm plus the size of
// the page in characters, also on pages full of unclosed tables or cells and
// on deeply nested tables; memory is a few words per line.
void SelectContentTable(LineList& article, MainWindow& window);

}  // namespace tavex
