// The site's name off an article's title.
//
// Saved pages title themselves "Взрыв на химзаводе | РИА Новости": the
// navigation page, the heading and the book's contents would repeat the
// site's name for every article. The name is cut only where the page itself
// states it, so no guess ever shortens a real title.
#pragma once

#include <string>
#include <vector>

#include "clean/line_list.h"

namespace tavex {

// The site names a normalised page states: the content of its meta tags
// og:site_name and application-name, in page order (lower-case, as the
// normalisation leaves attribute values).
std::vector<std::string> StatedSiteNames(const LineList& article);

// The title without a stated site name standing at its start or its end,
// parted from the rest by " | ", " - ", " — ", " :: " or " « " (the dash and
// the quote also written as "&mdash;" and "&laquo;"). Letter case is ignored
// when the name is compared (Windows-1251 folding). A title that would be left
// empty, or that names no stated site at either end, comes back unchanged.
std::string TrimSiteName(const std::string& title, const LineList& article);

}  // namespace tavex
