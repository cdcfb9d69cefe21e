#include "epub/package_documents.h"

#include "epub/xhtml_writer.h"

namespace tavex {
namespace {

std::string Escaped(std::string_view text) {
  std::string out;
  AppendEscaped(out, text);
  return out;
}

// The manifest id of a file: its name without the extension (names are
// chosen to be XML names).
std::string ItemId(std::string_view name) {
  return std::string(name.substr(0, name.find('.')));
}

std::string DocumentStart(std::string_view title, bool with_epub_namespace) {
  std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<!DOCTYPE html>\n"
      "<html xmlns=\"http://www.w3.org/1999/xhtml\"";
  if (with_epub_namespace) text += " xmlns:epub=\"http://www.idpf.org/2007/ops\"";
  text += " xml:lang=\"ru\" lang=\"ru\">\n<head>\n<title>" + Escaped(title) + "</title>\n";
  return text;
}

}  // namespace

std::string ContainerXml() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">\n"
         "<rootfiles>\n"
         "<rootfile full-path=\"" +
         std::string(kPackagePath) +
         "\" media-type=\"application/oebps-package+xml\"/>\n"
         "</rootfiles>\n"
         "</container>\n";
}

std::string StyleSheet() {
  return ".center { text-align: center; }\n"
         ".right { text-align: right; }\n"
         ".indent { margin-left: 2em; }\n"
         "img { max-width: 100%; height: auto; }\n"
         "nav ol { list-style-type: none; }\n"
         ".cover { text-align: center; margin: 0; }\n"
         ".cover img { max-height: 95vh; }\n";
}

std::string ContentDocument(std::string_view title, std::string_view body) {
  std::string text = DocumentStart(title, false);
  text += "<link rel=\"stylesheet\" type=\"text/css\" href=\"../style.css\"/>\n</head>\n<body>\n";
  text += body;
  text += "\n</body>\n</html>\n";
  return text;
}

std::string NavigationDocument(std::string_view book_title,
                               const std::vector<TNavSection>& sections,
                               const std::vector<TBookDocument>& documents) {
  std::string text = DocumentStart(book_title, true);
  text += "<link rel=\"stylesheet\" type=\"text/css\" href=\"style.css\"/>\n</head>\n<body>\n";
  text += "<nav epub:type=\"toc\" id=\"toc\">\n<h1>" + Escaped(book_title) + "</h1>\n<ol>\n";
  bool any = false;
  for (const TNavSection& section : sections) {
    if (section.documents.empty()) continue;
    any = true;
    text += "<li><span>" + Escaped(section.heading) + "</span>\n<ol>\n";
    for (size_t index : section.documents) {
      const TBookDocument& document = documents[index];
      text +=
          "<li><a href=\"text/" + document.name + "\">" + Escaped(document.title) + "</a></li>\n";
    }
    text += "</ol>\n</li>\n";
  }
  // A contents list may not be empty; an issue whose every article was
  // dropped still makes a valid book that shows its own title.
  if (!any) text += "<li><a href=\"nav.xhtml\">" + Escaped(book_title) + "</a></li>\n";
  text += "</ol>\n</nav>\n</body>\n</html>\n";
  return text;
}

std::string PackageDocument(const TBookMetadata& metadata, bool with_cover,
                            const std::vector<TBookDocument>& documents,
                            const std::vector<TBookPicture>& pictures) {
  std::string text =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\" "
      "unique-identifier=\"book-id\" xml:lang=\"ru\">\n"
      "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n";
  text += "<dc:identifier id=\"book-id\">" + Escaped(metadata.identifier) + "</dc:identifier>\n";
  text += "<dc:title>" + Escaped(metadata.title) + "</dc:title>\n";
  text += "<dc:language>ru</dc:language>\n";
  if (!metadata.creator.empty())
    text += "<dc:creator>" + Escaped(metadata.creator) + "</dc:creator>\n";
  if (!metadata.publisher.empty())
    text += "<dc:publisher>" + Escaped(metadata.publisher) + "</dc:publisher>\n";
  text += "<dc:date>" + Escaped(metadata.date) + "</dc:date>\n";
  text += "<meta property=\"dcterms:modified\">" + Escaped(metadata.modified) + "</meta>\n";
  for (const TBookPicture& picture : pictures)
    if (picture.cover_image)
      text += "<meta name=\"cover\" content=\"" + ItemId(picture.name) + "\"/>\n";
  text += "</metadata>\n<manifest>\n";
  text +=
      "<item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" "
      "properties=\"nav\"/>\n";
  text += "<item id=\"style\" href=\"style.css\" media-type=\"text/css\"/>\n";
  if (with_cover)
    text += "<item id=\"" + ItemId(kCoverPage) + "\" href=\"text/" + std::string(kCoverPage) +
            "\" media-type=\"application/xhtml+xml\"/>\n";
  for (const TBookDocument& document : documents)
    text += "<item id=\"" + ItemId(document.name) + "\" href=\"text/" + document.name +
            "\" media-type=\"application/xhtml+xml\"/>\n";
  for (const TBookPicture& picture : pictures) {
    text += "<item id=\"" + ItemId(picture.name) + "\" href=\"images/" + picture.name +
            "\" media-type=\"" + picture.media_type + "\"";
    if (picture.cover_image) text += " properties=\"cover-image\"";
    text += "/>\n";
  }
  text += "</manifest>\n<spine>\n";
  if (with_cover) text += "<itemref idref=\"" + ItemId(kCoverPage) + "\"/>\n";
  text += "<itemref idref=\"nav\"/>\n";
  for (const TBookDocument& document : documents)
    text += "<itemref idref=\"" + ItemId(document.name) + "\"/>\n";
  text += "</spine>\n</package>\n";
  return text;
}

}  // namespace tavex
