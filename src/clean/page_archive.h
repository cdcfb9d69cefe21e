// Pages saved as one archive file (MHTML: ".mht", ".mhtml"), as the core sees
// them.
//
// Reading the archive needs a MIME library, which the core does without: a
// front end plugs a reader in (mhtml/ holds the one the window and the command
// line use). Without a reader an archive cannot be read, and fails like any
// unreadable page.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavex {

// One part of the archive other than the page: a picture, a style sheet, ...
struct TArchivePart {
  std::string location;    // its Content-Location as written; absolute, relative or empty
  std::string content_id;  // its Content-ID without the angle brackets; empty when none
  std::string media_type;  // its Content-Type without parameters, lower-case ("image/png")
  std::string bytes;       // its content, transfer encoding (base64, quoted-printable) undone
};

struct TPageArchive {
  // The page part's bytes, transfer encoding undone. When the part declares a
  // charset the reader knows, the bytes are converted to UTF-8 and charset is
  // "utf-8"; otherwise they are as stored and charset is empty, and the page's
  // own declaration or its bytes decide, as for any saved page.
  std::string page;
  std::string charset;
  std::string location;  // the page part's Content-Location: the base of relative references
  std::vector<TArchivePart> parts;
};

class PageArchiveReader {
 public:
  virtual ~PageArchiveReader() = default;
  // The archive held in bytes: the whole file, which the core reads itself
  // through the same checked open file as any page, so that an archive swapped
  // for a link to somewhere else is refused like a page, and a file that
  // cannot be read fails with the system's reason. Nothing when the bytes are
  // no archive with an HTML page in it (damaged, cut short, empty).
  virtual std::optional<TPageArchive> Parse(std::string_view bytes) const = 0;
};

// Whether a file name (or a path text ending in one) is that of a page
// archive: ".mht" or ".mhtml" in any letter case.
bool IsPageArchiveName(std::string_view name);

// The reader CleanArticle reads archives with: plugged in once by a front end
// at its start (the reader must outlive every run); nullptr unplugs it.
void UsePageArchiveReader(const PageArchiveReader* reader);
const PageArchiveReader* CurrentPageArchiveReader();

}  // namespace tavex
