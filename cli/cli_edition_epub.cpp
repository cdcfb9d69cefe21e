#include "cli/cli_edition.h"
#include "epub/issue_epub.h"

namespace tavex::cli {

IssueEdition BuiltInEdition() {
  return WriteIssueEpub;
}

std::string VersionText() {
  return "mytavex-cli " MYTAVEX_VERSION "\nEPUB edition: built in\n";
}

}  // namespace tavex::cli
