// The EPUB container: a zip file whose first entry is "mimetype", stored
// uncompressed, so that a reader can recognise the book from its first bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavex {

struct TContainerEntry {
  std::string name;         // the path inside the book, "/" separated
  std::string bytes;        // the content, unless source_text is set
  std::string source_text;  // the path text of a file taken in as it is (pictures)
};

// Writes the entries in their order to the file at path_text (a path text,
// Windows-1251). The book is made in memory and written whole by the file
// layer (WriteFileWhole: a temporary beside it, then moved over it), so that
// a failure leaves no cut-short book, any older book stays, and a run writes
// it through the issue folder it holds. The first entry and the pictures are
// stored, everything else deflated. Fails with "Cannot open file %s" naming
// a picture that cannot be read, and "Cannot create file %s" naming
// path_text.
void WriteContainerWhole(std::string_view path_text, const std::vector<TContainerEntry>& entries);

// What writes the book's bytes whole: WriteFileWhole of files.h unless a
// program that loads the edition as a plug-in hands over its own.
using ContainerWriter = bool (*)(std::string_view path, std::string_view bytes);
void UseContainerWriter(ContainerWriter writer);

}  // namespace tavex
