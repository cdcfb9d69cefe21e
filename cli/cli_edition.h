// The editions this build of the command line makes besides the issue tree,
// and the --version line that says so. One of cli_edition_epub.cpp (EPUB,
// as a plug-in) and cli_edition_none.cpp (built without libxml2 and libzip, as
// for Windows) is compiled in, chosen by the MYTAVEX_EPUB switch.
#pragma once

#include <string>

#include "build/start_run.h"

namespace tavex::cli {

// What StartRun makes after the review; empty when no edition is built in.
IssueEdition BuiltInEdition();

// Where the built-in edition writes its book for an issue (a path text);
// empty when no edition is built in.
std::string EditionBookPath(const TIssueFacts& issue);

// A line for --version naming the editions, ending in a newline.
std::string EditionText();

}  // namespace tavex::cli
