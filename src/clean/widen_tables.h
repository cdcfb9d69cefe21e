// Table widening: tables and text-class tags take the whole width of the
// help viewer's page instead of the fixed width the site laid them out for.
#pragma once

#include "clean/line_list.h"

namespace tavex {

// On every tag line that contains "<table", "class=text" or "class="text"",
// the value of the first "width=" becomes "100%" in double quotes. The value
// ends at the first space after it, or at the first ">" when no space follows
// (at the end of the line when neither does). Lines are changed in place;
// their number stays.
void WidenTableTags(LineList& article);

}  // namespace tavex
