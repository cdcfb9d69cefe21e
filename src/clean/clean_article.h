// The article cleaner: one saved page in, one clean article page out.
#pragma once

#include <string>
#include <string_view>

namespace tavex {

class MainWindow;
class TCleanTrace;
class TIssueArticles;

// Cleans the page at source_path and writes it to target_path; returns the
// article's title (Windows-1251). Pictures are numbered through the picture
// register and copied into TargetDir + "\images". A picture reference that
// leads outside source_root (empty: the article's own folder) is dropped.
// With UnlinkMissingPages on, links to the issue's articles lead to their
// pages and other links are unwrapped (clean/page_links.h); issue null: no
// article is known, so every link out of the page is unwrapped.
// A page archive (".mht", ".mhtml") is read through the plugged-in
// PageArchiveReader (clean/page_archive.h). Pictures the page carries inside
// itself (data: addresses, archive parts) go through a scratch folder under
// the system's temporary folder, never the source folder; it is removed when
// the call returns or throws. With a trace, each step and each rule file
// that changed the page is told to it, in order (clean/clean_trace.h); the
// page written is the same with or without one.
std::string CleanArticle(std::string_view source_path, std::string_view target_path,
                         MainWindow& window, std::string_view source_root = {},
                         const TIssueArticles* issue = nullptr, TCleanTrace* trace = nullptr);

// Empties the picture register: numbering starts from 1 again (once per build).
void ResetPictureRegister();

}  // namespace tavex
