// Pictures that a saved page carries inside itself: data: addresses
// (single-file saves) and the picture parts of an MHTML archive.
//
// They are taken out of the page when it is loaded, before the normalisation
// lower-cases every tag with its attribute values: base64 and the parts'
// locations tell letter case apart, so a picture decoded from the lower-cased
// tag would be garbage. Each becomes a file of its own in the article's
// scratch folder, and its reference in the page the path text of that file,
// which the picture pass then numbers and copies like a picture beside the
// article.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavex {

class TempFolder;
struct TPageArchive;

// Takes the embedded pictures out of a page's text (Windows-1251, not yet
// normalised), in one pass over it. Looked at: the "src" of every <img> and
// <source> tag, and, when every_picture_attribute is on, their "srcset",
// "data-src", "data-srcset", "data-original", "data-lazy-src" and
// "data-lazy-srcset" as well (srcset values candidate by candidate).
// - A data: picture is written to the scratch folder; one that cannot be
//   decoded is taken out of the page: an attribute gets an empty value (the
//   picture pass then drops the tag, like a missing picture), a srcset loses
//   the candidate.
// - With an archive, a reference to one of its picture parts, by cid: or by
//   its Content-Location (either resolved against the page's location, or a
//   <base href> of the page), is written to the scratch folder too.
// - Without an archive, a reference to a file beside the article (in
//   article_folder, when given) whose letter case picks another file than its
//   lower-cased spelling gets its capitals escaped (picture_name_case.h).
// - Anything else stays byte for byte.
// A rewritten value is the file's path text in double quotes, spaces as
// "%20". Equal references share one file. The scratch folder is made only
// when a picture is written; a file that cannot be written fails with
// "Cannot create file %s". The page is taken by value: a page without such a
// picture (most of them) is handed back as it came, never copied.
std::string TakeOutEmbeddedPictures(std::string page, TempFolder& scratch,
                                    const TPageArchive* archive, bool every_picture_attribute,
                                    std::string_view article_folder = {});

}  // namespace tavex
