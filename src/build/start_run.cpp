#include "build/start_run.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "build/find_files.h"
#include "build/help_compiler.h"
#include "build/help_contents.h"
#include "build/issue_links.h"
#include "build/issue_tree.h"
#include "build/navigation_page.h"
#include "build/start_page.h"
#include "clean/clean_article.h"
#include "clean/line_helpers.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/shown_path.h"
#include "platform/text.h"
#include "rules/rule_files.h"

namespace tavex {
namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

// "Кол-во знаков", "Соотношение текст/ссылка": the labels beside the fields.
constexpr const char* kIssueNumberLabel = "\xb9";  // "№"
constexpr const char* kKeepTablesLabel = "\xca\xee\xeb-\xe2\xee \xe7\xed\xe0\xea\xee\xe2";
constexpr const char* kCutTablesLabel =
    "\xd1\xee\xee\xf2\xed\xee\xf8\xe5\xed\xe8\xe5 \xf2\xe5\xea\xf1\xf2/\xf1\xf1\xfb\xeb\xea\xe0";
// "Соотношение текст/ссылка для ячеек"
constexpr const char* kCutCellsLabel =
    "\xd1\xee\xee\xf2\xed\xee\xf8\xe5\xed\xe8\xe5 \xf2\xe5\xea\xf1\xf2/\xf1\xf1\xfb"
    "\xeb\xea\xe0 \xe4\xeb\xff \xff\xf7\xe5\xe5\xea";
// "Рубрика «%s»: папка %s ведёт за пределы исходной папки и пропущена"
constexpr const char* kRubricOutside =
    "\xd0\xf3\xe1\xf0\xe8\xea\xe0 \xab%s\xbb: \xef\xe0\xef\xea\xe0 %s \xe2\xe5\xe4\xb8\xf2 "
    "\xe7\xe0 \xef\xf0\xe5\xe4\xe5\xeb\xfb \xe8\xf1\xf5\xee\xe4\xed\xee\xe9 \xef\xe0\xef"
    "\xea\xe8 \xe8 \xef\xf0\xee\xef\xf3\xf9\xe5\xed\xe0";
// "Рубрика «%s»: нет папки %s"
constexpr const char* kRubricMissing =
    "\xd0\xf3\xe1\xf0\xe8\xea\xe0 \xab%s\xbb: \xed\xe5\xf2 \xef\xe0\xef\xea\xe8 %s";
// "В папках рубрик нет ни одной статьи: выпуск не собран, папка %s не тронута"
constexpr const char* kNoArticles =
    "\xc2 \xef\xe0\xef\xea\xe0\xf5 \xf0\xf3\xe1\xf0\xe8\xea \xed\xe5\xf2 \xed\xe8 \xee\xe4\xed\xee"
    "\xe9 \xf1\xf2\xe0\xf2\xfc\xe8: \xe2\xfb\xef\xf3\xf1\xea \xed\xe5 \xf1\xee\xe1\xf0\xe0\xed, "
    "\xef\xe0\xef\xea\xe0 %s \xed\xe5 \xf2\xf0\xee\xed\xf3\xf2\xe0";
// "Рубрика «%s»: в папке %s нет статей"
constexpr const char* kRubricEmpty =
    "\xd0\xf3\xe1\xf0\xe8\xea\xe0 \xab%s\xbb: \xe2 \xef\xe0\xef\xea\xe5 %s \xed\xe5\xf2 "
    "\xf1\xf2\xe0\xf2\xe5\xe9";

}  // namespace

bool CheckNumberField(std::string_view text, std::string_view label, MainWindow& window) {
  if (TryParseInt(text)) return true;
  window.ShowMessage(std::string(label) + " \xed\xe5 \xf7\xe8\xf1\xeb\xee");  // " не число"
  return false;
}

bool FindRubricArticles(MainWindow& window, int row, std::vector<std::string>& files) {
  const std::string folder_cell = window.Cell(0, row);
  if (folder_cell.empty()) return false;
  const std::string source_root = window.FieldText(Field::SourceDir);
  const std::string folder = source_root + "\\" + folder_cell;
  const std::string name = window.Cell(1, row);
  if (!FolderExists(folder)) {
    window.ShowWarning(FillIn(kRubricMissing, {name, ShownPath(folder)}));
    return false;
  }
  if (!IsWithinFolder(folder, source_root)) {  // a link that leads elsewhere
    window.ShowWarning(FillIn(kRubricOutside, {name, ShownPath(folder)}));
    return false;
  }
  FindFiles(folder, ".htm", files, window, source_root);
  if (files.empty()) window.ShowWarning(FillIn(kRubricEmpty, {name, ShownPath(folder)}));
  return true;
}

