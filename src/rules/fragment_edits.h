// The edits the rule passes make with a fragment: remove it everywhere, replace
// it everywhere, insert it unless present. Fragments and articles are line
// lists in normalised form; lines match whole and exactly, letter case included.
// Line indices are 0-based. Each edit is linear in the article's length for a
// fixed fragment: the article is rebuilt in one pass instead of erasing and
// inserting in the middle of the list occurrence by occurrence.
#pragma once

#include "clean/line_list.h"

namespace tavex {

class MainWindow;

// Normalises fragment, then removes its occurrences scanning from line 0: after
// a removal at line i the next start checked is i + 1, so the line that moved
// up into i is not checked. Of two copies back to back only the first goes. A
// fragment empty after normalisation removes nothing.
void DeleteBlockEverywhere(LineList& article, LineList fragment);

// Replaces every occurrence of find by replacement, also the occurrences that
// a replacement forms with the lines around it: the result is the one that
// searching again from line 0 after every replacement gives. Instead of that
// quadratic search it resumes at the earliest line where a new occurrence
// could start, (first line of the replacement) - (lines of find) + 1, as no
// occurrence above that line can have been formed. Two rules that would repeat
// forever are bounded: an empty find changes nothing, and a replacement that
// holds find itself is applied in one pass from the top that resumes after the
// lines it just inserted. A rule that still never ends (its replacements keep
// forming new occurrences further down) fails once the article has grown past
// 50 times its lines plus a million. Lets pending window messages run now and
// then (window may be null).
void ReplaceBlockEverywhere(LineList& article, const LineList& find, const LineList& replacement,
                            MainWindow* window);

// Does nothing when fragment occurs anywhere in the article (an empty fragment
// always does). Otherwise inserts it so that its first line gets position, 0 to
// the article's line count (the count appends). Any other position fails with
// "List index out of bounds (%d)" giving the position.
void InsertBlockIfAbsent(LineList& article, const LineList& fragment, int position,
                         MainWindow* window);

}  // namespace tavex
