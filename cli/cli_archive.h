// The reader of page archives (".mht", ".mhtml") this build of the command
// line plugs into the core. One of cli_archive_mhtml.cpp (GMime, in a plug-in) and
// cli_archive_none.cpp (built without it, as for Windows) is compiled in,
// chosen by the MYTAVEX_MHTML switch.
#pragma once

#include <string>

namespace tavex::cli {

// Plugs the reader in; without one a page archive fails like an unreadable page.
void UseBuiltInArchiveReader();

// A line for --version naming the reader, ending in a newline.
std::string ArchiveReaderText();

}  // namespace tavex::cli
