// The Start run: one issue built from the window's options.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/main_window.h"
#include "build/article_table.h"

namespace tavex {

enum class StartResult {
  Finished,       // the run went through to its end
  InputRejected,  // a number check failed; its message was shown, nothing changed
  // The issue was built, but RunCompiler was on and no help file was made (a
  // warning said why).
  FinishedWithoutHelpFile,
};

// The issue as the run built it, taken down when the review opens. In the
// window the activation that follows the review puts the saved settings back
// into the controls (the typed TargetDir, today's date, the saved rows), so
// whatever comes after the review takes the issue from here, not from there.
struct TIssueFacts {
  std::string TargetDir;  // resolved: issue number in, no trailing separator
  std::string IssueNumber;
  std::string IndexPagePath;  // resolved: the start page as the help contents name it
  Date IssueDate;
  // Rubric k's folder and title cells (grid row k + 1).
  std::vector<std::string> RubricFolders;
  std::vector<std::string> RubricNames;
};

// The facts as the window shows them now (during a run: resolved).
TIssueFacts TakeIssueFacts(const MainWindow& window);

// An extra edition of the issue that a front end plugs in (the EPUB writer,
// which needs libraries the core does without). Called when MakeEpub was on as
// the review opened, right after the review closed, so the table tells which
// articles stayed.
using IssueEdition =
    std::function<void(MainWindow& window, const TIssueFacts& issue, const ArticleTable& table)>;

// The three folder fields that a run resolves for its duration (issue number
// put in for "#x1", TargetDir without its trailing separator).
inline constexpr Field kFolderFields[3] = {Field::SourceDir, Field::TargetDir,
                                           Field::IndexPagePath};

// The typed texts of the three folder fields (kFolderFields order) while a
// run shows them resolved: the run takes them down as it starts and puts them
// back into the fields when it ends. A front end whose controls stay live
// during a run (the Qt window) owns one and hands it to StartRun, so that a
// save or load in the middle of the run sees and changes these texts, not the
// folders the run is using (see WithTypedFolderTexts).
struct TypedFolderTexts {
  std::array<std::string, 3> texts;
  // True from the moment the run resolves the fields until it gives the typed
  // texts back; before (the number checks) and after (the help compiler) the
  // fields hold the typed texts themselves.
  bool held = false;
};

// For a save or load that may come during a run: while the run holds the
// fields resolved, they show the typed texts while command runs; whatever they
// hold when it returns (or throws) becomes the typed texts the run's end gives
// back, and the run's resolved texts are put back in the fields. So a save
// writes the "#x1" templates, and a load changes what the window shows after
// the run, never the run's folders. Otherwise command just runs.
// Single-threaded: the run is paused in ProcessMessages meanwhile.
void WithTypedFolderTexts(MainWindow& window, TypedFolderTexts& typed,
                          const std::function<void()>& command);

// Builds the issue. Failures are thrown (Failure) and end the run; the three
// folder fields get their typed texts back in every case (from typed when
// given, which the run fills as it starts). The run refuses (Failure, before
// anything is changed) folders that would make it lose or read files that are
// not its own (see issue_tree.h), a second run into the same issue folder
// while this one holds it, and a run whose rubric folders hold no article at
// all (a mistyped rubric must not empty the previous issue).
StartResult StartRun(MainWindow& window, ArticleTable& table, const IssueEdition& edition = {},
                     TypedFolderTexts* typed = nullptr);

// True when text is a whole number as the fields are read; otherwise shows
// label + " не число" and answers false.
bool CheckNumberField(std::string_view text, std::string_view label, MainWindow& window);

// The fields the run's first stage checks, in its order, each with the label
// its message names it by (Windows-1251).
struct TNumberField {
  Field field;
  const char* label;
};
extern const TNumberField kNumberFields[4];

// The run's first stage: IssueNumber, KeepTablesThreshold, CutTablesThreshold
// and CutCellsThreshold, in that order, up to the first that fails its check.
// The last is checked here too, although only the cell pass reads it, so that
// a bad value stops the run before the previous issue is emptied.
bool CheckNumberFields(MainWindow& window);

// One rubric's article files in the order their pages are numbered.
using TRubricFiles = std::vector<std::string>;

// The article files of data row `row`: every article file below SourceDir +
// "\" + the row's folder cell, as FindFiles lists them with SourceDir as the
// root. False, with no files, when the cell is empty, names no folder or a
// folder that a link takes outside SourceDir (a warning names it); the rubric
// then gets no heading either. An empty folder is warned about too.
bool FindRubricArticles(MainWindow& window, int row, TRubricFiles& files);

// Sorts a rubric's articles by title, comparing character codes; stable.
void SortArticlesByTitle(std::vector<TArticleEntry>& rubric);

}  // namespace tavex
