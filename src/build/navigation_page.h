// The issue's navigation page "frame\left.htm": the template "left.htm" from
// the working folder, filled in, with a heading block for every rubric and an
// article block for every article after its begin marker line.
//
// The review's Ok (dialog/apply_review.h) later takes blocks off the saved
// page again and relies on the exact block lines below.
#pragma once

#include <string>
#include <string_view>

#include "clean/line_list.h"

namespace tavex {

class MainWindow;

inline constexpr const char* kNavigationTemplate = "left.htm";
inline constexpr const char* kBeginMarker = "<!-- begin -->";

// The page while a run fills it. The inserted blocks form one contiguous
// stretch after the begin marker, so the page is kept as the lines up to the
// insertion point (blocks are appended there) and the template's lines after it.
struct TNavigationPage {
  LineList Lines;  // up to the insertion point, the blocks added so far included
  LineList Tail;   // the template's lines after the insertion point
};

// The 8-line rubric heading block; the name is its 4th line (index 3).
LineList RubricHeadingBlock(std::string_view name);
// The 9-line article block; the link markup is its 4th line (index 3) and the
// title its 5th (index 4).
LineList ArticleBlock(std::string_view title, std::string_view link_markup);

// The issue's title, as the navigation page's "mytitle" and the help
// contents (with TitledContents) give it: "Tavex №" + the number's text.
std::string IssueTitle(std::string_view number_text);

// Loads and fills the template: each line is lower-cased, gets the issue
// number for its "#x1" tokens, and its first "mytitle", "mynumer" and "mydate"
// replaced by "Tavex №" + number, the number and the short date (the inserted
// texts keep their case). Blocks go after the first line equal to the begin
// marker (letter case ignored), or after line 1 when there is none. Fails with
// "Cannot open file left.htm".
TNavigationPage PrepareNavigationPage(MainWindow& window);
void AddRubricHeading(TNavigationPage& page, std::string_view name);
void AddArticleLine(TNavigationPage& page, std::string_view title, std::string_view link_markup);
// The whole page as it will be saved.
LineList NavigationPageLines(const TNavigationPage& page);
// Writes TargetDir + "\frame\left.htm"; fails with "Cannot create file %s".
void SaveNavigationPage(const TNavigationPage& page, const MainWindow& window);

}  // namespace tavex
