// The review dialog "Статьи": the articles rubric by rubric, each with
// a check mark. The dialog mirrors a TReviewState (dialog/review_state.h) in
// its widgets; Ok only closes it with the Accepted result, and the main
// window then takes the unchecked articles off the issue (ApplyReview).
//
// The preview button beside the four of the panel opens a pane at the
// dialog's right that shows the selected article's cleaned page with the
// issue's pictures, so the editor sees what a page will look like before Ok.
// It is off at every show: the dialog then looks as it was designed.
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
class QTextBrowser;
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
  QToolButton* SpeedButton5 = nullptr;  // the preview, on or off
  QPushButton* BitBtn1 = nullptr;       // Ok
  QTextBrowser* Preview = nullptr;      // the selected article's page

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
  void ShowPreview(bool on);
  void PreviewArticle(int index);

  std::unique_ptr<TReviewState> state_;
  QWidget* column_ = nullptr;  // the label, the list and the panel
};

}  // namespace tavex::gui
