#include "cli/cli_edition.h"

namespace tavex::cli {

IssueEdition BuiltInEdition() {
  return {};
}

std::string EditionBookPath(const TIssueFacts&) {
  return {};
}

std::string EditionText() {
  return "EPUB edition: not built in (this build has no libxml2 and libzip); the issue tree and "
         "its help contents are made as usual\n";
}

}  // namespace tavex::cli
