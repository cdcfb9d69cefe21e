// The command line's main window: the in-memory window, with the messages
// kept for the end of the run and the build's progress drawn on a stream.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "app/memory_window.h"
#include "build/article_table.h"

namespace tavex::cli {

enum class ProgressStyle { None, Lines, Bar };

class CliWindow : public MemoryWindow {
 public:
  CliWindow(std::ostream& progress, ProgressStyle style);

  // Titles whose articles the review drops (Windows-1251, compared exactly).
  std::vector<std::string> excluded_titles;

  // Keeps unchecking and the review's Ok (ApplyReview) in one place, as the
  // window's dialog does on Ok.
  void ReviewArticles(ArticleTable& table) override;
  // Printed at once, a line each, on the progress stream (standard error).
  void ShowWarning(std::string_view text) override;
  // Follows the article table that the run fills, for the titles it shows.
  void WatchTable(const ArticleTable* table) { table_ = table; }

 private:
  void ShowProgress(ProgressBar bar, int position, int max);

  std::ostream& progress_;
  ProgressStyle style_;
  const ArticleTable* table_ = nullptr;
  bool reviewed_ = false;
  int articles_done_ = 0;
};

}  // namespace tavex::cli
