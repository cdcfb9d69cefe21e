// The EPUB edition as a plug-in (src/launch/plug_ins.h): the window and the
// command line load it, and libxml2 and libzip with it, when a book is to be
// written.
#include "epub/issue_epub.h"
#include "launch/plug_ins.h"

extern "C" const tavex::TEpubPlugIn* mytavex_epub_edition_v1() {
  static const tavex::TEpubPlugIn plug_in{&tavex::WriteIssueEpub, &tavex::IssueEpubPath};
  return &plug_in;
}
