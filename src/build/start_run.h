// The Start run: one issue built from the window's options.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

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
// folder fields get their typed texts back in every case. The run refuses
// (Failure, before anything is changed) when the target and source folders
// overlap.
StartResult StartRun(MainWindow& window, ArticleTable& table, const IssueEdition& edition = {});

// True when text is a whole number as the fields are read; otherwise shows
// label + " не число" and answers false.
bool CheckNumberField(std::string_view text, std::string_view label, MainWindow& window);

// The run's first stage: IssueNumber, KeepTablesThreshold and
// CutTablesThreshold, in that order, up to the first that fails its check.
bool CheckNumberFields(MainWindow& window);

// Creates the folder and every missing folder above it. The path is split at
// "\" or "/", so "e:\tavex\tavex5", "/tmp/x/out" and relative paths all work.
// A folder that cannot be made is not reported here: the first write into it fails.
void CreateFolderChain(std::string_view path);

// Sorts a rubric's articles by title, comparing character codes; stable.
void SortArticlesByTitle(std::vector<TArticleEntry>& rubric);

}  // namespace tavex
