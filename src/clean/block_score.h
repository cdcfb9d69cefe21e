// How the article-block pass judges the elements of a page's tree: which
// paragraphs are article text, which blocks are lists of teasers, which
// block holds the article and what inside it is left out.
//
// Text lengths are in characters of Windows-1251 text; element indices are
// those of TPageTree (from 0, in the order the tags open).
#pragma once

#include <string_view>

#include "clean/block_tree.h"

namespace tavex {

// Sums good text and clutter over every element's tree (TElement::Good,
// Clutter, AllText, AllLinks, AllLetters, Pictures). A paragraph is good when it has at
// least 25 characters outside links, under a third of link text and some
// sentence punctuation; its text outside links is then article text and its
// link text clutter. A paragraph as long but without punctuation (a
// subheading, a headline set as text) is neither; all of any other paragraph
// is clutter. heading is the article's heading (see FindArticleHeading; -1
// for none): an article's text never comes before its heading, so all of a
// paragraph that ends before it is clutter (a story teased at the top of the
// page, a menu of long entries).
//
// Teasers are marked (TElement::Teaser); their article text does not count
// for the blocks around them, their clutter does: three or more sibling
// blocks (div, li, article, section) of one kind (the same element and first
// class word), each holding a headline (a heading with a link in it, or a
// block whose first text is a link of 20 characters or more) and less than
// 600 characters of article text: the "other news" and "read also" lists
// sites put around and inside an article. A row of features, each with its
// heading and a "learn more" link at its end, is no list of teasers. Linear
// in the number of elements.
void ScoreTree(TPageTree& tree, const LineList& lines, int heading = -1);

// Good text less clutter.
double Worth(const TElement& element);

// The candidate block (div, section, article, main, body, td, table, center,
// outside frames and hidden elements) worth the most, then the innermost
// block inside it that is still worth nearly as much (95 %; 85 % for a block
// the page marks as its article): a wrapper that adds a line or two of stray
// text (a share dialog, a cookie notice) is shed. -1 when no candidate holds
// more article text than clutter.
int ChooseBlock(const TPageTree& tree);

// The article's heading: the first h1 outside frames and hidden elements
// whose text (its text lines joined by spaces, letter case ignored) is at
// least 15 characters long and lies in the title or holds it. -1 for none:
// a short h1 is most often the site's logo.
int FindArticleHeading(const TPageTree& tree, const LineList& lines, std::string_view title);

// Whether an element inside the chosen block is left out of it: frames,
// hidden elements, teasers, figures without a picture (a video's place and
// its caption), forms without article text, empty boxes, a div or p of at
// most 40 characters none of them a letter (a date, a time, a counter), and
// blocks without article text that are at least half links.
bool LeftOut(const TElement& element);

}  // namespace tavex
