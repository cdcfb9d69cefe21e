// The main window as the core sees it.
//
// There is no options object: every pass reads an option from its control at
// the moment it needs it, through this interface. The Qt window implements it,
// and so does MemoryWindow (the command line and the tests). All texts crossing
// it are Windows-1251; a front end converts at its own edge.
#pragma once

#include <string>
#include <string_view>

namespace tavex {

struct ArticleTable;

// The text fields, named after the options they hold (control in brackets).
enum class Field {
  SourceDir,            // Edit1
  TargetDir,            // Edit2
  IssueNumber,          // Edit3
  KeepTablesThreshold,  // Edit4
  CutTablesThreshold,   // Edit5
  CutCellsThreshold,    // Edit6
  ProjectPath,          // Edit7
  IndexPagePath,        // Edit8
  IssuesRoot,           // Edit9
  IssuesPerFolder,      // Edit10
};
inline constexpr int kFieldCount = 10;

// The switches in settings-flag order: flag i belongs to CheckBox(i + 1).
// MakeEpub is flag 14, the one that the settings file kept in reserve.
enum class Switch {
  RemoveAds,             // CheckBox1
  InsertExtraInfo,       // CheckBox2
  ReplaceFragments,      // CheckBox3
  LinkMainPage,          // CheckBox4
  CutScripts,            // CheckBox5
  KeepTablesAboveRatio,  // CheckBox6
  PreferFewerLinks,      // CheckBox7
  PickRichestTable,      // CheckBox8
  WidenTables,           // CheckBox9
  CutTablesBelowRatio,   // CheckBox10
  CutCellsBelowRatio,    // CheckBox11
  RecoverTitle,          // CheckBox12
  AddToProject,          // CheckBox13
  RunCompiler,           // CheckBox14
  MakeEpub,              // the EPUB switch on the compile tab
  // Switches for today's pages, beyond the settings file's fifteen flags; they
  // are kept in the working folder's second settings file.
  PickArticleBlock,    // the article block of a page laid out without tables
  ModernPictures,      // pictures from srcset, <picture> and lazy-loading attributes
  TrimSiteName,        // the site's name cut from the title
  UnlinkMissingPages,  // links to pages outside the issue unwrapped, inside it rewritten
  TitledContents,      // the help contents name an issue by its title, not its number alone
};
inline constexpr int kSwitchCount = 20;
// The switches whose flags the settings file "tavex.sav" holds: the first 15.
inline constexpr int kSavedSwitchCount = 15;

enum class ProgressBar { Rubrics /* ProgressBar1 */, Articles /* ProgressBar2 */ };

struct Date {
  int year = 2000;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
};

struct FieldInfo {
  Field field;
  const char* name;          // option name, as the command line's --set takes it
  const char* default_text;  // the designer default
};
struct SwitchInfo {
  Switch sw;
  const char* name;
  bool default_on;
};
extern const FieldInfo kFields[kFieldCount];
extern const SwitchInfo kSwitches[kSwitchCount];
const FieldInfo* FindFieldByName(std::string_view name);
const SwitchInfo* FindSwitchByName(std::string_view name);

// Thrown out of ProcessMessages when the user closed the window during a run:
// the run stops at that pause. It is not a failure and shows no message.
class Cancelled {};

class MainWindow {
 public:
  virtual ~MainWindow() = default;

  virtual std::string FieldText(Field field) const = 0;
  virtual void SetFieldText(Field field, std::string_view text) = 0;
  virtual bool IsChecked(Switch sw) const = 0;
  virtual void SetChecked(Switch sw, bool on) = 0;

  virtual Date IssueDate() const = 0;
  virtual void SetIssueDate(Date date) = 0;
  // IssueDate in the system's short date format.
  virtual std::string ShortDate() const = 0;

  // The rubric grid: row 0 is the header; column 0 folder, column 1 rubric.
  virtual int RowCount() const = 0;
  virtual void SetRowCount(int rows) = 0;
  virtual std::string Cell(int column, int row) const = 0;
  virtual void SetCell(int column, int row, std::string_view text) = 0;

  virtual void SetProgressMax(ProgressBar bar, int max) = 0;
  virtual void SetProgressPosition(ProgressBar bar, int position) = 0;
  virtual void SetCaption(std::string_view caption) = 0;

  // Lets pending window messages run; may throw Cancelled.
  virtual void ProcessMessages() = 0;
  // A message window with a text (input checks and failures).
  virtual void ShowMessage(std::string_view text) = 0;
  // Something the run passed over and goes on without (a file it skipped, a
  // picture it could not copy), naming the file. Never a reason to stop: the
  // command line prints it as a line of its own on the error stream, the
  // window shows the run's warnings together when the run ends.
  virtual void ShowWarning(std::string_view text) = 0;
  // What the run is doing now, for a long step with no progress of its own
  // (the help compiler); an empty text clears it. The window shows it beside
  // its Start button, the command line prints it as a line of its progress.
  // A window that has nowhere to show it passes it over.
  virtual void ShowStatus(std::string_view text) { (void)text; }
  // The modal review of the issue's articles; returns when it closes. On Ok the
  // implementation runs ApplyReview (dialog/apply_review.h) on the table.
  virtual void ReviewArticles(ArticleTable& table) = 0;
};

}  // namespace tavex
