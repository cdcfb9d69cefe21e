// The article block: the part of a page that holds its article, whatever the
// layout.
//
// The content-table pass judges tables by their text alone; a page built of
// div, section and article elements gives it nothing to choose, and on a news
// portal the table it chooses holds the article together with columns of
// other headlines, "read also" lists, tag clouds, comments and the footer.
// This pass, run after it, looks at the page as it stood before the table
// pass, chooses the block that holds the article among table cells and
// div-like blocks alike, and keeps the head, that block without what is never
// article text, and the page's centred heading; or, where the table pass
// chose well, its result without that clutter.
//
// Lines are indexed from 0; text lengths are in characters (bytes of
// Windows-1251 text). The list is in the normalised form: one lower-case tag
// or one run of text per line.
#pragma once

#include <string_view>

#include "clean/line_list.h"

namespace tavex {

// before_tables is the article as it stood before the content-table pass (the
// same list when that pass did not run); article is its result, changed in
// place. title is the article's title (the heading of the block is looked for
// by it; empty: none).
//
// The block is chosen by its paragraphs (clean/block_score.h): article text
// is a paragraph's own text when it is long enough, has few links and has
// sentence punctuation; clutter is link text and short or linked paragraphs.
// The candidate whose article text most outweighs its clutter wins; text
// before the article's heading (an h1 that bears the title) is clutter;
// hidden elements, frames (nav,
// header, footer, aside and blocks named as comments, sidebars, sharing,
// adverts, galleries, footers or related links) and lists of teasers count
// for nothing.
//
// The table pass's result stands when it kept a fair share of the body (from
// a tenth to nine tenths) and the block holds more than 1.5 times its article
// text (the article chosen among comments or other stories in tables of their
// own); it is then written without the elements left out inside a block. The
// article stays as it is on a page without a "</head>" line, without visible
// text or without a block that outweighs its clutter.
//
// Otherwise the result is the head (down to "</head>"), "<body>", the centred
// heading when it lies outside the block, the block's lines without what
// clean/block_score.h leaves out (hidden elements, frames, teasers, figures
// without a picture, forms without article text, empty boxes, lines of
// figures alone and blocks that are mostly links), then "</body>" and
// "</html>". Linear in the size of the page.
void PickArticleBlock(LineList& article, const LineList& before_tables,
                      std::string_view title = {});

}  // namespace tavex
