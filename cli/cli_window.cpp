#include "cli/cli_window.h"

#include "app/visible_title.h"
#include "cli/cli_summary.h"
#include "dialog/apply_review.h"
#include "platform/text.h"

namespace tavex::cli {
namespace {

constexpr int kBarWidth = 30;

}  // namespace

CliWindow::CliWindow(std::ostream& progress, ProgressStyle style)
    : progress_(progress), style_(style) {
  on_progress = [this](ProgressBar bar, int position, int max) {
    ShowProgress(bar, position, max);
  };
}

void CliWindow::ReviewArticles(ArticleTable& table) {
  if (style_ == ProgressStyle::Bar && articles_done_ > 0) progress_ << "\n";
  reviewed_ = true;
  reviewed_issue_ = ReviewedIssue{TakeIssueFacts(*this), FieldText(Field::SourceDir),
                                  IsChecked(Switch::MakeEpub)};
  std::vector<bool> matched(excluded_titles.size(), false);
  // As written in the page: the typed text in the page's code page, unless it
  // holds characters the code page lacks (those would turn into "?").
  std::vector<std::optional<std::string>> raw;
  for (const std::string& title : excluded_titles) {
    std::string cp1251 = Utf8To1251(title);
    raw.push_back(Cp1251ToUtf8(cp1251) == title ? std::optional(cp1251) : std::nullopt);
  }
  for (auto& rubric : table.Rubrics)
    for (auto& article : rubric) {
      const std::string visible = VisibleTitle(article.Title);
      for (size_t i = 0; i < excluded_titles.size(); ++i)
        if (article.Title == raw[i] || visible == excluded_titles[i]) {
          article.Included = false;
          matched[i] = true;
        }
    }
  for (size_t i = 0; i < excluded_titles.size(); ++i)
    if (!matched[i]) unmatched_.push_back(excluded_titles[i]);
  ApplyReview(*this, table);
}

void CliWindow::ShowWarning(std::string_view text) {
  MemoryWindow::ShowWarning(text);
  // A progress bar is drawn on the same line: the warning starts a line of its own.
  if (style_ == ProgressStyle::Bar && articles_done_ > 0) progress_ << "\n";
  PrintPrefixed(progress_, kWarningPrefix, Cp1251ToUtf8(text));
}

void CliWindow::ShowStatus(std::string_view text) {
  MemoryWindow::ShowStatus(text);
  if (style_ == ProgressStyle::None || text.empty()) return;
  PrintPrefixed(progress_, kProgramPrefix, Cp1251ToUtf8(text));
}

void CliWindow::ShowProgress(ProgressBar bar, int position, int max) {
  // Only a recorded article is news; the bars' reset after the review is not.
  if (style_ == ProgressStyle::None || bar != ProgressBar::Articles || reviewed_ || !table_) return;
  // The rubric being filled is the last one holding articles: the run empties
  // every rubric first and fills them in grid order.
  int rubric = static_cast<int>(table_->Rubrics.size()) - 1;
  while (rubric >= 0 && table_->Rubrics[rubric].empty()) --rubric;
  if (rubric < 0) return;
  ++articles_done_;
  const std::string title = Cp1251ToUtf8(table_->Rubrics[rubric].back().Title);
  const int rubrics = static_cast<int>(table_->Rubrics.size());
  const int in_rubric = max + 1;

  if (style_ == ProgressStyle::Lines) {
    progress_ << articles_done_ << " [" << Cp1251ToUtf8(Cell(1, rubric + 1)) << " " << position + 1
              << "/" << in_rubric << "] " << title << "\n";
    return;
  }
  // The share done: whole rubrics before this one, and this one's part.
  const double done = (rubric + static_cast<double>(position + 1) / in_rubric) / rubrics;
  const int filled = static_cast<int>(done * kBarWidth + 0.5);
  progress_ << "\r\x1b[K[" << std::string(filled, '#') << std::string(kBarWidth - filled, '.')
            << "] " << static_cast<int>(done * 100 + 0.5) << "% рубрика " << rubric + 1 << "/"
            << rubrics << ", статья " << position + 1 << "/" << in_rubric << std::flush;
}

}  // namespace tavex::cli
