// The article cleaner: one saved page in, one clean article page out.
#pragma once

#include <string>
#include <string_view>

namespace tavex {

class MainWindow;

// Cleans the page at source_path and writes it to target_path; returns the
// article's title (Windows-1251). Pictures are numbered through the picture
// register and copied into TargetDir + "\images". A picture reference that
// leads outside source_root (empty: the article's own folder) is dropped.
// A page archive (".mht", ".mhtml") is read through the plugged-in
// PageArchiveReader (clean/page_archive.h). Pictures the page carries inside
// itself (data: addresses, archive parts) go through a scratch folder under
// the system's temporary folder, never the source folder; it is removed when
// the call returns or throws.
std::string CleanArticle(std::string_view source_path, std::string_view target_path,
                         MainWindow& window, std::string_view source_root = {});

// Empties the picture register: numbering starts from 1 again (once per build).
void ResetPictureRegister();

}  // namespace tavex
