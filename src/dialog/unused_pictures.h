// The pictures that the review's dropped articles leave behind in the
// issue's "images" folder.
#pragma once

#include <string>
#include <vector>

#include "build/article_table.h"

namespace tavex {

// The picture names (as in "images") a page file refers to: every
// "..\Images\NAME" in it, the folder's letter case and "\" or "/" as they
// come, NAME up to the next quote, blank or ">". Empty for a missing page.
std::vector<std::string> PicturesOfPage(const std::string& page_path);

// Removes from target_dir + "\images" each picture of `candidates` (names,
// the pictures the dropped pages referred to) that no page the issue keeps
// refers to: the pages of the table's included articles, the navigation page
// and the start page. The two fixed pictures and every other file stay.
void RemoveUnusedPictures(const std::string& target_dir, const std::vector<std::string>& candidates,
                          const ArticleTable& table);

}  // namespace tavex
