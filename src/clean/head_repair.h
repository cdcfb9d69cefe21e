// The two structural steps that follow normalisation: head repair and the
// cutting of scripts and links. Both work on a normalised line list in place.
#pragma once

#include "clean/line_list.h"

namespace tavex {

// Makes sure the page has "<head>", "</head>" and a closing "</html>", so that
// the heading step and the content table always find a head to work after.
// The tests go through FindLine, which reads a match on line 0 as absent: a
// page whose first line is "<html>" gets a second "</html>", and one whose
// first line is "<head>" gets a second "<head>". The inserted lines go before
// the "<html>" line when there is one. The saved issues depend on this form.
void RepairHead(LineList& article);

// Removes every "<link" line except the last line of the list, and every
// script from its "<script" line through the first line that contains
// "</script". The last line of the list is never removed, so a script left
// open removes everything up to the line before the last. One pass, linear.
void CutScriptsAndLinks(LineList& article);

}  // namespace tavex
