#include "dialog/review_state.h"

#include <algorithm>

namespace tavex {

TReviewState::TReviewState(const MainWindow& window, ArticleTable& table)
    : window_(window), table_(table) {}

int TReviewState::LastRubric() const {
  return std::max(0, window_.RowCount() - 2);
}

std::vector<TArticleEntry>* TReviewState::Articles() const {
  if (current_rubric_ >= static_cast<int>(table_.Rubrics.size())) return nullptr;
  return &table_.Rubrics[current_rubric_];
}

TArticleList TReviewState::FillArticleList() const {
  TArticleList list;
  list.Label = window_.Cell(1, current_rubric_ + 1);
  if (const auto* articles = Articles()) {
    for (const TArticleEntry& entry : *articles)
      list.Items.push_back({entry.Title, entry.Included});
  }
  return list;
}

void TReviewState::PreviousRubric() {
  if (current_rubric_ > 0) --current_rubric_;
}

void TReviewState::NextRubric() {
  if (current_rubric_ < LastRubric()) ++current_rubric_;
}

void TReviewState::SetIncluded(int index, bool on) {
  auto* articles = Articles();
  if (articles && index >= 0 && index < static_cast<int>(articles->size()))
    (*articles)[index].Included = on;
}

void TReviewState::SetAllIncluded(bool on) {
  if (auto* articles = Articles())
    for (TArticleEntry& entry : *articles) entry.Included = on;
}

std::optional<std::string> TReviewState::ArticlePath(int index) const {
  const auto* articles = Articles();
  if (!articles || index < 0 || index >= static_cast<int>(articles->size())) return std::nullopt;
  return (*articles)[index].FilePath;
}

}  // namespace tavex
