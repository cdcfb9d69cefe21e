// build --list: what a build would make, rubric by rubric, before it runs.
#pragma once

#include <ostream>

#include "app/main_window.h"

namespace tavex::cli {

// For each rubric row, in grid order: a line with the row, its title and its
// folder (or why it has no articles), then a line per article file with the
// page it would become (0.htm, 1.htm, ... across the issue, numbered in
// listing order), its title as a reader sees it, and its source file; within a
// rubric the lines come in title order, as the navigation page has them. The titles come from
// cleaning each page as the build would, into a scratch folder of the system's
// temporary folder that is removed again: the working folder, the source and
// the target are not written. The folder fields are resolved as a run does.
void ListIssue(MainWindow& window, std::ostream& out);

}  // namespace tavex::cli
