// The main window "MyTavex v3.71b": three tabs of build options, the rubric
// grid, Start and the progress bars.
//
// The window is the core's MainWindow: each option lives in its control and
// the core reads it when it needs it. Everything the buttons do is core logic
// (settings, rubric commands, the Start run); this class only wires widgets
// to it and converts texts at its edge. Layout is in main_form.cpp, the
// MainWindow adapter in main_form_window.cpp, the handlers in
// main_form_handlers.cpp.
#pragma once

#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "app/main_window.h"
#include "app/settings.h"
#include "build/article_table.h"
#include "build/start_run.h"

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTableWidget;
class QToolButton;

namespace tavex::gui {

class TForm2;

class TForm1 : public QWidget, public MainWindow {
  Q_OBJECT

 public:
  explicit TForm1(QWidget* parent = nullptr);
  ~TForm1() override;

  // MainWindow (main_form_window.cpp).
  std::string FieldText(Field field) const override;
  void SetFieldText(Field field, std::string_view text) override;
  bool IsChecked(Switch sw) const override;
  void SetChecked(Switch sw, bool on) override;
  Date IssueDate() const override;
  void SetIssueDate(Date date) override;
  std::string ShortDate() const override;
  int RowCount() const override;
  void SetRowCount(int rows) override;
  std::string Cell(int column, int row) const override;
  void SetCell(int column, int row, std::string_view text) override;
  void SetProgressMax(ProgressBar bar, int max) override;
  void SetProgressPosition(ProgressBar bar, int position) override;
  void SetCaption(std::string_view caption) override;
  void ProcessMessages() override;
  void ShowMessage(std::string_view text) override;
  void ShowWarning(std::string_view text) override;
  void ShowStatus(std::string_view text) override;
  void ReviewArticles(ArticleTable& table) override;

  // The activation steps (settings loaded and applied, date set to today).
  // Runs at the first show, after the review dialog and after an input check
  // of Start; not when the editor merely comes back from another program,
  // which would throw away what was typed and not saved.
  void FormActivate();
  bool IsBuilding() const { return building_; }

  // Instead of a message box, hand the text to this (tests: no blocking box).
  std::function<void(const QString& text)> message_hook;
  // Instead of a yes/no question box, ask this (tests); true means yes.
  std::function<bool(const QString& text)> confirm_hook;
  // Instead of the modal show of the review dialog, call this; it returns the
  // dialog's result (QDialog::Accepted on Ok).
  std::function<int(TForm2& dialog)> review_hook;

  // The controls, under their designer names.
  QTabWidget* PageControl1 = nullptr;
  std::array<QLineEdit*, kFieldCount> Edits{};        // Edit1 .. Edit10 by Field
  std::array<QCheckBox*, kSwitchCount> CheckBoxes{};  // CheckBox1 .. 14, then EPUB
  QTableWidget* StringGrid1 = nullptr;                // data rows only; the header is row 0
  QDateEdit* DateTimePicker1 = nullptr;
  QProgressBar* ProgressBar1 = nullptr;        // rubrics
  QProgressBar* ProgressBar2 = nullptr;        // articles of the rubric
  QPushButton* Button1 = nullptr;              // Старт
  QPushButton* BitBtn1 = nullptr;              // Выход
  QLabel* StatusLabel = nullptr;               // what a long step of the run is doing
  std::array<QToolButton*, 8> SpeedButtons{};  // SpeedButton1 .. 7 at [1] .. [7]

  QLineEdit* Edit(Field field) const { return Edits[static_cast<int>(field)]; }
  QCheckBox* CheckBox(Switch sw) const { return CheckBoxes[static_cast<int>(sw)]; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Layout (main_form.cpp).
  void BuildMainTab(QWidget* page);
  // The grid columns as wide as the headers and the default rows need.
  void FitGridColumns();
  void BuildAdvancedTab(QWidget* page);
  void BuildCompileTab(QWidget* page);
  void ApplyDesignerDefaults();

  // Handlers (main_form_handlers.cpp).
  void ConnectHandlers();
  void CommitGridEdit();
  void Button1Click();
  void ShowRunWarnings();
  bool Confirm(const QString& text);
  void SpeedButton5Click();  // Автоскан
  void SpeedButton7Click();  // TargetDir from ProjectPath
  void UpdateTableOptionsEnabled();
  void SpeedButton1Click();  // save settings
  void SpeedButton2Click();  // apply the settings record
  int CurrentRow() const;
  void ShowFailure(const QString& text);
  // Runs a command, showing a Failure it throws.
  void Guarded(const std::function<void()>& command);

  TSettings settings_;            // the settings record, for the program's lifetime
  ArticleTable table_;            // the last build's articles
  TypedFolderTexts run_folders_;  // the running build's typed folder texts
  std::unique_ptr<TForm2> form2_;
  bool activated_ = false;
  bool building_ = false;
  bool close_requested_ = false;
  QStringList warnings_;  // the running build's, shown when it ends
};

}  // namespace tavex::gui
