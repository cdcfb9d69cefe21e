// PLACEHOLDER until the Start run lands.
#include "build/start_run.h"

namespace tavex {

StartResult StartRun(MainWindow&, ArticleTable&, const IssueEdition&) {
  return StartResult::Finished;
}

}  // namespace tavex
