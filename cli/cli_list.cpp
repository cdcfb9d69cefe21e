#include "cli/cli_list.h"

#include <filesystem>
#include <random>
#include <vector>

#include "app/visible_title.h"
#include "build/find_files.h"
#include "build/start_run.h"
#include "clean/clean_article.h"
#include "clean/line_helpers.h"
#include "cli/cli_summary.h"
#include "platform/files.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace tavex::cli {
namespace {

// A new folder of the system's temporary folder, removed with its contents
// when the listing ends, also by a failure.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::random_device random;
    const fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ = base / ("mytavex-list-" + std::to_string(random()));
      if (fs::create_directory(path_)) return;
    }
    throw std::runtime_error("no scratch folder");
  }
  ~ScratchFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string Text() const { return Utf8To1251(Utf8OfPath(path_)); }

 private:
  fs::path path_;
};

}  // namespace

void ListIssue(MainWindow& window, std::ostream& out) {
  const std::string source_root = SubstituteIssueNumber(window.FieldText(Field::SourceDir), window);
  ScratchFolder scratch;
  // Pictures are numbered and copied as in a build, into the scratch folder.
  const std::string typed_target = window.FieldText(Field::TargetDir);
  window.SetFieldText(Field::TargetDir, scratch.Text());
  CreateFolder(scratch.Text() + "\\images");
  ResetPictureRegister();

  int article_number = 0;
  for (int row = 1; row < window.RowCount(); ++row) {
    const std::string folder_cell = window.Cell(0, row);
    out << "рубрика " << row << " «" << Cp1251ToUtf8(window.Cell(1, row)) << "»: ";
    if (folder_cell.empty()) {
      out << "папка не задана\n";
      continue;
    }
    const std::string folder = source_root + "\\" + folder_cell;
    if (!FolderExists(folder)) {
      out << "нет папки " << ShownAbsolute(folder) << "\n";
      continue;
    }
    std::vector<std::string> files;
    FindFiles(folder, ".htm", files, window);
    out << "статей: " << files.size() << ", папка " << ShownAbsolute(folder) << "\n";
    // Pages are numbered in file order, as a build numbers them, and listed
    // in title order, as the navigation page, the review and the book list them.
    std::vector<TArticleEntry> articles;
    for (const std::string& file : files) {
      const std::string page = std::to_string(article_number++) + ".htm";
      TArticleEntry article;
      article.Title = CleanArticle(file, scratch.Text() + "\\" + page, window, source_root);
      article.LinkMarkup = page;
      article.FilePath = file;
      articles.push_back(std::move(article));
    }
    SortArticlesByTitle(articles);
    for (const TArticleEntry& article : articles)
      out << "  " << article.LinkMarkup << "  " << VisibleTitle(article.Title) << "  <- "
          << ShownAbsolute(article.FilePath) << "\n";
  }
  window.SetFieldText(Field::TargetDir, typed_target);
}

}  // namespace tavex::cli
