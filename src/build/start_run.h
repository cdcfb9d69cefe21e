// The Start run: one issue built from the window's options.
#pragma once

#include <functional>

#include "build/article_table.h"

namespace tavex {

class MainWindow;

enum class StartResult {
  Finished,       // the run went through to its end
  InputRejected,  // a number check failed; its message was shown, nothing changed
};

// An extra edition of the issue that a front end plugs in (the EPUB writer,
// which needs libraries the core does without). Called when MakeEpub is on,
// right after the review closed and before the folder fields are restored, so
// TargetDir still holds the resolved issue folder and the table tells which
// articles stayed.
using IssueEdition = std::function<void(MainWindow& window, const ArticleTable& table)>;

// Builds the issue. Failures are thrown (Failure) and end the run; the three
// folder fields get their typed texts back in every case.
StartResult StartRun(MainWindow& window, ArticleTable& table, const IssueEdition& edition = {});

}  // namespace tavex
