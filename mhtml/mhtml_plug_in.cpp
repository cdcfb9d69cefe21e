// The page-archive reader as a plug-in (src/launch/plug_ins.h): the window and
// the command line load it, and GMime with it, when they first meet an archive.
#include "launch/plug_ins.h"
#include "mhtml/mhtml_reader.h"

extern "C" const tavex::PageArchiveReader* mytavex_archive_reader_v1() {
  static const tavex::MhtmlReader reader;
  return &reader;
}
