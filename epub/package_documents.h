// The fixed files of the book: container.xml, the package document (metadata,
// manifest, reading order), the navigation document, the style sheet, and the
// frame of each content document. Every text here is UTF-8.
//
// Layout inside the container:
//   mimetype, META-INF/container.xml,
//   EPUB/package.opf, EPUB/nav.xhtml, EPUB/style.css,
//   EPUB/text/cover.xhtml, EPUB/text/<document>.xhtml, EPUB/images/<picture>
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tavex {

struct TBookDocument {
  std::string name;   // file name in EPUB/text, also an XML name ("a1.xhtml")
  std::string title;  // plain text
  std::string body;   // XHTML body content
};

struct TBookPicture {
  std::string name;          // file name in EPUB/images ("p1.gif")
  std::string media_type;    // "image/gif", "image/jpeg", "image/png" or "image/svg+xml"
  std::string source;        // the path text of the file taken in, unless bytes are given
  std::string bytes;         // a picture the book makes itself (the cover's SVG)
  bool cover_image = false;  // the package's cover image
};

// A rubric of the navigation document and the documents under it, by index
// into the document list, in reading order.
struct TNavSection {
  std::string heading;  // plain text
  std::vector<size_t> documents;
};

struct TBookMetadata {
  std::string title;       // plain text
  std::string creator;     // plain text
  std::string publisher;   // plain text
  std::string identifier;  // "urn:uuid:..."
  std::string date;        // the issue date, "YYYY-MM-DD"
  std::string modified;    // "YYYY-MM-DDThh:mm:ssZ"
};

inline constexpr std::string_view kMimetype = "application/epub+zip";
inline constexpr std::string_view kPackagePath = "EPUB/package.opf";
// The cover page's name in EPUB/text; its manifest id is "cover".
inline constexpr std::string_view kCoverPage = "cover.xhtml";

std::string ContainerXml();
std::string StyleSheet();
// A whole content document around a body written by WriteXhtmlBody.
std::string ContentDocument(std::string_view title, std::string_view body);
// The table of contents: each section a heading with its documents under it;
// sections without documents are left out.
std::string NavigationDocument(std::string_view book_title,
                               const std::vector<TNavSection>& sections,
                               const std::vector<TBookDocument>& documents);
// The reading order is the cover page (kCoverPage, when with_cover), the
// navigation document, then the documents in order. The picture marked
// cover_image is the package's cover image, also named by the old
// <meta name="cover"> that readers of EPUB 2 look for.
std::string PackageDocument(const TBookMetadata& metadata, bool with_cover,
                            const std::vector<TBookDocument>& documents,
                            const std::vector<TBookPicture>& pictures);

}  // namespace tavex
