// Which file a picture tag of today's pages means.
//
// Pages saved today seldom name their picture in src alone: a lazy-loading
// script keeps the real picture in data-src (src holds a placeholder: a data:
// picture, a one-pixel picture, or a file that was never saved), srcset and
// <picture><source srcset> offer several sizes, and a <noscript> copy of the
// tag holds the picture for browsers without scripts. A browser's "Save page,
// complete" puts the files into a folder "<page name>_files" beside the page,
// while lazy attributes keep their web addresses.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "clean/line_list.h"
#include "clean/tag_attributes.h"

namespace tavex {

enum class TPictureAction {
  Keep,  // the tag names no picture at all: it stays as it is
  Drop,  // the tag names no picture that lies beside the page: its line empties
  Use,   // the tag shows the file in TPictureChoice::Picture
};

struct TPictureChoice {
  int Line = 0;  // 0-based index of the "<img" or "<source" line
  TPictureAction Action = TPictureAction::Keep;
  std::string Picture;  // Use: the file's path text (article folder + "\" + name)
};

// The decision for every "<img" line and every "<source" line inside a
// "<picture>", in line order, for the page named page_name in article_folder.
// For one tag the first of these that gives an existing file wins:
// 1. of the candidates of data-srcset, srcset and the srcset (or data-srcset)
//    of the <source> tags of its <picture>, the largest: by width descriptor
//    ("800w") when any candidate that exists has one, else by density ("2x";
//    none is "1x"); equal ones in that order;
// 2. data-src, data-original, data-lazy-src;
// 3. src, unless it is a data: picture or the tag is marked 1 by 1 (width and
//    height "1", quoted or not).
// A candidate is looked for as written beside the article ("%20" a space),
// then percent-decoded, then by its last part in "<page stem>_files" (the
// only way to find a web address the browser saved). A one-pixel GIF or PNG
// counts as missing in steps 1 and 2. When only src is left and it is a
// placeholder (missing, a data: picture, marked or measured 1 by 1), an
// "<img" inside a <noscript> that follows the tag (with no text and no other
// picture between) gives its picture to the tag, and its own line empties,
// since a browser with scripts never shows it. A measured one-pixel src with
// no such fallback stays in use, as a spacer always did. Every "<source" line
// inside a <picture> empties: the tag's picture is the one the page shows.
// resource_folder (empty: none) is the article's scratch folder (see
// RewritePictures): a reference that names a file there by its full path is
// taken from there.
std::vector<TPictureChoice> ChoosePictureSources(const LineList& article,
                                                 std::string_view article_folder,
                                                 std::string_view page_name,
                                                 std::string_view resource_folder = {});

// Whether a tag is marked 1 by 1 pixel: width and height "1", quoted or not.
bool IsMarkedOnePixel(const std::vector<TTagAttribute>& attributes);

// Whether the file is a GIF or PNG picture of 1 by 1 pixel, by its header.
bool IsOnePixelPicture(std::string_view path);

// One candidate of a srcset value.
struct TSrcsetCandidate {
  std::string_view Reference;
  char Unit = 'x';    // 'w' for a width descriptor, 'x' for a density
  double Size = 1.0;  // the descriptor's number; 1 when it has none
};

// The candidates of a srcset value in order, read as browsers do: a reference
// runs to white space (commas at its end belong to no reference), then its
// descriptors to the next comma outside parentheses. A descriptor that is not
// a number with "w" or "x" leaves the candidate at 1x.
std::vector<TSrcsetCandidate> ParseSrcset(std::string_view value);

}  // namespace tavex
