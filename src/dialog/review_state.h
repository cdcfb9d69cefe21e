// The review dialog's logic ("Статьи"): which rubric it shows, what its list
// holds, and how the editor's check marks reach the article table. The Qt
// dialog only mirrors this state in its widgets; Ok itself is ApplyReview.
//
// Rubric k (from 0) is data row k + 1 of the rubric grid, whose column 1 holds
// its name. The table may hold fewer rubrics than the grid has data rows (rows
// added after the build): such a rubric shows an empty list.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "build/article_table.h"

namespace tavex {

struct TArticleListItem {
  std::string Title;  // Windows-1251, as the table holds it
  bool Checked = false;
};

// What FillArticleList puts into the dialog: the label and the check list.
struct TArticleList {
  std::string Label;  // the rubric name
  std::vector<TArticleListItem> Items;
};

class TReviewState {
 public:
  // Both are kept by reference and must outlive the state. The window is read
  // for the grid's row count and rubric names only.
  TReviewState(const MainWindow& window, ArticleTable& table);

  // FormActivate: back to the first rubric.
  void Activate() { current_rubric_ = 0; }
  int CurrentRubric() const { return current_rubric_; }
  // The label and items for the current rubric, checks from Included.
  TArticleList FillArticleList() const;

  // "<" and ">": one rubric back or on, staying within 0 .. row count - 2.
  void PreviousRubric();
  void NextRubric();

  // The editor toggled item index (from 0) of the list.
  void SetIncluded(int index, bool on);
  // The two picture buttons: every article of the current rubric in or out.
  void SetAllIncluded(bool on);

  // The page to open on a double click on item index; none for an index that
  // is not an article of the current rubric (no item selected).
  std::optional<std::string> ArticlePath(int index) const;

 private:
  int LastRubric() const;
  std::vector<TArticleEntry>* Articles() const;

  const MainWindow& window_;
  ArticleTable& table_;
  int current_rubric_ = 0;
};

}  // namespace tavex
