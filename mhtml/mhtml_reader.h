// The MHTML reader: a page saved by a browser as one archive (".mht",
// ".mhtml": a MIME message, usually multipart/related, with the page as its
// first text/html part and its pictures, style sheets and frames as the other
// parts), read with GMime.
#pragma once

#include <optional>
#include <string_view>

#include "clean/page_archive.h"

namespace tavex {

// The archive held in bytes. The page is the first text/html part met in
// the message's order; every other leaf part becomes a TArchivePart. Transfer
// encodings (base64, quoted-printable) are undone by GMime. The page part's
// charset, when it declares one iconv knows, is converted to UTF-8. Nothing
// when GMime finds no message, or the message has no text/html part (a cut or
// damaged archive, a file that is no archive at all).
std::optional<TPageArchive> ReadMhtmlBytes(std::string_view bytes);

class MhtmlReader : public PageArchiveReader {
 public:
  // As ReadMhtmlBytes: the core reads the file, this reader only parses it.
  std::optional<TPageArchive> Parse(std::string_view bytes) const override;
};

}  // namespace tavex