void SortArticlesByTitle(std::vector<TArticleEntry>& rubric) {
  // Character codes, as the code page orders them: Latin before Cyrillic,
  // capitals before small letters; equal titles keep their discovery order.
  std::stable_sort(
      rubric.begin(), rubric.end(),
      [](const TArticleEntry& a, const TArticleEntry& b) { return a.Title < b.Title; });
}

const TNumberField kNumberFields[4] = {
    {Field::IssueNumber, kIssueNumberLabel},
    {Field::KeepTablesThreshold, kKeepTablesLabel},
    {Field::CutTablesThreshold, kCutTablesLabel},
    {Field::CutCellsThreshold, kCutCellsLabel},
};

bool CheckNumberFields(MainWindow& window) {
  for (const TNumberField& number : kNumberFields)
    if (!CheckNumberField(window.FieldText(number.field), number.label, window)) return false;
  return true;
}

namespace {

// The three folder fields that a run resolves for its duration. Their typed
// texts (with "#x1" templates, a trailing "\") come back when the run ends,
// also when it fails or is cancelled, so a template is never lost. A save or
// load during the run may change the typed texts in between.
class FolderFieldsGuard {
 public:
  FolderFieldsGuard(MainWindow& window, TypedFolderTexts& typed) : window_(window), typed_(typed) {
    for (int i = 0; i < 3; ++i) typed_.texts[i] = window.FieldText(kFolderFields[i]);
    typed_.held = true;
  }
  ~FolderFieldsGuard() {
    typed_.held = false;
    for (int i = 0; i < 3; ++i) window_.SetFieldText(kFolderFields[i], typed_.texts[i]);
  }
  FolderFieldsGuard(const FolderFieldsGuard&) = delete;
  FolderFieldsGuard& operator=(const FolderFieldsGuard&) = delete;

 private:
  MainWindow& window_;
  TypedFolderTexts& typed_;
};

// Stages 3 and 4: the issue number put into the folder fields, and TargetDir
// without a trailing separator.
void ResolveFolderFields(MainWindow& window) {
  for (Field field : kFolderFields)
    window.SetFieldText(field, SubstituteIssueNumber(window.FieldText(field), window));
  std::string target = window.FieldText(Field::TargetDir);
  if (target.empty()) throw Failure("Range check error");
  // Every separator at the end goes, but a root keeps its own ("/", "C:\"):
  // stripped to nothing it would read as the working folder.
  size_t end = target.size();
  while (end > 1 && IsSeparator(target[end - 1]) && !(end == 3 && target[1] == ':')) --end;
  if (end != target.size()) {
    target.resize(end);
    window.SetFieldText(Field::TargetDir, target);
  }
}

// Stage 9 for one data row whose folder was found: cleans the rubric's
// articles into pages numbered from article_number on, records them in title
// order and adds their blocks. issue: the articles' pages for links between
// them (null: not mapped).
void BuildRubric(MainWindow& window, int row, const TRubricFiles& files,
                 std::vector<TArticleEntry>& rubric, TNavigationPage& page, int& article_number,
                 const TIssueArticles* issue) {
  const std::string source_root = window.FieldText(Field::SourceDir);
  AddRubricHeading(page, window.Cell(1, row));
  if (files.empty()) return;

  window.SetProgressMax(ProgressBar::Articles, static_cast<int>(files.size()) - 1);
  for (size_t i = 0; i < files.size(); ++i) {
    const std::string page_name = std::to_string(article_number++) + ".htm";
    const std::string page_path = window.FieldText(Field::TargetDir) + "\\pub\\" + page_name;
    // "pub" was emptied when the run began and each number is used once, so
    // the page is new: no earlier file to remove first.
    TArticleEntry entry;
    entry.Title = CleanArticle(files[i], page_path, window, source_root, issue);
    entry.LinkMarkup = "<a href=\"..\\pub\\" + page_name + "\">";
    entry.FilePath = page_path;
    entry.Included = true;
    rubric.push_back(std::move(entry));
    window.SetProgressPosition(ProgressBar::Articles, static_cast<int>(i));
  }
  SortArticlesByTitle(rubric);
  for (const TArticleEntry& entry : rubric) AddArticleLine(page, entry.Title, entry.LinkMarkup);
}

// Stages 2 to 13: everything between the number checks and the hand-off.
// Answers the issue as it was built, for the hand-off.
TIssueFacts BuildIssue(MainWindow& window, ArticleTable& table, const IssueEdition& edition,
                       TypedFolderTexts& typed) {
  FolderFieldsGuard folder_fields(window, typed);
  ResolveFolderFields(window);
  TRunFolders folders;
  folders.Resolve(window);
  ResetPictureRegister();
  // Every rubric is listed once, before the issue folder is touched: a run
  // that would make no article (every folder mistyped or empty) must not empty
  // the previous issue; links between articles need every page number first;
  // and the warnings about missing or empty folders come once.
  const int rows = window.RowCount();
  std::vector<std::optional<TRubricFiles>> rubric_files(rows > 1 ? rows - 1 : 0);
  bool any_article = false;
  for (int row = 1; row < rows; ++row) {
    TRubricFiles files;
    if (FindRubricArticles(window, row, files)) rubric_files[row - 1] = std::move(files);
    any_article = any_article || (rubric_files[row - 1] && !rubric_files[row - 1]->empty());
  }
  if (!any_article)
    throw Failure(FillIn(kNoArticles, {ShownPath(window.FieldText(Field::TargetDir))}));
  WarnOfMissingRuleFolder(window);
  folders.Take(window);
  folders.PrepareIssueFolders(window);
  TNavigationPage page = PrepareNavigationPage(window);

  // The rubric loop. Rubric k belongs to data row k + 1.
  table.Rubrics.assign(rows > 1 ? rows - 1 : 0, {});
  table.HasHeading.assign(table.Rubrics.size(), false);
  window.SetProgressMax(ProgressBar::Rubrics, rows - 2);
  int article_number = 0;
  // The map costs a look at each page's head, so it is made only on demand.
  std::optional<TIssueArticles> articles;
  if (window.IsChecked(Switch::UnlinkMissingPages)) articles = MapIssueArticles(rubric_files);
  for (int row = 1; row < rows; ++row) {
    auto& rubric = table.Rubrics[row - 1];
    const auto& files = rubric_files[row - 1];
    table.HasHeading[row - 1] = files.has_value();
    if (files)
      BuildRubric(window, row, *files, rubric, page, article_number,
                  articles ? &*articles : nullptr);
    if (!rubric.empty()) window.SetProgressPosition(ProgressBar::Rubrics, row - 1);
  }

  SaveNavigationPage(page, window);
  CopyIssuePictures(window);
  WriteStartPage(window);
  if (window.IsChecked(Switch::AddToProject)) AddIssueToContents(window);
  const bool make_edition = window.IsChecked(Switch::MakeEpub) && edition;
  const TIssueFacts issue = TakeIssueFacts(window);
  window.ReviewArticles(table);
  if (make_edition) edition(window, issue, table);
  window.SetProgressPosition(ProgressBar::Rubrics, 0);
  window.SetProgressPosition(ProgressBar::Articles, 0);
  return issue;
}

}  // namespace

