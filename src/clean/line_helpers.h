// The small routines every pass shares over line lists.
//
// Indices are 0-based line numbers; a character position inside a line counts
// from 1 where a routine speaks of one. Every routine is linear in the size of
// its input: a page can be 10 MB on one line.
#pragma once

#include <string>
#include <string_view>

#include "clean/line_list.h"

namespace tavex {

class MainWindow;

// Index of the first line equal to text with letter case folded (no trimming,
// no partial match). Answers 0 also when no line is equal: callers treat 0 as
// absent, so a match on line 0 reads as no match. That quirk is relied upon.
int FindLine(std::string_view text, const LineList& lines);

// Whether block occurs in lines at or after start, comparing line by line
// exactly. found is the first line of the first occurrence, 0 when none. A
// block of no lines matches at start itself, when start is a valid candidate.
// Lets the window's pending messages run every few milliseconds of searching
// (window may be null).
bool FindBlock(int start, const LineList& lines, const LineList& block, int& found,
               MainWindow* window = nullptr);

// Inserts the block so that its first line gets the index.
void InsertBlock(int index, LineList& lines, const LineList& block);

// Brings a list into normalised form: one tag or one run of text per line,
// tags lower-cased with no space after "<", text trimmed with single spaces, no
// blank lines. A tag spread over several lines is joined with one space. A tag
// still open at the end of the list leaves the whole list exactly as it was.
void SplitTagsToLines(LineList& lines);
// Whether the list is in that form already, so that SplitTagsToLines would
// leave it as it is. Reads each line once and allocates nothing.
bool IsNormalised(const LineList& lines);

// Trims characters up to code 32 from both ends and turns each run of spaces
// into one space; tabs and other control characters inside stay.
std::string SqueezeSpaces(std::string_view text);

// Deletes the first occurrence of what (case significant) until none is left,
// so a deletion that forms a new occurrence removes that one too.
void RemoveAllOccurrences(std::string_view what, std::string& text);

// Replaces every issue-number token ("#x" in either case plus the one character
// after it; only "#x" at the very end) by the issue number. The inserted number
// is not searched again, so a number that itself holds "#x" cannot loop.
std::string SubstituteIssueNumber(std::string_view text, std::string_view issue_number);
// The same with the current text of the IssueNumber field.
std::string SubstituteIssueNumber(std::string_view text, const MainWindow& window);

}  // namespace tavex
