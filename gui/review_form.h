// The review dialog "Статьи": the articles rubric by rubric, each with
// a check mark. The dialog mirrors a TReviewState (dialog/review_state.h) in
// its widgets; Ok only closes it with the Accepted result, and the main
// window then takes the unchecked articles off the issue (ApplyReview).
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "dialog/review_state.h"

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QToolButton;

namespace tavex::gui {

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm2(QWidget* parent = nullptr);
  ~TForm2() override;

  // The table to review, and the window whose grid names its rubrics. Both
  // must outlive the show; ClearTable lets go of them afterwards.
  void SetTable(const MainWindow& window, ArticleTable& table);
  void ClearTable();

  // Opens an article page on a double click; the desktop's default program
  // unless a test puts its own here.
  std::function<void(const std::string& path)> open_document;

  QLabel* Label1 = nullptr;
  QListWidget* CheckListBox1 = nullptr;
  QToolButton* SpeedButton1 = nullptr;  // <
  QToolButton* SpeedButton2 = nullptr;  // >
  QToolButton* SpeedButton3 = nullptr;  // check all
  QToolButton* SpeedButton4 = nullptr;  // uncheck all
  QPushButton* BitBtn1 = nullptr;       // Ok

  const TReviewState* state() const { return state_.get(); }

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormActivate();
  void FillArticleList();
  void CheckListBox1ClickCheck(QListWidgetItem* item);
  void CheckListBox1DblClick();
  void SetAllIncluded(bool on);

  std::unique_ptr<TReviewState> state_;
};

}  // namespace tavex::gui
