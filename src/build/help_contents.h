// The issue's entry in the help project's contents, IssuesRoot + "\Table of
// Contents.hhc" (a sitemap of nested UL lists of OBJECT items).
#pragma once

#include <string_view>

#include "clean/line_list.h"

namespace tavex {

class MainWindow;

inline constexpr const char* kContentsFile = "Table of Contents.hhc";

// The 5 lines that close the previous group's list and open the group of ten
// issues starting at this one ("11-20" for number text "11" and value 11).
LineList GroupHeaderBlock(std::string_view number_text, int number);
// The 4 lines of the issue's own item, pointing at index_page, named by the
// number's text, or by the issue's title ("Tavex №5") when titled.
LineList IssueEntryBlock(std::string_view number_text, std::string_view index_page,
                         bool titled = false);

// Adds the issue (IssueNumber, IndexPagePath) after the last "</OBJECT>" line
// of the contents file, opening a new group first when the number ends in "1".
// A header or entry that is already in the file is not added again, so a
// second run of the same issue leaves the file as it was. With TitledContents
// on the entry is named by the issue's title; an item of the same start page
// under the other name (a run before the switch changed) is renamed in place
// rather than listed twice. The file is written
// whole to a temporary file and moved over the old one. Fails with "Cannot
// open file %s" / "Cannot create file %s".
void AddIssueToContents(MainWindow& window);

}  // namespace tavex
