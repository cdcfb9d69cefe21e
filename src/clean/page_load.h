// The load of a saved page: its text in Windows-1251, with the pictures it
// carries inside itself taken out into files of the article's scratch folder.
#pragma once

#include <string>
#include <string_view>

namespace tavex {

class TempFolder;

// A page file (".htm", ".html") is read as it is; a page archive (".mht",
// ".mhtml") through the plugged-in PageArchiveReader, its page part then read
// in the charset its part declares. Either way the encoding is then settled
// as for any page (PageTo1251), and the embedded pictures are taken out
// (TakeOutEmbeddedPictures: the archive's parts, data: addresses; the lazy
// and srcset attributes too when every_picture_attribute is on). A file that
// cannot be read, and an archive that is damaged or that no reader is plugged
// in for, fail with "Cannot open file %s". With a source_root, the file (page
// or archive) is read through its checked open file and must lie inside that
// folder; the archive reader only parses the bytes read.
std::string LoadPageText(std::string_view source_path, std::string_view source_root,
                         TempFolder& scratch, bool every_picture_attribute);

}  // namespace tavex
