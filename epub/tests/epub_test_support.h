// Helpers for the EPUB tests: reading a book back, checking XML, epubcheck.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavex::test {

struct TZipEntry {
  std::string name;
  std::string bytes;
  bool stored = false;  // kept uncompressed
};

// Every entry of a zip file in its stored order; empty when it cannot be read.
std::vector<TZipEntry> ReadZip(const std::string& path);
// The entry of that name, or nullptr.
const TZipEntry* FindEntry(const std::vector<TZipEntry>& entries, std::string_view name);

// libxml2's strict XML parser's complaints about a text; empty when it is
// well-formed.
std::string XmlErrors(const std::string& xml);

// Breaches of HTML5's content rules that the book's XHTML must avoid (blocks
// inside inline elements, stray children of tables, rows and lists, links in
// links, pictures without src or alt); empty when there is none.
std::string ContentModelErrors(const std::string& xhtml);

// The output of epubcheck on a book, or nothing when epubcheck is not
// installed. passed is true when it found no error and no warning.
struct TEpubcheckResult {
  bool passed = false;
  std::string output;
};
std::optional<TEpubcheckResult> RunEpubcheck(const std::string& path);

// Valid 1 x 1 pictures, for books that epubcheck looks into.
extern const std::string kTinyGif;
extern const std::string kTinyPng;

// How many times needle occurs in text.
size_t CountOf(std::string_view text, std::string_view needle);

}  // namespace tavex::test
