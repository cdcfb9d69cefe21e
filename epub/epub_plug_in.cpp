// The EPUB edition as a plug-in (src/launch/plug_ins.h): the window and the
// command line load it, and libxml2 and libzip with it, when a book is to be
// written.
#include "epub/epub_container.h"
#include "epub/issue_epub.h"
#include "launch/plug_ins.h"

extern "C" const tavex::TEpubPlugIn* mytavex_epub_edition_v2(const tavex::TEpubHost* host) {
  // The book is written by the program's own file layer (see TEpubHost).
  if (host && host->write_file_whole) tavex::UseContainerWriter(host->write_file_whole);
  static const tavex::TEpubPlugIn plug_in{&tavex::WriteIssueEpub, &tavex::IssueEpubPath};
  return &plug_in;
}
