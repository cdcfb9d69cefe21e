// TForm1 as the core's MainWindow: each option read from or written to its
// control, texts converted between Windows-1251 and Qt at this edge.
#include <QCheckBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QProgressBar>
#include <QTableWidget>
#include <algorithm>

#include "app/short_date.h"
#include "dialog/apply_review.h"
#include "main_form.h"
#include "platform/failure.h"
#include "qt_text.h"
#include "review_form.h"

namespace tavex::gui {

std::string TForm1::FieldText(Field field) const {
  return ToCore(Edit(field)->text());
}

void TForm1::SetFieldText(Field field, std::string_view text) {
  Edit(field)->setText(FromCore(text));
}

bool TForm1::IsChecked(Switch sw) const {
  return CheckBox(sw)->isChecked();
}

// setChecked emits toggled like a click does, so CheckBox8 keeps its three
// table options' enabled state in step when settings are applied.
void TForm1::SetChecked(Switch sw, bool on) {
  CheckBox(sw)->setChecked(on);
}

Date TForm1::IssueDate() const {
  QDate date = DateTimePicker1->date();
  return {date.year(), date.month(), date.day()};
}

void TForm1::SetIssueDate(Date date) {
  DateTimePicker1->setDate(QDate(date.year, date.month, date.day));
}

std::string TForm1::ShortDate() const {
  // The C locale's short date is American ("3/5/26"); readers expect the
  // Russian one there.
  if (QLocale().language() == QLocale::C) return RussianShortDate(IssueDate());
  return ToCore(QLocale().toString(DateTimePicker1->date(), QLocale::ShortFormat));
}

// Row 0 of the core's grid is the table's horizontal header; data row r is
// the table's row r - 1.
int TForm1::RowCount() const {
  return StringGrid1->rowCount() + 1;
}

void TForm1::SetRowCount(int rows) {
  StringGrid1->setRowCount(std::max(0, rows - 1));
}

std::string TForm1::Cell(int column, int row) const {
  if (column < 0 || column > 1 || row < 0 || row >= RowCount()) return {};
  const QTableWidgetItem* item =
      row == 0 ? StringGrid1->horizontalHeaderItem(column) : StringGrid1->item(row - 1, column);
  return item ? ToCore(item->text()) : std::string();
}

void TForm1::SetCell(int column, int row, std::string_view text) {
  if (column < 0 || column > 1 || row < 0 || row >= RowCount()) return;
  if (row == 0) {
    StringGrid1->setHorizontalHeaderItem(column, new QTableWidgetItem(FromCore(text)));
  } else if (QTableWidgetItem* item = StringGrid1->item(row - 1, column)) {
    item->setText(FromCore(text));
  } else {
    StringGrid1->setItem(row - 1, column, new QTableWidgetItem(FromCore(text)));
  }
}

// The build sets a maximum of count - 1, which is 0 for a single article and
// -1 for none. A Qt bar with an empty range turns into a busy indicator, so
// the range is kept at least 0..1: the bar then simply stays empty.
void TForm1::SetProgressMax(ProgressBar bar, int max) {
  QProgressBar* widget = bar == ProgressBar::Rubrics ? ProgressBar1 : ProgressBar2;
  widget->setRange(0, std::max(1, max));
}

void TForm1::SetProgressPosition(ProgressBar bar, int position) {
  QProgressBar* widget = bar == ProgressBar::Rubrics ? ProgressBar1 : ProgressBar2;
  widget->setValue(std::clamp(position, 0, widget->maximum()));
}

void TForm1::SetCaption(std::string_view caption) {
  setWindowTitle(FromCore(caption));
}

void TForm1::ProcessMessages() {
  QCoreApplication::processEvents();
  if (close_requested_) throw Cancelled();
}

void TForm1::ShowMessage(std::string_view text) {
  QString shown = FromCore(text);
  if (message_hook) {
    message_hook(shown);
  } else {
    QMessageBox::information(this, windowTitle(), shown);
  }
}

void TForm1::ShowWarning(std::string_view text) {
  warnings_.append(FromCore(text));
}

void TForm1::ShowStatus(std::string_view text) {
  StatusLabel->setText(FromCore(text));
  StatusLabel->setToolTip(FromCore(text));
}

void TForm1::ReviewArticles(ArticleTable& table) {
  // What the run passed over is said before the editor judges its articles:
  // a rubric whose folder was missing shows as an empty list otherwise.
  ShowRunWarnings();
  form2_->SetTable(*this, table);
  int result = review_hook ? review_hook(*form2_) : form2_->exec();
  form2_->ClearTable();
  if (result == QDialog::Accepted) {
    // Still inside the build: TargetDir holds the resolved issue folder.
    try {
      ApplyReview(*this, table);
    } catch (const Failure& failure) {
      ShowFailure(FromCore(failure.what()));
    }
  }
  // Coming back from the dialog is an activation of the main window.
  FormActivate();
}

}  // namespace tavex::gui
