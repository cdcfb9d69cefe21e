// The Start run: one issue built from the window's options.
#pragma once

#include "build/article_table.h"

namespace tavex {

class MainWindow;

enum class StartResult {
  Finished,       // the run went through to its end
  InputRejected,  // a number check failed; its message was shown, nothing changed
};

// Builds the issue. Failures are thrown (Failure) and end the run; the three
// folder fields get their typed texts back in every case.
StartResult StartRun(MainWindow& window, ArticleTable& table);

}  // namespace tavex
