// What the review dialog's preview shows of an article: its cleaned page and
// the pictures the page refers to, found in the issue's own folders.
//
// Paths are the core's path texts (Windows-1251, "\" or "/"); a page of the
// issue lives in TargetDir\pub and refers to its pictures as
// "..\Images\N.gif" (the picture pass writes them so).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavex {

// The page's bytes (Windows-1251, as the cleaner wrote them); nullopt when it
// cannot be read (a page deleted meanwhile). Pages larger than 20 MB are not
// read: no cleaned page comes near that.
std::optional<std::string> PreviewPage(std::string_view page_path);

// The file that a reference of the page at page_path leads to, when it is a
// picture of the issue: the reference read relative to the page's folder,
// "\" and "/" alike, "." and ".." resolved, and the result within the issue
// folder (the page folder's parent) and an existing file. The folder the page
// names "Images" is found as "images" too, on a system that tells letter
// case apart. Empty for anything else: a web address, an absolute path, a
// reference out of the issue, a missing file.
std::string PreviewPicturePath(std::string_view page_path, std::string_view reference);

}  // namespace tavex
