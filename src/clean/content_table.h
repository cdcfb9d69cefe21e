// Content table selection: keeps the page's head and the table that holds the
// article's text, with the tables that pass the keep rules, and empties
// link-heavy tables and cells.
#pragma once

#include "clean/line_list.h"

namespace tavex {

class MainWindow;

// Changes the article in place. Reads PreferFewerLinks, the cut and keep
// switches and their thresholds from the window when each step runs.
void SelectContentTable(LineList& article, MainWindow& window);

}  // namespace tavex
