#include "cli/cli_edition.h"
#include "epub/issue_epub.h"

namespace tavex::cli {

IssueEdition BuiltInEdition() {
  return WriteIssueEpub;
}

std::string EditionBookPath(const TIssueFacts& issue) {
  return IssueEpubPath(issue);
}

std::string EditionText() {
  return "EPUB edition: built in\n";
}

}  // namespace tavex::cli
