#include "cli/cli_archive.h"
#include "launch/plug_ins.h"
#include "platform/text.h"

namespace tavex::cli {

void UseBuiltInArchiveReader() {
  // Pages saved as one archive (".mht", ".mhtml") are read with GMime, in a
  // plug-in loaded when the first archive is met.
  UseArchiveReaderPlugIn();
}

std::string ArchiveReaderText() {
  return "Page archives (.mht, .mhtml): read\n  " + Cp1251ToUtf8(PlugInStateText(kArchivePlugIn)) +
         "\n";
}

}  // namespace tavex::cli
