#include "cli/cli_edition.h"
#include "launch/plug_ins.h"
#include "platform/text.h"

namespace tavex::cli {

// The edition is a plug-in, loaded when a book is to be written.
IssueEdition BuiltInEdition() {
  return EpubEditionPlugIn();
}

std::string EditionBookPath(const TIssueFacts& issue) {
  return EpubBookPath(issue);
}

std::string EditionText() {
  return "EPUB edition: built in\n  " + Cp1251ToUtf8(PlugInStateText(kEpubPlugIn)) + "\n";
}

}  // namespace tavex::cli
