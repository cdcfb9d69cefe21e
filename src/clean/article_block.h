// The article block of a page laid out without tables.
//
// The content-table pass judges tables; a page built of div, section and
// article elements gives it nothing to choose, so it keeps the whole body with
// its menus, footers and "related" lists. This pass, run after it, looks at
// the page as it stood before the table pass and, when no table holds the
// article's text, keeps the head, the block element that holds the article and
// the page's centred heading.
//
// Lines are indexed from 0; text lengths are in characters (bytes of
// Windows-1251 text). The list is in the normalised form: one lower-case tag
// or one run of text per line.
#pragma once

#include "clean/line_list.h"

namespace tavex {

// before_tables is the article as it stood before the content-table pass (the
// same list when that pass did not run); article is its result, changed in
// place. The block pass replaces the article when no table holds its text:
// the table pass kept nearly all of the body (its own wrapper won, or the page
// has no table) or kept under a tenth of it. Otherwise, and on a page
// without a "</head>" line or without a block that outweighs its clutter, the
// article stays as the table pass left it.
//
// The block is chosen by its paragraphs: a paragraph (the text of its nearest
// block element; a table row counts as one) with at least 25 characters
// outside links and under a third of link text is article text, all else is
// clutter; the candidate (div, section, article, main, td, table, center,
// body) whose article text most outweighs its clutter wins, and an inner block
// worth nearly as much (a little less when the page marks it as the article:
// article, main, role=main, itemprop=articlebody) takes its place. Blocks
// whose class or id names comments, sidebars, sharing, sponsors, promotions,
// footers or related links count for nothing, as do frames.
//
// The result is the head (down to "</head>"), "<body>", the centred heading
// when it lies outside the block, the block's lines without the nav, header,
// footer and aside elements, forms without article text, empty boxes and
// blocks that are mostly links, nor the style, noscript, template, svg,
// iframe, script, select and button elements, then "</body>" and "</html>".
// Linear in the size of the page.
void PickArticleBlock(LineList& article, const LineList& before_tables);

}  // namespace tavex
