// The book's cover: a page at the start of the reading order and a picture
// that a reader's library shows for the book.
//
// When the editor puts cover.jpg or cover.png (any letter case; cover.jpg
// first) into the working folder, that picture is the cover. Otherwise the
// book draws its own as an SVG picture (600 x 800 user units, a reader's
// cover proportions): the magazine's logo (Logo.gif of the working folder,
// when it holds a picture), the magazine's name "Tavex", the issue number and
// the issue date, the logo held inside the drawing (a reader shows the cover
// as a picture, and a picture loads no other file). The cover page shows the
// picture alone, with those texts as its alternative text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/main_window.h"
#include "epub/package_documents.h"

namespace tavex {

struct TBookCover {
  std::string body;                    // the cover page's body content (XHTML)
  std::vector<TBookPicture> pictures;  // its picture: the cover image
};

// The cover for an issue. working_folder is a path text (Windows-1251),
// issue_number the issue's number text as typed (Windows-1251).
TBookCover MakeBookCover(std::string_view working_folder, std::string_view issue_number,
                         const Date& issue_date);

// The date as a Russian reader writes it: "01.03.2026".
std::string CoverDate(const Date& date);

}  // namespace tavex
