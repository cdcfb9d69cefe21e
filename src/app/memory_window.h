// An in-memory main window: the command line's and the tests' implementation
// of MainWindow. It starts from the designer defaults: every field and switch
// as the window is designed, a grid of 6 rows with its two header cells and
// empty data rows, and today's date.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/main_window.h"

namespace tavex {

class MemoryWindow : public MainWindow {
 public:
  MemoryWindow();

  std::string FieldText(Field field) const override;
  void SetFieldText(Field field, std::string_view text) override;
  bool IsChecked(Switch sw) const override;
  void SetChecked(Switch sw, bool on) override;
  Date IssueDate() const override { return date_; }
  void SetIssueDate(Date date) override { date_ = date; }
  // Formatted with the C library's current locale ("%x").
  std::string ShortDate() const override;
  int RowCount() const override { return static_cast<int>(grid_.size()); }
  void SetRowCount(int rows) override;
  std::string Cell(int column, int row) const override;
  void SetCell(int column, int row, std::string_view text) override;
  void SetProgressMax(ProgressBar bar, int max) override;
  void SetProgressPosition(ProgressBar bar, int position) override;
  void SetCaption(std::string_view caption) override { caption_ = caption; }
  void ProcessMessages() override;
  void ShowMessage(std::string_view text) override { messages_.emplace_back(text); }
  void ShowWarning(std::string_view text) override { warnings_.emplace_back(text); }
  void ShowStatus(std::string_view text) override { statuses_.emplace_back(text); }
  void ReviewArticles(ArticleTable& table) override;

  // What the window was told, for the command line and the tests to look at.
  const std::string& caption() const { return caption_; }
  const std::vector<std::string>& messages() const { return messages_; }
  const std::vector<std::string>& warnings() const { return warnings_; }
  // Every status text shown, the clearing empty ones included, in order.
  const std::vector<std::string>& statuses() const { return statuses_; }
  int progress_max(ProgressBar bar) const { return progress_max_[static_cast<int>(bar)]; }
  int progress_position(ProgressBar bar) const { return progress_pos_[static_cast<int>(bar)]; }
  long pump_count() const { return pump_count_; }

  // Called by ProcessMessages, so a test can change a control mid-run.
  std::function<void()> on_pump;
  // Called by ReviewArticles; without one the review keeps every article.
  std::function<void(ArticleTable&)> on_review;
  // Called by SetProgressPosition, so the command line can draw its progress.
  std::function<void(ProgressBar, int position, int max)> on_progress;

 private:
  std::array<std::string, kFieldCount> fields_;
  std::array<bool, kSwitchCount> switches_{};
  std::vector<std::array<std::string, 2>> grid_;
  Date date_;
  std::string caption_ = "MyTavex v3.71b";
  std::vector<std::string> messages_;
  std::vector<std::string> warnings_;
  std::vector<std::string> statuses_;
  std::array<int, 2> progress_max_{100, 100};
  std::array<int, 2> progress_pos_{0, 0};
  long pump_count_ = 0;
};

// Today's date from the system clock.
Date Today();

}  // namespace tavex
