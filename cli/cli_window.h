// The command line's main window: the in-memory window, with the messages
// kept for the end of the run and the build's progress drawn on a stream.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/memory_window.h"
#include "build/article_table.h"
#include "build/start_run.h"

namespace tavex::cli {

enum class ProgressStyle { None, Lines, Bar };

// The issue as the run had it when the review opened (folder fields resolved).
struct ReviewedIssue {
  TIssueFacts facts;
  std::string SourceDir;   // resolved, Windows-1251
  bool made_book = false;  // MakeEpub was on, so a book was to follow
};

class CliWindow : public MemoryWindow {
 public:
  CliWindow(std::ostream& progress, ProgressStyle style);

  // Titles whose articles the review drops, in UTF-8 as typed: an article goes
  // when its title equals one as written in the page or as a reader sees it
  // (character references decoded).
  std::vector<std::string> excluded_titles;

  // Unchecks the excluded titles and runs the review's Ok (ApplyReview), as
  // the window's dialog does on Ok; takes down the issue for the summary.
  void ReviewArticles(ArticleTable& table) override;
  // Printed at once, a line each, on the progress stream (standard error),
  // each line a warning of the program's own form.
  void ShowWarning(std::string_view text) override;
  // A line on the progress stream, unless progress is off; an empty text
  // (the status cleared) prints nothing.
  void ShowStatus(std::string_view text) override;
  // Follows the article table that the run fills, for the titles it shows.
  void WatchTable(const ArticleTable* table) { table_ = table; }

  // Set once the review has run.
  const std::optional<ReviewedIssue>& reviewed() const { return reviewed_issue_; }
  // The excluded titles that matched no article (UTF-8).
  const std::vector<std::string>& unmatched_exclusions() const { return unmatched_; }

 private:
  void ShowProgress(ProgressBar bar, int position, int max);

  std::ostream& progress_;
  ProgressStyle style_;
  const ArticleTable* table_ = nullptr;
  bool reviewed_ = false;
  int articles_done_ = 0;
  std::optional<ReviewedIssue> reviewed_issue_;
  std::vector<std::string> unmatched_;
};

}  // namespace tavex::cli
