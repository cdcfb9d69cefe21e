#include "cli/cli_archive.h"

namespace tavex::cli {

void UseBuiltInArchiveReader() {}

std::string ArchiveReaderText() {
  return "Page archives (.mht, .mhtml): not read (this build has no GMime); they fail like an "
         "unreadable page\n";
}

}  // namespace tavex::cli