TIssueFacts TakeIssueFacts(const MainWindow& window) {
  TIssueFacts issue;
  issue.TargetDir = window.FieldText(Field::TargetDir);
  issue.IssueNumber = window.FieldText(Field::IssueNumber);
  issue.IndexPagePath = window.FieldText(Field::IndexPagePath);
  issue.IssueDate = window.IssueDate();
  for (int row = 1; row < window.RowCount(); ++row) {
    issue.RubricFolders.push_back(window.Cell(0, row));
    issue.RubricNames.push_back(window.Cell(1, row));
  }
  return issue;
}

void WithTypedFolderTexts(MainWindow& window, TypedFolderTexts& typed,
                          const std::function<void()>& command) {
  if (!typed.held) {
    command();
    return;
  }
  std::array<std::string, 3> resolved;
  for (int i = 0; i < 3; ++i) {
    resolved[i] = window.FieldText(kFolderFields[i]);
    window.SetFieldText(kFolderFields[i], typed.texts[i]);
  }
  // Put back on every way out: a failed load must not leave the run reading
  // the templates.
  struct Restore {
    MainWindow& window;
    TypedFolderTexts& typed;
    std::array<std::string, 3>& resolved;
    ~Restore() {
      for (int i = 0; i < 3; ++i) {
        typed.texts[i] = window.FieldText(kFolderFields[i]);
        window.SetFieldText(kFolderFields[i], resolved[i]);
      }
    }
  } restore{window, typed, resolved};
  command();
}

StartResult StartRun(MainWindow& window, ArticleTable& table, const IssueEdition& edition,
                     TypedFolderTexts* typed) {
  if (!CheckNumberFields(window)) return StartResult::InputRejected;
  TypedFolderTexts own;
  const TIssueFacts issue = BuildIssue(window, table, edition, typed ? *typed : own);
  // Read after the review closed, with the typed folder texts back in place;
  // the start page the help file must hold is the one this run wrote.
  if (window.IsChecked(Switch::RunCompiler) &&
      !OpenHelpProject(window.FieldText(Field::ProjectPath), issue.IndexPagePath, window))
    return StartResult::FinishedWithoutHelpFile;
  return StartResult::Finished;
}

}  // namespace tavex