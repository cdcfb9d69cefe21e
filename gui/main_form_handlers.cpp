// The main window's event handlers. Each one calls core routines; a Failure
// they throw ends the handler and is shown in a message window, and the
// window goes on with the values its controls hold at that moment.
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include "app/rubric_commands.h"
#include "build/start_run.h"
#include "launch/plug_ins.h"
#include "main_form.h"
#include "platform/failure.h"
#include "qt_text.h"

namespace tavex::gui {

// The handlers connected here; the layout made the controls.
void TForm1::ConnectHandlers() {
  connect(CheckBox(Switch::PickRichestTable), &QCheckBox::toggled, this,
          &TForm1::UpdateTableOptionsEnabled);
  connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
  connect(BitBtn1, &QPushButton::clicked, this, &QWidget::close);
  connect(SpeedButtons[1], &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
  connect(SpeedButtons[2], &QToolButton::clicked, this, &TForm1::SpeedButton2Click);
  auto command = [this](int button, void (*routine)(MainWindow&, int)) {
    connect(SpeedButtons[button], &QToolButton::clicked, this, [this, routine] {
      CommitGridEdit();
      Guarded([&] { routine(*this, CurrentRow()); });
    });
  };
  command(3, InsertRubricRow);
  command(4, DeleteRubricRow);
  command(6, SwapRubricRows);
  connect(SpeedButtons[5], &QToolButton::clicked, this, &TForm1::SpeedButton5Click);
  connect(SpeedButtons[7], &QToolButton::clicked, this, &TForm1::SpeedButton7Click);
}

bool TForm1::Confirm(const QString& text) {
  if (confirm_hook) return confirm_hook(text);
  return QMessageBox::question(this, windowTitle(), text) == QMessageBox::Yes;
}

// The scan replaces the rubric rows: rows the editor filled are replaced only
// when the editor says so (the titles typed for folders it finds again stay).
void TForm1::SpeedButton5Click() {
  CommitGridEdit();
  if (RubricRowsFilled(*this) &&
      !Confirm(QString::fromUtf8("Заменить строки таблицы рубрик подпапками папки «%1»? "
                                 "Названия рубрик у папок, которые уже есть в таблице, "
                                 "сохранятся.")
                   .arg(Edit(Field::SourceDir)->text())))
    return;
  Guarded([this] { AutoScan(*this); });
}

// A typed target folder is replaced only when the editor says so.
void TForm1::SpeedButton7Click() {
  const QString derived = FromCore(DerivedTargetDir(*this));
  if (derived.isEmpty()) return;
  const QString typed = Edit(Field::TargetDir)->text();
  if (!typed.isEmpty() && typed != derived &&
      !Confirm(QString::fromUtf8("Заменить целевую директорию «%1» на «%2»?").arg(typed, derived)))
    return;
  Guarded([this] { DeriveTargetDir(*this); });
}

// The picture buttons take no focus, so a cell being edited would keep its
// typed text to itself; taking the focus from its editor commits it.
void TForm1::CommitGridEdit() {
  QWidget* focused = QApplication::focusWidget();
  if (focused && StringGrid1->isAncestorOf(focused) && focused != StringGrid1)
    focused->clearFocus();
}

void TForm1::ShowFailure(const QString& text) {
  if (message_hook) {
    message_hook(text);
  } else {
    QMessageBox::critical(this, windowTitle(), text);
  }
}

// An exception must not leave a Qt event handler; anything the standard
// library throws (out of memory, say) is shown like a Failure.
void TForm1::Guarded(const std::function<void()>& command) {
  try {
    command();
  } catch (const Failure& failure) {
    ShowFailure(FromCore(failure.what()));
  } catch (const std::exception& error) {
    ShowFailure(QString::fromLocal8Bit(error.what()));
  }
}

// The activation that follows the review happens inside the run: like a
// load button press, it keeps the run's folders. During a run every settings
// command works on the folder fields' typed texts (WithTypedFolderTexts), so
// a save writes the "#x1" templates and a load changes what the fields show
// once the run is over, not the folders the run writes.
void TForm1::FormActivate() {
  activated_ = true;
  Guarded([this] {
    WithTypedFolderTexts(*this, run_folders_, [this] { ActivateMainWindow(*this, settings_); });
  });
}

// Qt reports every return from another program as activation too; only the
// first show counts here, the other activations are called where they happen.
// Queued, so the window is on screen before a "Cannot open file" message.
void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!activated_) {
    activated_ = true;
    QTimer::singleShot(0, this, &TForm1::FormActivate);
  }
}

// Closing during a build stops it at its next pause (ProcessMessages throws
// Cancelled); Button1Click then closes the window for good.
void TForm1::closeEvent(QCloseEvent* event) {
  if (building_) {
    close_requested_ = true;
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
}

void TForm1::UpdateTableOptionsEnabled() {
  bool on = CheckBox(Switch::PickRichestTable)->isChecked();
  CheckBox(Switch::KeepTablesAboveRatio)->setEnabled(on);
  CheckBox(Switch::PreferFewerLinks)->setEnabled(on);
  Edit(Field::KeepTablesThreshold)->setEnabled(on);
}

// Start. The build runs right here and keeps the window alive through
// ProcessMessages, so this handler can be entered again from inside itself:
// a second Start is refused rather than nested.
void TForm1::Button1Click() {
  if (building_) {
    QApplication::beep();
    return;
  }
  CommitGridEdit();
  building_ = true;
  warnings_.clear();
  StartResult result = StartResult::Finished;
  Guarded([&] {
    try {
      result = StartRun(*this, table_, EpubEditionPlugIn(), &run_folders_);
    } catch (const Cancelled&) {
      // The window was closed; it closes below.
    }
  });
  building_ = false;
  if (close_requested_) {
    close();
    return;
  }
  ShowRunWarnings();
  // The input check's message box was a form of the program: coming back
  // from it activates the main window.
  if (result == StartResult::InputRejected) FormActivate();
}

// The warnings of the run that just ended, in one message of bounded height:
// a build over thousands of articles must not make a box taller than the screen.
void TForm1::ShowRunWarnings() {
  if (warnings_.isEmpty()) return;
  constexpr int kShown = 15;
  QStringList shown = warnings_.mid(0, kShown);
  if (warnings_.size() > kShown)
    shown.append(QString::fromUtf8("… и ещё %1").arg(warnings_.size() - kShown));
  warnings_.clear();
  ShowMessage(ToCore(shown.join('\n')));
}

void TForm1::SpeedButton1Click() {
  CommitGridEdit();
  Guarded([this] {
    WithTypedFolderTexts(*this, run_folders_, [this] { SaveSettings(*this, settings_); });
  });
}

void TForm1::SpeedButton2Click() {
  Guarded([this] {
    WithTypedFolderTexts(*this, run_folders_, [this] { ApplySettings(settings_, *this); });
  });
}

// The grid's focused row as the core numbers rows (the header is row 0).
int TForm1::CurrentRow() const {
  return StringGrid1->currentRow() + 1;
}

}  // namespace tavex::gui
