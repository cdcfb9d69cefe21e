// The article pipeline: thirteen steps in a fixed order. Each switch is read
// from the window when its step is reached, because the rule passes let window
// messages run and the user may change a switch in the middle of an article.
#include "clean/clean_article.h"

#include "app/main_window.h"
#include "clean/article_block.h"
#include "clean/article_title.h"
#include "clean/clean_trace.h"
#include "clean/content_table.h"
#include "clean/head_repair.h"
#include "clean/line_helpers.h"
#include "clean/line_list.h"
#include "clean/page_encoding.h"
#include "clean/page_finish.h"
#include "clean/page_links.h"
#include "clean/page_load.h"
#include "clean/pictures.h"
#include "clean/site_name.h"
#include "clean/web_reference.h"
#include "clean/widen_tables.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/temp_folder.h"
#include "rules/rule_files.h"
#include "rules/rule_passes.h"

namespace tavex {
namespace {

// Step 1: the page's bytes in Windows-1251, split into lines. The encoding is
// decided here and nowhere else: every other file of the system is
// Windows-1251 by definition. The pictures the page carries inside itself go
// into the scratch folder now, while their tags still have their letter case.
LineList LoadArticle(std::string_view source_path, std::string_view source_root,
                     TempFolder& scratch, MainWindow& window) {
  return SplitIntoLines(
      LoadPageText(source_path, source_root, scratch, window.IsChecked(Switch::ModernPictures)));
}

// The source path without its file name and without a trailing separator.
std::string FolderOf(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? std::string(".") : std::string(path.substr(0, slash));
}

std::string CleanArticleSteps(std::string_view source_path, std::string_view target_path,
                              MainWindow& window, std::string_view source_root,
                              const TIssueArticles* issue, TCleanTrace* trace) {
  // The four rule passes share one listing of the rule folder.
  TRuleFolder rules(window);
  rules.SetTrace(trace);
  TempFolder scratch;  // removed when the article is done, also on a failure
  LineList article = LoadArticle(source_path, source_root, scratch, window);  // 1
  TStepWatch watch(trace, article);  // tells a trace what each step changed
  SplitTagsToLines(article);         // 2
  watch.After(kStepNormalise);
  RepairHead(article);  // 3
  watch.After(kStepHeadRepair);
  if (window.IsChecked(Switch::CutScripts)) CutScriptsAndLinks(article);  // 4
  watch.After(kStepScripts);
  if (window.IsChecked(Switch::ReplaceFragments)) ApplyReplaceRules(article, window, &rules);  // 5
  watch.Resync();
  if (window.IsChecked(Switch::WidenTables)) WidenTableTags(article);  // 6
  watch.After(kStepWidenTables);
  std::string title = FindArticleTitle(article);  // 7
  if (window.IsChecked(Switch::TrimSiteName)) title = TrimSiteName(title, article);
  if (window.IsChecked(Switch::RemoveAds)) {  // 8
    // The block pass judges the page as it stood before the table pass.
    const LineList page = window.IsChecked(Switch::PickArticleBlock) ? article : LineList();
    if (window.IsChecked(Switch::PickRichestTable)) SelectContentTable(article, window);
    watch.After(kStepContentTable);
    if (!page.empty()) PickArticleBlock(article, page, title);
    watch.After(kStepArticleBlock);
    ApplyCutRules(article, window, &rules);
    ApplyDeleteRules(article, window, &rules);
    watch.Resync();
  }
  const std::string folder = FolderOf(source_path);  // 9
  RewritePictures(article, folder, source_root.empty() ? folder : source_root, PictureRegister(),
                  window, LastPathPart(source_path),
                  scratch.Made() ? scratch.Path() : std::string());
  watch.After(kStepPictures);
  if (window.IsChecked(Switch::UnlinkMissingPages)) RewritePageLinks(article, source_path, issue);
  watch.After(kStepLinks);
  AddTitleHeading(article, title);  // 10
  watch.After(kStepHeading);
  // 11: the title goes back to the caller below, after the page is saved.
  if (window.IsChecked(Switch::InsertExtraInfo)) ApplyInsertRules(article, window, &rules);  // 12
  FinishArticlePage(article, title);
  SaveLines(target_path, article);                                                           // 13
  return title;
}

}  // namespace

std::string CleanArticle(std::string_view source_path, std::string_view target_path,
                         MainWindow& window, std::string_view source_root,
                         const TIssueArticles* issue, TCleanTrace* trace) {
  try {
    return CleanArticleSteps(source_path, target_path, window, source_root, issue, trace);
  } catch (const Failure& failure) {
    // A failure that names no file of its own (a threshold that is not a
    // number, a rule's text) names the page being cleaned.
    throw failure.At(source_path);
  }
}

void ResetPictureRegister() {
  PictureRegister().Reset();
}

}  // namespace tavex
