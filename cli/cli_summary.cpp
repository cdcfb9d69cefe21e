#include "cli/cli_summary.h"

#include <filesystem>

#include "clean/article_title.h"
#include "clean/pictures.h"
#include "cli/cli_edition.h"
#include "platform/files.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace tavex::cli {
namespace {

std::string Quoted(std::string_view cp1251) {
  return "«" + Cp1251ToUtf8(cp1251) + "»";
}

}  // namespace

void PrintPrefixed(std::ostream& stream, std::string_view prefix, std::string_view utf8) {
  size_t start = 0;
  while (start < utf8.size()) {
    size_t end = utf8.find('\n', start);
    if (end == std::string_view::npos) end = utf8.size();
    stream << prefix << utf8.substr(start, end - start) << "\n";
    start = end + 1;
  }
}

std::string ShownAbsolute(std::string_view path) {
  std::error_code ec;
  fs::path shown = fs::absolute(NativePath(path), ec);
  if (ec) shown = NativePath(path);
  return Utf8OfPath(shown.lexically_normal());
}

void PrintBuildSummary(const CliWindow& window, const ArticleTable& table, std::ostream& out,
                       std::ostream& err) {
  if (!window.reviewed()) return;
  const ReviewedIssue& issue = *window.reviewed();
  const std::string folder = issue.facts.TargetDir;

  int rubrics = 0, articles = 0, dropped = 0;
  for (const auto& rubric : table.Rubrics) {
    if (!rubric.empty()) ++rubrics;
    for (const TArticleEntry& article : rubric) {
      ++articles;
      if (!article.Included) ++dropped;
    }
  }
  out << "Выпуск " << Cp1251ToUtf8(issue.facts.IssueNumber) << ": " << ShownAbsolute(folder) << "\n"
      << "  стартовая страница: " << ShownAbsolute(folder + "\\index.htm") << "\n";
  // Asked only when a book was to be made: the edition's plug-in may be missing.
  if (issue.made_book) {
    const std::string book = EditionBookPath(issue.facts);
    if (!book.empty() && FileExists(book)) out << "  книга: " << ShownAbsolute(book) << "\n";
  }
  out << "  рубрик: " << rubrics << ", статей: " << articles
      << ", картинок: " << PictureRegister().Count() << ", убрано: " << dropped << "\n";

  for (const auto& rubric : table.Rubrics)
    for (const TArticleEntry& article : rubric)
      if (article.Title == kUnknownTitle && article.Included)
        err << kWarningPrefix << "в странице " << ShownAbsolute(article.FilePath)
            << " не найден заголовок; в выпуске она названа " << Quoted(kUnknownTitle) << "\n";
  for (const std::string& title : window.unmatched_exclusions())
    err << kWarningPrefix << "--exclude «" << title << "»: такой статьи нет\n";
}

}  // namespace tavex::cli
