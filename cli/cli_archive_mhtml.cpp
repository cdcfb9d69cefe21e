#include "cli/cli_archive.h"
#include "mhtml/mhtml_reader.h"

namespace tavex::cli {

void UseBuiltInArchiveReader() {
  // Pages saved as one archive (".mht", ".mhtml") are read with GMime.
  static const MhtmlReader archive_reader;
  UsePageArchiveReader(&archive_reader);
}

std::string ArchiveReaderText() {
  return "Page archives (.mht, .mhtml): read\n";
}

}  // namespace tavex::cli
